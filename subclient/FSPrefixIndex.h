// Items filed under the literal directory a path text names, so that the
// items that can concern a path are found from the path's own prefixes.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSPREFIXINDEX_H
#define SUBCLIENTCONF_SUBCLIENT_FSPREFIXINDEX_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// A directory text (a literal path, or one whose last component is a
// pattern) can contain a plain path only when its literal part names the path
// or one of its ancestors: the pattern tests compare component by component
// and a literal component matches only itself. So an item is filed under its
// literal part, and a lookup reads the keys of the path's prefixes.
//
// Keys are the components without their delimiter (the tests ignore it) and,
// when case is ignored, with ASCII capitals folded. A text whose comparison
// the key cannot predict exactly (bytes outside ASCII, which the tests
// compare as code points and case partners; components longer than the
// pattern engine's conversion buffer) is kept on a list every lookup returns,
// and a path holding such bytes or a pattern character is not served at all.
class FSPrefixIndex {
public:
    explicit FSPrefixIndex(bool caseSensitive = true) : caseSensitive_(caseSensitive) {}

    void clear(bool caseSensitive);
    bool caseSensitive() const { return caseSensitive_; }
    // text: a normalized path, its first character being its delimiter.
    void add(const char* text, bool lastIsPattern, uint32_t item);
    // Appends, unordered, every item that can concern path (filed under one of
    // its prefixes, or on the list of unpredictable ones); false when the path
    // cannot be served and every item must be tested.
    bool collect(const char* path, std::vector<uint32_t>& items) const;

private:
    static bool predictable(const char* text, std::size_t length);
    void appendComponent(std::string& key, const char* begin, const char* end) const;

    bool caseSensitive_;
    std::unordered_map<std::string, std::vector<uint32_t>> byKey_;
    std::vector<uint32_t> always_;
    mutable std::string key_;  // lookup scratch
};

#endif
