#include "subclient/FSSubclientConfPrivate.h"

#include "subclient/FSChildrenSpeedup.h"

#include "wildcard/WCSubclients.h"

#include <cstring>
#include <optional>

namespace {

// Below a node that never had a wildcard child the child index holds every
// child, the first of equal names, so a lookup answers as the sibling scan.
FSSubclientNode* literalChild(FSSubclientNode* node, const std::string& component, bool caseSensitive)
{
    if (!node->hasWildcardChildren && node->childIndex && node->childIndex->serves(caseSensitive)) {
        FSSubclientNode* found = nullptr;
        return node->childIndex->find(component.c_str(), &found) == 1 ? found : nullptr;
    }
    for (FSSubclientNode* child = node->firstChild; child; child = child->nextSibling)
        if (!child->pattern->isWildCard() && child->pattern->exactMatch(component, caseSensitive))
            return child;
    return nullptr;
}

}  // namespace

// One loop turn per path component, so a deep path costs no stack.
int CFSSubclientConfPrivate::recursiveSearch(FSSubclientNode* node, const char* path)
{
    std::string component;  // one buffer for every level
    std::optional<WCBasename> probe;  // built only below a node with wildcard children
    for (;;) {
        const char* levelPath = path;
        while (*path == delim)
            ++path;
        if (!*path || !node->firstChild) {
            searchNode = node;
            searchWildcardNode = nullptr;
            return *path ? 0 : 1;
        }
        const char* end = strchr(path, delim);
        component.assign(path, end ? static_cast<size_t>(end - path) : strlen(path));

        bool parsed = false;
        FSSubclientNode* wildcardMatch = nullptr;
        FSSubclientNode* first = node->hasWildcardChildren ? node->firstChild : nullptr;  // none to find otherwise
        for (FSSubclientNode* child = first; child; child = child->nextSibling) {
            if (!child->pattern->isWildCard())
                continue;
            if (!parsed) {
                if (!probe)
                    probe.emplace(static_cast<unsigned char>(escapeChar), false);
                if (probe->parse(component)) {
                    TLOG_ON(owner, 1, "Could not parse '%s' (path '%s')", component.c_str(), levelPath);
                    return 0;
                }
                parsed = true;
            }
            if (!child->pattern->overlaps(*probe, caseSensitive))
                continue;
            if (wildcardMatch) {
                TLOG_ON(owner, 1, "Path '%s' matches wild cards '%s' and '%s'", levelPath,
                        nodeToPath(wildcardMatch).c_str(), nodeToPath(child).c_str());
                return 0;
            }
            wildcardMatch = child;
        }

        FSSubclientNode* literal = literalChild(node, component, caseSensitive);
        if (literal && end) {
            node = literal;
            path = end + 1;
            continue;
        }
        if (literal) {
            searchNode = literal;
            searchWildcardNode = wildcardMatch && literal->subclient == -1 ? wildcardMatch : nullptr;
            return 1;
        }
        searchNode = wildcardMatch ? wildcardMatch : node;
        searchWildcardNode = nullptr;
        return wildcardMatch ? 1 : 0;
    }
}

FSSubclientNode* CFSSubclientConfPrivate::ownerNode(FSSubclientNode* node)
{
    for (; node; node = node->parent) {
        if (node->subclient != -1)
            return node;
        // A literal folder that a wildcard of some subclient covers is scanned
        // by that subclient, not by whoever owns the folder's parent.
        if (node->coveringNode && node->coveringNode->subclient != -1)
            return node->coveringNode;
    }
    return root;
}

int CFSSubclientConfPrivate::searchSubclient(FSSubclientNode* owner)
{
    if (searchWildcardNode && searchWildcardNode->subclient != -1)
        return searchWildcardNode->subclient;
    return owner->subclient;
}
