#include "subclient/FSScanEntries.h"

#include "subclient/FSSubclientConfPrivate.h"
#include "subclient/FSSubclientNode.h"

#include <new>

namespace {

// An entry whose subtree the walk has not left yet.
struct OpenEntry {
    int scNum;
    std::size_t index;
    std::size_t depth;
};

}  // namespace

const std::vector<FSScanEntries::Entry>* FSScanEntries::of(FSSubclientNode* root, int scNum)
{
    if (!root || scNum < 1)
        return nullptr;
    if (builtRoot_ != root) {
        drop();
        try {
            build(root);
            builtRoot_ = root;
        } catch (const std::bad_alloc&) {
            drop();
            return nullptr;
        }
    }
    static const std::vector<Entry> none;
    return static_cast<std::size_t>(scNum) < bySubclient_.size() ? &bySubclient_[scNum] : &none;
}

void FSScanEntries::drop()
{
    builtRoot_ = nullptr;
    std::vector<std::vector<Entry>>().swap(bySubclient_);
}

// One preorder walk that tracks the depth, so that it knows when a subtree
// ends and which ancestors of a node are covered by a wildcard.
void FSScanEntries::build(FSSubclientNode* root)
{
    std::vector<OpenEntry> open;
    std::vector<std::size_t> coveredDepths;  // of the covered nodes on the current path
    std::size_t pre = 0, depth = 0;
    for (FSSubclientNode* node = root; node; ++pre) {
        while (!open.empty() && open.back().depth >= depth) {
            bySubclient_[open.back().scNum][open.back().index].end = pre - 1;
            open.pop_back();
        }
        while (!coveredDepths.empty() && coveredDepths.back() >= depth)
            coveredDepths.pop_back();
        const Entry entry = {node, pre, pre, !coveredDepths.empty()};
        const int covering = CFSSubclientConfPrivate::coveringSubclient(node);
        for (int scNum : {node->subclient, covering == node->subclient ? -1 : covering}) {
            if (scNum < 1)
                continue;
            std::vector<Entry>& list = listOf(scNum);
            list.push_back(entry);
            open.push_back({scNum, list.size() - 1, depth});
        }
        if (covering != -1)
            coveredDepths.push_back(depth);
        if (node->firstChild) {
            node = node->firstChild;
            ++depth;
            continue;
        }
        for (; node != root && !node->nextSibling; --depth)
            node = node->parent;
        node = node == root ? nullptr : node->nextSibling;
    }
    for (const OpenEntry& entry : open)
        bySubclient_[entry.scNum][entry.index].end = pre - 1;
}

std::vector<FSScanEntries::Entry>& FSScanEntries::listOf(int scNum)
{
    if (static_cast<std::size_t>(scNum) >= bySubclient_.size())
        bySubclient_.resize(static_cast<std::size_t>(scNum) + 1);
    return bySubclient_[scNum];
}
