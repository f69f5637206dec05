// Where the scan lists of a subclient can start, built from the tree on demand.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSSCANENTRIES_H
#define SUBCLIENTCONF_SUBCLIENT_FSSCANENTRIES_H

#include <cstddef>
#include <vector>

class FSSubclientNode;

// For each subclient, in preorder: the nodes of its content and the nodes its
// wildcards cover, each with the preorder position of its subtree's last node.
// A walk of the whole tree writes a subclient's lines only at or below these
// nodes, so its scan lists can be written from them alone, in the same order,
// at a cost that follows the subclient's content rather than the tree's size.
// The tree is read only while building; any change of it must drop the table.
class FSScanEntries {
public:
    struct Entry {
        FSSubclientNode* node;
        std::size_t pre;  // preorder position, the root's being 0
        std::size_t end;  // position of the last node of its subtree
        // Below a node some wildcard covers: a walk of the whole tree reaches
        // it on the way to a nodir list only from an entry above it.
        bool underCovered;
    };

    FSScanEntries() = default;
    FSScanEntries(const FSScanEntries&) = delete;
    FSScanEntries& operator=(const FSScanEntries&) = delete;

    // The entries of subclient scNum in the tree below root, building the
    // table when the tree changed; null when memory runs out.
    const std::vector<Entry>* of(FSSubclientNode* root, int scNum);
    // The tree changed: the table no longer describes it.
    void drop();

private:
    void build(FSSubclientNode* root);
    std::vector<Entry>& listOf(int scNum);

    std::vector<std::vector<Entry>> bySubclient_;  // index: subclient number
    FSSubclientNode* builtRoot_ = nullptr;
};

#endif
