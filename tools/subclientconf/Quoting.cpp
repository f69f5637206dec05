#include "Quoting.h"

#include <cstdio>

namespace {

bool isControl(const std::string& text, size_t at, size_t length)
{
    unsigned char c = static_cast<unsigned char>(text[at]);
    if (length == 1)
        return c < 0x20 || c == 0x7f;
    // U+0080 to U+009F: C2 80 to C2 9F.
    return length == 2 && c == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0;
}

std::string escapeByte(unsigned char c)
{
    switch (c) {
    case '\a':
        return "\\a";
    case '\b':
        return "\\b";
    case '\t':
        return "\\t";
    case '\n':
        return "\\n";
    case '\v':
        return "\\v";
    case '\f':
        return "\\f";
    case '\r':
        return "\\r";
    default:
        break;
    }
    char octal[8];
    snprintf(octal, sizeof octal, "\\%03o", c);
    return octal;
}

// The text with each control character (and, when quoting, each quote and
// backslash) escaped; needsQuotes tells whether any control character was met.
std::string escaped(const std::string& text, bool quoting, bool& hadControl)
{
    std::string out;
    hadControl = false;
    for (size_t at = 0; at < text.size();) {
        size_t length = utf8Length(text, at);
        if (length == 0) {
            out += text[at++];
            continue;
        }
        if (isControl(text, at, length)) {
            hadControl = true;
            for (size_t i = 0; i < length; ++i)
                out += escapeByte(static_cast<unsigned char>(text[at + i]));
        } else if (quoting && (text[at] == '"' || text[at] == '\\')) {
            out += std::string("\\") + text[at];
        } else {
            out.append(text, at, length);
        }
        at += length;
    }
    return out;
}

}  // namespace

size_t utf8Length(const std::string& text, size_t at)
{
    unsigned char c = static_cast<unsigned char>(text[at]);
    if (c < 0x80)
        return 1;
    size_t length = c >= 0xc2 && c <= 0xdf ? 2 : c >= 0xe0 && c <= 0xef ? 3 : c >= 0xf0 && c <= 0xf4 ? 4 : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    unsigned char second = static_cast<unsigned char>(text[at + 1]);
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = c == 0xe0 ? 0xa0 : c == 0xf0 ? 0x90 : 0x80;
    unsigned char high = c == 0xed ? 0x9f : c == 0xf4 ? 0x8f : 0xbf;
    if (second < low || second > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xc0) != 0x80)
            return 0;
    return length;
}

bool isValidUtf8(const std::string& text)
{
    for (size_t at = 0; at < text.size();) {
        size_t length = utf8Length(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::string quoted(const std::string& text)
{
    bool hadControl = false;
    std::string inner = escaped(text, true, hadControl);
    return hadControl || (!text.empty() && text[0] == '"') ? "\"" + inner + "\"" : text;
}

std::string withoutControls(const std::string& text)
{
    bool hadControl = false;
    return escaped(text, false, hadControl);
}

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    char escape[8];
    for (size_t at = 0; at < text.size();) {
        size_t length = utf8Length(text, at);
        unsigned char c = static_cast<unsigned char>(text[at]);
        if (length == 0) {
            snprintf(escape, sizeof escape, "\\udc%02x", c);
            out += escape;
            ++at;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += std::string("\\") + text[at];
        } else if (c < 0x20) {
            std::string named = c == '\b'   ? "\\b"
                                : c == '\f' ? "\\f"
                                : c == '\n' ? "\\n"
                                : c == '\r' ? "\\r"
                                : c == '\t' ? "\\t"
                                            : "";
            if (named.empty()) {
                snprintf(escape, sizeof escape, "\\u%04x", c);
                named = escape;
            }
            out += named;
        } else {
            out.append(text, at, length);
        }
        at += length;
    }
    return out + "\"";
}
