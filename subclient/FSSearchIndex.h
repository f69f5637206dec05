// Lookup table of the content-tree search, built from the tree on demand.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSSEARCHINDEX_H
#define SUBCLIENTCONF_SUBCLIENT_FSSEARCHINDEX_H

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
    static const std::size_t kInlineName = 16;

    // A node's record, in the open-addressing table under its key. All a
    // lookup compares is in the record, names up to kInlineName bytes
    // included, so one level of a path costs one memory access.
    struct Entry {
        std::uint64_t key;
        FSSubclientNode* node;  // null: a free slot
        std::uint32_t parent;   // slot of the parent's record (the root's is its own)
        std::uint32_t firstWildcard;  // the node's wildcard children in wildcards_
        std::uint32_t wildcardCount : 31;
        std::uint32_t hasChildren : 1;
        std::uint32_t nameLength;
        union {
            char text[kInlineName];
            std::uint32_t at;  // in names_, for longer names
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

    static std::uint64_t rootKey();
    // The key of a child named name below a node of key parentKey; names
    // equal in the table's case mode give equal keys.
    std::uint64_t childKey(std::uint64_t parentKey, std::string_view name) const
    {
        return hash_.hash(parentKey, name);
    }
    const Entry& root() const { return table_[rootSlot_]; }
    // The first literal child named name of parent, whose key is key; null
    // when there is none. Starts loading the child's node.
    const Entry* literalChild(const Entry& parent, std::uint64_t key, std::string_view name) const;
    const Wildcard* wildcards(const Entry& entry) const { return wildcards_.data() + entry.firstWildcard; }
    // For a simple wildcard (see Wildcard): does the literal name overlap it?
    bool simpleOverlaps(const Wildcard& wildcard, std::string_view name) const;
    // Starts loading the records that lookups of these keys (the levels of
    // one path, at most kMaxPrefetch) will read first.
    static const int kMaxPrefetch = 16;
    void prefetch(const std::uint64_t* keys, int count) const;

private:
    bool build(FSSubclientNode* root);
    void addChildren(std::uint32_t parent, std::vector<std::uint32_t>& order);
    std::size_t home(std::uint64_t key) const;
    const Entry* find(std::uint32_t parent, std::uint64_t key, std::string_view name) const;
    std::uint32_t insert(const Entry& entry, std::string_view name);
    const char* nameOf(const Entry& entry) const;
    std::uint32_t keepName(std::string_view name);
    Wildcard describe(FSSubclientNode* node);

    std::vector<Entry> table_;  // linear probing; sized once per build, so records never move
    std::vector<char> names_;
    std::vector<Wildcard> wildcards_;
    std::uint32_t rootSlot_ = 0;
    FSNameHash hash_{true};
    FSSubclientNode* builtRoot_ = nullptr;
    bool built_ = false;
    std::size_t searchesSinceChange_ = 0;
    std::size_t lastSize_ = 0;  // nodes of the last build: what the next one will cost
};

#endif
