// Node queries: a node's path text, subclient number and subclient name.
#include "subclient/FSSubclientConfPrivate.h"

#include "wildcard/WCSubclients.h"

#include <vector>

namespace {

std::string componentOf(FSSubclientNode* node)
{
    return node->pattern ? node->pattern->getBasename() : std::string();
}

}  // namespace

std::string CFSSubclientConfPrivate::nodeToPath(FSSubclientNode* node)
{
    // Up to the root (or a node without parent, which stands for the
    // delimiter alone), then joined from the top down.
    std::vector<FSSubclientNode*> chain;
    std::string path;
    for (FSSubclientNode* n = node; n; n = n->parent) {
        if (!n->parent) {
            path = delimString;
            break;
        }
        chain.push_back(n);
        if (n->parent == root)
            break;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path += delimString + componentOf(*it);
    return path;
}

int CFSSubclientConfPrivate::nodeToSubclientNumber(FSSubclientNode* node)
{
    if (node->subclient != -1)
        return node->subclient;
    for (FSSubclientNode* n = nextPreorder(node, node); n; n = nextPreorder(n, node)) {
        if (n->subclient > 0)
            return n->subclient;
    }
    return -1;
}

std::string CFSSubclientConfPrivate::nodeToSubclientName(FSSubclientNode* node)
{
    int n = node->subclient;
    if (n == -1)
        n = nodeToSubclientNumber(node);
    if (n < 1 || n > numSubclients)
        return "not set";
    return names[n - 1];
}

FSSubclientNode* CFSSubclientConfPrivate::descendantInSameSubclient(FSSubclientNode* node, int scNum)
{
    for (FSSubclientNode* n = nextPreorder(node, node); n; n = nextPreorder(n, node)) {
        if (n->subclient == scNum)
            return n;
    }
    return nullptr;
}
