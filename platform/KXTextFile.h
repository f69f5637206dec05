// Line-oriented reading and strict number parsing for the platform's small text files.
#ifndef SUBCLIENTCONF_PLATFORM_KXTEXTFILE_H
#define SUBCLIENTCONF_PLATFORM_KXTEXTFILE_H

#include <cstdint>
#include <string>
#include <vector>

// Reads a whole file as lines. Each line loses its "\n" and one '\r' before it
// (files edited on other systems); a last line without "\n" is kept.
// Returns 0, or the errno of the failed open or read (lines then unspecified).
int kxReadTextLines(const char* path, std::vector<std::string>& lines);

// Strict decimal readings: optional '-' (signed only), digits only, no blanks,
// no '+', within the type's range. False leaves the result untouched.
bool kxParseUnsigned32(const std::string& text, uint32_t& value);
bool kxParseInt(const std::string& text, int& value);

// The text without leading and trailing blanks and tabs.
std::string kxTrimBlanks(const std::string& text);

#endif
