// How names and content lines reach the reader: never a control character
// raw in text output, never two names as one in JSON.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_QUOTING_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_QUOTING_H

#include <cstddef>
#include <string>

// The length of the well-formed UTF-8 sequence at text[at], or 0 when there is none.
size_t utf8Length(const std::string& text, size_t at);

bool isValidUtf8(const std::string& text);

// The text as is, or, when it holds a control character (C0, DEL or C1) or
// begins with a double quote, in double quotes with C escapes (\n, \t, \",
// \\, \ooo for the other bytes of such characters), as git quotes names.
std::string quoted(const std::string& text);

// The text with its control characters written as escapes, without quotes:
// for messages that embed names.
std::string withoutControls(const std::string& text);

// The text as a JSON string: a byte that is not part of valid UTF-8 becomes
// \udcXX (XX the byte), which no valid name holds, so names stay distinct
// and can be turned back into their bytes.
std::string jsonString(const std::string& text);

#endif
