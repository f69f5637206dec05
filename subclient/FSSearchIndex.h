// Lookup table of the content-tree search, built from the tree on demand.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSSEARCHINDEX_H
#define SUBCLIENTCONF_SUBCLIENT_FSSEARCHINDEX_H

#include "subclient/FSLargeTable.h"
#include "subclient/FSNameHash.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class FSSubclientNode;

// Every node the search can reach, found by the names on its way from the
// root, with its wildcard children in sibling order. A child index serves
// only nodes without wildcard children and is spread over the whole tree;
// this table serves every node from a few contiguous arrays.
//
// A literal lookup gives the first literal child of that name in sibling
// order, as a scan of the siblings does: a later child of an equal name
// (possible after a change of case mode) is left out with everything below
// it, and the search never enters a wildcard node, so nothing below one is
// kept. The tree is read only while building; any change of its shape must
// drop the table.
class FSSearchIndex {
public:
    static const std::size_t kInlineName = FSNameHash::kShortName;

    // A node's record, in the open-addressing table under its key. All a
    // lookup compares is in the record, names up to kInlineName bytes
    // included, so one level of a path costs one memory access.
    struct Entry {
        std::uint64_t key;
        FSSubclientNode* node;        // null: a free slot
        std::uint32_t parent;         // slot of the parent's record (the root's is its own)
        std::uint32_t firstWildcard;  // the node's wildcard children in wildcards_
        std::uint32_t wildcardCount : 31;
        std::uint32_t hasChildren : 1;
        std::uint32_t nameLength;
        union {
            std::uint64_t words[FSNameHash::kWords];  // as FSNameHash::Component has them
            std::uint32_t at;                         // in names_, for longer names
        } name;
    };

    // A wildcard child. When its pattern holds nothing but ASCII characters
    // and stars, a literal name overlaps it exactly when the name begins with
    // the characters before the first star and ends with those after the
    // last (without a star: when it is those characters), so the pattern
    // itself need not be read.
    struct Wildcard {
        FSSubclientNode* node;
        std::uint32_t prefix;  // in names_
        std::uint32_t prefixLength;
        std::uint32_t suffix;
        std::uint32_t suffixLength;
        bool simple;
        bool hasStar;
    };

    FSSearchIndex() = default;
    FSSearchIndex(const FSSearchIndex&) = delete;
    FSSearchIndex& operator=(const FSSearchIndex&) = delete;

    // Whether a search of the tree below root may use the table in this case
    // mode. Builds it once the searches since the last change have cost about
    // as much as a build, so callers that change the tree between searches
    // do not pay a build for each. False, too, when memory runs out.
    bool ready(FSSubclientNode* root, bool caseSensitive);
    // The tree changed: the table no longer describes it.
    void drop();

    static std::uint64_t rootKey() { return 0x9e3779b97f4a7c15ULL; }
    // The component of a path at text (see FSNameHash::scan), hashed as
    // the name of a child of the node whose key is parentKey; names equal
    // in the table's case mode give equal keys.
    FSNameHash::Component scan(std::uint64_t parentKey, const char* text, const char* stop, char delim) const
    {
        return hash_.scan(parentKey, text, stop, delim);
    }
    static const std::uint32_t kNone = 0xFFFFFFFFu;
    std::uint32_t rootSlot() const { return rootSlot_; }
    const Entry& entry(std::uint32_t slot) const { return table_[slot]; }
    // The slot of the first literal child named name of the node in slot
    // parent, name being the component at text hashed on the parent's key;
    // kNone when there is none.
    std::uint32_t literalChild(std::uint32_t parent, const FSNameHash::Component& name, const char* text) const;
    const Wildcard* wildcards(const Entry& entry) const { return wildcards_.data() + entry.firstWildcard; }
    // For a simple wildcard (see Wildcard): does the literal name overlap it?
    bool simpleOverlaps(const Wildcard& wildcard, std::string_view name) const;
    // Starts loading the record that a lookup of this key will read first.
    void prefetch(std::uint64_t key) const
    {
        const char* record = reinterpret_cast<const char*>(table_.data() + home(key));
        __builtin_prefetch(record);
        __builtin_prefetch(record + sizeof(Entry) - 1);
    }

private:
    bool build(FSSubclientNode* root);
    void addChildren(std::uint32_t parent, std::vector<std::uint32_t>& order);
    // The upper half of the key scaled to the table's size.
    std::size_t home(std::uint64_t key) const { return static_cast<std::size_t>(((key >> 32) * slots_) >> 32); }
    std::uint32_t find(std::uint32_t parent, const FSNameHash::Component& name, const char* text) const;
    bool longNameEquals(const Entry& entry, const char* text) const;
    std::uint32_t insert(const Entry& entry, const FSNameHash::Component& name, std::string_view text);
    std::uint32_t keepName(std::string_view name);
    Wildcard describe(FSSubclientNode* node);

    std::vector<Entry, FSLargeTableAllocator<Entry>> table_;  // linear probing; sized once per build, so records never move
    std::size_t slots_ = 0;     // table_.size(), kept where a lookup reads it
    std::vector<char> names_;
    std::vector<Wildcard> wildcards_;
    std::uint32_t rootSlot_ = 0;
    FSNameHash hash_{true};
    FSSubclientNode* builtRoot_ = nullptr;
    bool built_ = false;
    std::size_t searchesSinceChange_ = 0;
    std::size_t lastSize_ = 0;  // nodes of the last build: what the next one will cost
};

static_assert(FSNameHash::kWords == 2, "find compares two words");

// Inline: one level of every search comes here. A short name is compared
// as the numbers the hash read; a longer one byte by byte.
inline std::uint32_t FSSearchIndex::find(std::uint32_t parent, const FSNameHash::Component& name,
                                         const char* text) const
{
    const Entry* const table = table_.data();
    for (std::size_t at = home(name.key);; at = at + 1 == slots_ ? 0 : at + 1) {
        const Entry& entry = table[at];
        if (!entry.node)
            return kNone;
        if (entry.key == name.key && entry.parent == parent && entry.nameLength == name.length &&
            (name.length <= kInlineName ? entry.name.words[0] == name.words[0] && entry.name.words[1] == name.words[1]
                                        : longNameEquals(entry, text)))
            return static_cast<std::uint32_t>(at);
    }
}

inline std::uint32_t FSSearchIndex::literalChild(std::uint32_t parent, const FSNameHash::Component& name,
                                                 const char* text) const
{
    const std::uint32_t child = find(parent, name, text);
    if (child != kNone)
        __builtin_prefetch(table_[child].node);
    return child;
}

#endif
