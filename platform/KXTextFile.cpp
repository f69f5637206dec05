#include "platform/KXTextFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>

int kxReadTextLines(const char* path, std::vector<std::string>& lines)
{
    lines.clear();
    FILE* file = fopen(path, "r");
    if (!file)
        return errno ? errno : EIO;
    std::string line;
    bool pending = false;
    int c;
    while ((c = getc(file)) != EOF) {
        if (c != '\n') {
            line += static_cast<char>(c);
            pending = true;
            continue;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        line.clear();
        pending = false;
    }
    int error = ferror(file) ? (errno ? errno : EIO) : 0;
    fclose(file);
    if (pending) {
        if (line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return error;
}

namespace {

// Digits only, at least one; accumulates while the value stays within limit.
bool parseDigits(const std::string& text, size_t start, unsigned long long limit, unsigned long long& value)
{
    if (start >= text.size())
        return false;
    unsigned long long v = 0;
    for (size_t i = start; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return false;
        unsigned digit = static_cast<unsigned>(c - '0');
        if (v > (limit - digit) / 10)
            return false;
        v = v * 10 + digit;
    }
    value = v;
    return true;
}

}  // namespace

bool kxParseUnsigned32(const std::string& text, uint32_t& value)
{
    unsigned long long v;
    if (!parseDigits(text, 0, UINT32_MAX, v))
        return false;
    value = static_cast<uint32_t>(v);
    return true;
}

bool kxParseInt(const std::string& text, int& value)
{
    bool negative = !text.empty() && text[0] == '-';
    unsigned long long limit = negative ? static_cast<unsigned long long>(INT_MAX) + 1 : INT_MAX;
    unsigned long long v;
    if (!parseDigits(text, negative ? 1 : 0, limit, v))
        return false;
    value = negative ? static_cast<int>(-static_cast<long long>(v)) : static_cast<int>(v);
    return true;
}

std::string kxTrimBlanks(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}
