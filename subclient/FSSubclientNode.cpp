#include "subclient/FSSubclientNode.h"

#include "subclient/FSChildrenSpeedup.h"
#include "wildcard/WCSubclients.h"

FSSubclientNode::FSSubclientNode()
    : firstChild(nullptr), lastChild(nullptr), nextSibling(nullptr), parent(nullptr), pathNext(nullptr),
      pattern(nullptr), subclient(-1), coveringNode(nullptr), firstCovered(nullptr), nextCovered(nullptr),
      childIndex(nullptr), hasWildcardChildren(false), displayName(nullptr)
{}

FSSubclientNode::~FSSubclientNode()
{
    delete pattern;
    pattern = nullptr;
    delete childIndex;
    childIndex = nullptr;
    delete displayName;
    displayName = nullptr;
}

FSSubclientNode* nextPreorder(FSSubclientNode* node, const FSSubclientNode* top, bool descend)
{
    if (descend && node->firstChild)
        return node->firstChild;
    for (; node && node != top; node = node->parent) {
        if (node->nextSibling)
            return node->nextSibling;
    }
    return nullptr;
}
