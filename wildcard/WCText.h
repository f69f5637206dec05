// Character helpers shared inside the wildcard engine (not part of its public interface).
#ifndef SUBCLIENTCONF_WILDCARD_WCTEXT_H
#define SUBCLIENTCONF_WILDCARD_WCTEXT_H

#include <cstddef>

// Added to an ASCII capital to get its small letter.
const unsigned long lcCorrect = 32;

// Case folding of the engine: only ASCII capitals are lowered.
inline unsigned long foldAscii(unsigned long c)
{
    return c >= 'A' && c <= 'Z' ? c + lcCorrect : c;
}

// True when the length bytes form one acceptable UTF-8 sequence.
bool isLegalUTF8(const unsigned char* bytes, int length);

enum Utf8Step { utf8Ok, utf8Short, utf8Illegal };

// Decodes the sequence at p (p < end): its value and byte length on utf8Ok;
// utf8Short when it runs past end, utf8Illegal when it is malformed.
Utf8Step decodeUtf8(const unsigned char* p, const unsigned char* end, unsigned long& value, std::size_t& length);

#endif
