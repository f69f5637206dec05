// pathTest's kept list, indexed by the paths its entries and nodirs name.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSKEPTLISTINDEX_H
#define SUBCLIENTCONF_SUBCLIENT_FSKEPTLISTINDEX_H

#include "subclient/FSLargeTable.h"
#include "subclient/FSPrefixIndex.h"

#include <cstdint>
#include <vector>

class FSSubclientDir;
class FSSubclientDirlist;

// A subclient decides a path at the first entry of its chain that could
// contain it, and an entry hands the path on at the first of its nodirs that
// contains all of it. Entries and nodirs that cannot concern the path answer
// no and are passed over, so testing only those the path's prefixes lead to,
// in the chain's order, gives the same answer as testing them all.
class FSKeptListIndex {
public:
    struct Item {
        FSSubclientDir* entry;
        const FSSubclientDir* nodir;  // null for the entry itself
        int subclient;
        uint32_t entryOrder;  // position in the subclient's chain
        uint32_t nodirOrder;  // 0 for the entry, then 1 + position in its nodir list
        // A literal text filed under its own path: found for a path, it names
        // the path or an ancestor, so the entry could contain the path and
        // the nodir contains all of it (the tests would say so).
        bool namesPrefix;
    };

    void clear();
    // Indexes the chains of subclients 1 to numSubclients of a sorted list;
    // false (and nothing indexed) when the list cannot be walked.
    bool build(FSSubclientDirlist& list, int numSubclients, bool caseSensitive);
    bool built() const { return built_; }
    // The items of subclient scNum that can concern path, in the walk's
    // order; the default subclient's first entry is always among them. False
    // when the path cannot be served from the index.
    bool candidates(const char* path, int scNum, std::vector<const Item*>& out) const;

private:
    void add(Item item, const char* name, bool isWildcard);

    std::vector<Item, FSLargeTableAllocator<Item>> items_;
    std::vector<uint32_t> firstOf_;  // item of each subclient's first entry, or none
    FSPrefixIndex byPath_;
    bool built_ = false;
    mutable std::vector<uint32_t> found_;  // lookup scratch
    mutable Item unfoundFirst_{};          // a first entry no key led to
};

#endif
