// Overlaps between a node that just received its subclient and its wildcard siblings.
#include "subclient/FSSubclientConfPrivate.h"

#include "wildcard/WCSubclients.h"

namespace {

const unsigned long kOverlapEvent = 0x11000046;
const unsigned long kFilteredTwiceEvent = 0x11000047;

const char* kindOf(FSSubclientNode* node)
{
    return node->pattern->isWildCard() ? "wildcard" : "non-wildcard";
}

}  // namespace

int CFSSubclientConfPrivate::wcCheckTreeNode(FSSubclientNode* node)
{
    const TCallOrigin reporting(owner, __PRETTY_FUNCTION__);  // reportOverlap reports as this
    if (!node->parent) {
        TLOG_ON(owner, 1, "No parent");
        return -1;
    }
    const bool wildcard = node->pattern->isWildCard();
    // Every wildcard node marks its parent: without that mark no sibling can
    // overlap a literal, and long content lists under one directory would
    // otherwise cost a walk over all earlier siblings per line.
    if (!wildcard && !node->parent->hasWildcardChildren)
        return 0;
    for (FSSubclientNode* sibling = node->parent->firstChild; sibling; sibling = sibling->nextSibling) {
        if (sibling == node)
            continue;
        const bool siblingWildcard = sibling->pattern->isWildCard();
        if (!wildcard && !siblingWildcard)
            continue;
        if (!node->pattern->overlaps(*sibling->pattern, caseSensitive))
            continue;
        if (wildcard == siblingWildcard || node->subclient == sibling->subclient) {
            reportOverlap(node, sibling, 1, node->subclient != sibling->subclient);
            return 0;
        }
        FSSubclientNode* const pattern = wildcard ? node : sibling;
        FSSubclientNode* const literal = wildcard ? sibling : node;
        const int covering = literal->coveringNode->subclient;
        if (covering != -1 && covering != pattern->subclient) {
            FSContentProblem p = fsProblem(FS_PROBLEM_FILTERED_TWICE);
            p.stands = true;
            const std::string& literalPath = p.path = nodeToPath(literal);
            const std::string& patternPath = p.secondConflict = nodeToPath(pattern);
            p.conflict = nodeToPath(literal->coveringNode);
            p.conflictSubclient = covering;
            p.secondConflictSubclient = pattern->subclient;
            FS_PROBLEM(problems, owner, 1, p, fsProblemText::kFilteredTwice, literalPath.c_str(), covering,
                       pattern->subclient, patternPath.c_str());
            owner->ev() << literalPath << covering << pattern->subclient << patternPath;
            owner->ev().MinorEvent(kFilteredTwiceEvent, 0, 0);
            return 0;
        }
        cover(literal, pattern);
        reportOverlap(node, sibling, 0, true);
    }
    return 0;
}

void CFSSubclientConfPrivate::reportOverlap(FSSubclientNode* node, FSSubclientNode* sibling, int level, bool raiseEvent)
{
    if (!raiseEvent && !kxLogApplies(level))
        return;
    FSContentProblem p = fsProblem(FS_PROBLEM_OVERLAP);
    p.stands = true;
    const std::string& nodePath = p.path = nodeToPath(node);
    const std::string& siblingPath = p.conflict = nodeToPath(sibling);
    p.conflictSubclient = sibling->subclient == -1 ? nodeToSubclientNumber(sibling) : sibling->subclient;
    const std::string nodeName = nodeToSubclientName(node);
    const std::string siblingName = nodeToSubclientName(sibling);
    FSProblemReport logOnly;  // an overlap within one subclient is a note in the log, not a problem
    (raiseEvent ? problems : logOnly)
        .report(owner, __LINE__, level, p, fsProblemText::kOverlap, nodePath.c_str(), kindOf(node), siblingPath.c_str(),
                kindOf(sibling), nodeName.c_str(), siblingName.c_str());
    if (raiseEvent) {
        owner->ev() << nodePath << nodeName << siblingPath << siblingName;
        owner->ev().MinorEvent(kOverlapEvent, 0, 0);
    }
}

// Makes pattern the covering node of literal. A literal stands in one covered
// list only: linking it a second time would make that list run in a circle.
void CFSSubclientConfPrivate::cover(FSSubclientNode* literal, FSSubclientNode* pattern)
{
    FSSubclientNode* const previous = literal->coveringNode;
    if (previous == pattern)
        return;
    if (previous && previous != &sentinel) {
        FSSubclientNode** link = &previous->firstCovered;
        while (*link && *link != literal)
            link = &(*link)->nextCovered;
        if (*link)
            *link = literal->nextCovered;
    }
    literal->coveringNode = pattern;
    literal->nextCovered = pattern->firstCovered;
    pattern->firstCovered = literal;
}
