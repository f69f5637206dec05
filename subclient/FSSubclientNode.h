// One path component of the content tree.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSSUBCLIENTNODE_H
#define SUBCLIENTCONF_SUBCLIENT_FSSUBCLIENTNODE_H

#include <string>

class WCBasename;
class FSChildrenSpeedup;

// A node owns its children (through the sibling chain), its pattern, its
// child index and its display name. Destroying a node releases only the
// last three; the configuration frees the tree as a whole.
class FSSubclientNode {
public:
    FSSubclientNode();
    ~FSSubclientNode();
    FSSubclientNode(const FSSubclientNode&) = delete;
    FSSubclientNode& operator=(const FSSubclientNode&) = delete;

    FSSubclientNode* firstChild;
    FSSubclientNode* lastChild;
    FSSubclientNode* nextSibling;
    FSSubclientNode* parent;
    // Scratch downward link used while an output run assembles a path text.
    FSSubclientNode* pathNext;
    WCBasename* pattern;
    int subclient;  // -1: intermediate component claimed by no subclient
    // The wildcard sibling whose pattern overlaps this literal node, or the
    // configuration's sentinel (subclient -1); never null once in the tree.
    FSSubclientNode* coveringNode;
    FSSubclientNode* firstCovered;  // wildcard node: first literal sibling it covers
    FSSubclientNode* nextCovered;   // next literal covered by the same wildcard node
    // Made with the eighth child: fewer are searched along the sibling chain.
    FSChildrenSpeedup* childIndex;
    // Below a wildcard child the index is no longer used: a pattern may match
    // names that are not keys of the index.
    bool hasWildcardChildren;
    std::string* displayName;
};

// The node after node in a depth-first pre-order walk of the subtree of top
// (top itself comes first), or null at the end. With descend false the
// children of node are skipped. Walks without recursion, so deep trees are safe.
FSSubclientNode* nextPreorder(FSSubclientNode* node, const FSSubclientNode* top, bool descend = true);

#endif
