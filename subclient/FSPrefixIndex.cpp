#include "subclient/FSPrefixIndex.h"

#include "wildcard/WCSubclients.h"

#include <cstring>

namespace {

// A component longer than this may not convert into the pattern engine's
// buffer, so its test could fail where a key would predict an answer.
constexpr std::size_t kLongestPredictable = WCConverter::capacity / 2;

bool patternCharacter(char c)
{
    // The escape character is the other slash for either delimiter.
    return c == '*' || c == '?' || c == '[' || c == '\\' || c == '/';
}

}  // namespace

void FSPrefixIndex::clear(bool caseSensitive)
{
    byKey_.clear();
    always_.clear();
    caseSensitive_ = caseSensitive;
}

bool FSPrefixIndex::predictable(const char* text, std::size_t length)
{
    std::size_t component = 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
        component = text[i] == text[0] ? 0 : component + 1;
        if (component > kLongestPredictable)
            return false;
    }
    return length > 0;
}

void FSPrefixIndex::appendComponent(std::string& key, const char* begin, const char* end) const
{
    for (const char* c = begin; c != end; ++c)
        key += caseSensitive_ || *c < 'A' || *c > 'Z' ? *c : static_cast<char>(*c - 'A' + 'a');
    key += '\0';
}

void FSPrefixIndex::add(const char* text, bool lastIsPattern, uint32_t item)
{
    std::size_t length = std::strlen(text);
    if (!predictable(text, length)) {
        always_.push_back(item);
        return;
    }
    const char delim = text[0];
    const char* end = text + length;
    if (lastIsPattern)
        end = std::strrchr(text, delim);
    std::string key;
    for (const char* begin = text + 1; begin < end;) {
        const char* next = static_cast<const char*>(std::memchr(begin, delim, static_cast<std::size_t>(end - begin)));
        if (!next)
            next = end;
        appendComponent(key, begin, next);
        begin = next + 1;
    }
    byKey_[key].push_back(item);
}

bool FSPrefixIndex::collect(const char* path, std::vector<uint32_t>& items) const
{
    std::size_t length = std::strlen(path);
    if (!predictable(path, length))
        return false;
    for (std::size_t i = 1; i < length; ++i)
        if (patternCharacter(path[i]) && path[i] != path[0])
            return false;
    items.insert(items.end(), always_.begin(), always_.end());
    key_.clear();
    const char delim = path[0];
    const char* begin = path + 1;
    const char* end = path + length;
    for (;;) {
        auto found = byKey_.find(key_);
        if (found != byKey_.end())
            items.insert(items.end(), found->second.begin(), found->second.end());
        if (begin >= end)
            return true;
        const char* next = static_cast<const char*>(std::memchr(begin, delim, static_cast<std::size_t>(end - begin)));
        if (!next)
            next = end;
        appendComponent(key_, begin, next);
        begin = next + 1;
    }
}
