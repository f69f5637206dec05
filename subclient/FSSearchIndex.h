// Lookup table of the content-tree search, built from the tree on demand.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSSEARCHINDEX_H
#define SUBCLIENTCONF_SUBCLIENT_FSSEARCHINDEX_H

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
    struct Entry {
        FSSubclientNode* node;
        std::uint32_t parent;  // entry of the parent (the root's is its own)
        std::uint32_t name;    // the node's name in names_
        std::uint32_t nameLength;
        std::uint32_t firstWildcard;  // the node's wildcard children in wildcards_
        std::uint32_t wildcardCount;
        bool hasChildren;
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
    std::uint64_t childKey(std::uint64_t parentKey, std::string_view name) const;
    const Entry& root() const { return entries_[0]; }
    // The first literal child named name of parent, whose key is key; null
    // when there is none.
    const Entry* literalChild(const Entry& parent, std::uint64_t key, std::string_view name) const;
    const Wildcard* wildcards(const Entry& entry) const { return wildcards_.data() + entry.firstWildcard; }
    // For a simple wildcard (see Wildcard): does the literal name overlap it?
    bool simpleOverlaps(const Wildcard& wildcard, std::string_view name) const;
    // Starts loading what lookups of these keys (the levels of one path, at
    // most kMaxPrefetch) will read.
    static const int kMaxPrefetch = 16;
    void prefetch(const std::uint64_t* keys, int count) const;

private:
    bool build(FSSubclientNode* root);
    void addChildren(std::uint32_t parent, std::vector<std::uint64_t>& keys);
    const Entry* find(std::uint32_t parent, std::uint64_t key, std::string_view name) const;
    void insert(std::uint64_t key, std::uint32_t entry);
    Wildcard describe(FSSubclientNode* node);
    bool sameName(const Entry& entry, std::string_view name) const;
    bool sameBytes(const char* stored, const char* name, std::size_t n) const;
    std::uint64_t word(const char* bytes, std::size_t n) const;

    std::vector<Entry> entries_;
    std::vector<char> names_;
    std::vector<Wildcard> wildcards_;
    // Open addressing: the key's upper half beside entry number + 1; 0 is free.
    std::vector<std::uint64_t> slots_;
    std::size_t mask_ = 0;
    FSSubclientNode* builtRoot_ = nullptr;
    bool caseSensitive_ = true;
    bool built_ = false;
    std::size_t searchesSinceChange_ = 0;
    std::size_t lastSize_ = 0;  // nodes of the last build: what the next one will cost
};

#endif
