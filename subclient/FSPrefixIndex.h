// Items filed under the literal directory a path text names, so that the
// items that can concern a path are found from the path's own prefixes.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSPREFIXINDEX_H
#define SUBCLIENTCONF_SUBCLIENT_FSPREFIXINDEX_H

#include "subclient/FSLargeTable.h"

#include <cstdint>
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
//
// Items are added, then sealed into one open-addressing table of key hashes
// over one array of items grouped by key, so a lookup waits for one round of
// memory reads for all of a path's prefixes. A hit is checked against the
// key's text, so equal hashes of different texts never pass for a match. The
// texts added must outlive the index until it is sealed; sealing copies each
// key's text into one buffer, where the check reads it near the others
// instead of in the caller's scattered blocks.
class FSPrefixIndex {
public:
    explicit FSPrefixIndex(bool caseSensitive = true) : caseSensitive_(caseSensitive) {}

    void clear(bool caseSensitive);
    bool caseSensitive() const { return caseSensitive_; }
    // text: a normalized path, its first character being its delimiter.
    // True when the item is filed under its literal part, false when it went
    // to the list every lookup returns. A literal text filed under a key and
    // found for a path names the path or one of its ancestors exactly.
    bool add(const char* text, bool lastIsPattern, uint32_t item);
    // Builds the table from the items added since clear.
    void seal();
    // Appends, unordered, every item that can concern path (filed under one of
    // its prefixes, or on the list of unpredictable ones); false when the path
    // cannot be served and every item must be tested.
    bool collect(const char* path, std::vector<uint32_t>& items) const;

private:
    struct Filed {
        uint64_t hash;
        uint32_t item;
        const char* text;  // the literal part: up to the key's last component
        uint32_t length;
    };
    struct Slot {
        uint64_t hash;
        uint32_t text;  // in texts_
        uint32_t length;
        uint32_t begin;  // into items_
        uint32_t count;  // 0: an empty slot
    };

    static bool predictable(const char* text, std::size_t length);
    static bool servable(const char* path, std::size_t length);
    const char* addComponent(uint64_t& hash, const char* begin, const char* end, char delim) const;
    bool sameKey(const char* a, std::size_t aTextLength, const char* path, std::size_t length) const;
    // The slot of the key with this hash, its text unchecked; null when none.
    const Slot* probe(uint64_t hash) const;
    bool matches(const Slot& slot, const char* path, std::size_t length) const;

    bool caseSensitive_;
    std::vector<Filed> filed_;  // until seal
    std::vector<Slot, FSLargeTableAllocator<Slot>> slots_;
    std::vector<uint32_t, FSLargeTableAllocator<uint32_t>> items_;
    std::vector<char, FSLargeTableAllocator<char>> texts_;
    std::vector<uint32_t> always_;
    bool collided_ = false;
    struct Prefix {
        uint64_t hash;
        std::size_t length;
        const Slot* slot;
    };
    mutable std::vector<Prefix> prefixes_;  // lookup scratch
};

#endif
