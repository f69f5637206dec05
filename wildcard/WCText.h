// Character helpers shared inside the wildcard engine (not part of its public interface).
#ifndef SUBCLIENTCONF_WILDCARD_WCTEXT_H
#define SUBCLIENTCONF_WILDCARD_WCTEXT_H

#include <cstddef>
#include <new>
#include <string>
#include <vector>

// Added to an ASCII capital to get its small letter.
const unsigned long lcCorrect = 32;

// Case folding of the engine: only ASCII capitals are lowered.
inline unsigned long foldAscii(unsigned long c)
{
    return c >= 'A' && c <= 'Z' ? c + lcCorrect : c;
}

// StringsEqual, or NoCaseStringsEqual without caseSensitive, without copying the names.
bool sameName(const std::string& a, const std::string& b, bool caseSensitive);

// True when the length bytes form one acceptable UTF-8 sequence.
bool isLegalUTF8(const unsigned char* bytes, int length);

enum Utf8Step { utf8Ok, utf8Short, utf8Illegal };

// Decodes the sequence at p (p < end): its value and byte length on utf8Ok;
// utf8Short when it runs past end, utf8Illegal when it is malformed.
Utf8Step decodeUtf8(const unsigned char* p, const unsigned char* end, unsigned long& value, std::size_t& length);

// Appends an owned object; when the list cannot grow the object is destroyed
// and the answer is false, so no allocation failure escapes as an exception.
template <class T>
bool appendOwned(std::vector<T*>& list, T* item)
{
    if (!item)
        return false;
    try {
        list.push_back(item);
    } catch (const std::bad_alloc&) {
        delete item;
        return false;
    }
    return true;
}

// One code point as pattern text in UTF-8, surrogate values included, so
// that every character a pattern holds reads back; throws bad_alloc.
std::string utf8Of(unsigned long c);

#endif
