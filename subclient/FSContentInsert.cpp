// Content insertion: one content line into the content tree.
#include "subclient/FSSubclientConfPrivate.h"

#include "wildcard/WCSubclients.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <optional>

namespace {

const char kImageVolumeEnd = 0x13;

// Application types whose start-restore paths carry a tail after 0x13.
bool cutsAtImageVolumeEnd(int appType)
{
    return appType == 65 || appType == 75 || appType == 76 || appType == 87;
}

const char kAncestorTreatment[] =
    "FS_ANCESTOR Treatment: allow ancestor and descendant in the same subclient for lineStr='%s'";

// Longest duplicate postfix plus its terminating zero.
const size_t kPostfixRoom = 70;

// A parent gets its child index with this many children. Up to then its
// sibling chain is searched as quickly, and most parents of a large tree (one
// child each, along the deeper levels) never need the index's memory.
const int kIndexedChildren = 8;

bool hasChildrenToIndex(const FSSubclientNode* parent)
{
    int n = 0;
    for (const FSSubclientNode* child = parent->firstChild; child && n < kIndexedChildren; child = child->nextSibling)
        ++n;
    return n == kIndexedChildren;
}

}  // namespace

int FSSubclientConf::setPath(const char* path)
{
    FSProblemHold held(d->problems, path, d->numSubclients);
    d->dropPathTestDirlist();
    d->dropTreeTables();
    try {
        if (!path) {
            TLOG(-1, "NULL path");
            d->errCode = FS_INVALID;
            return -2;
        }
        if (!*path) {
            TLOG(-1, "Empty path");
            d->errCode = FS_INVALID;
            return -1;
        }
        if (d->numSubclients <= 0) {
            TLOG(-1, "Must call setName before setPath");
            d->errCode = FS_INVALID;
            return -2;
        }
        std::string text;
        const bool isWild = splitWildcardContent(path, text);
        if (d->calledFromStartRestore && cutsAtImageVolumeEnd(d->appType))
            text.erase(std::min(text.find(kImageVolumeEnd), text.size()));
        // A text that normalizing would leave as it is (most lines of a
        // configuration) is taken over, not copied.
        std::string fixed;
        char delim = d->normalizedDelimiter(text.data(), text.size(), true);
        if (delim)
            fixed.swap(text);
        else
            delim = fixPath(text, fixed, true);
        if (!delim) {
            FS_PROBLEM(d->problems, this, -1, fsProblem(FS_PROBLEM_INVALID), fsProblemText::kInvalidPath, path);
            d->errCode = FS_INVALID;
            return -1;
        }
        TLOG(192, "valid path='%s', pathStr='%s', fixedPath='%s'", path, (text.empty() ? fixed : text).c_str(),
             fixed.c_str());
        setDelim(delim);
        if (d->compare(fixed.c_str(), d->delimString.c_str()) == 0) {
            FS_PROBLEM(d->problems, this, 1, fsProblem(FS_PROBLEM_ROOT), fsProblemText::kRoot);
            d->errCode = FS_DUPLICATE;
            return -1;
        }
        // Everything the record needs is allocated before the tree changes:
        // an accepted line always gets its record. The room for a duplicate
        // postfix is kept aside, so that a record holds no more than its text.
        FSPlayback record;
        record.kind = FSPlayback::kindPath;
        record.isWildcard = isWild;
        record.text.swap(fixed);  // read, not changed, until the record is filled
        d->postfixedPath.reserve(record.text.size() + kPostfixRoom);
        FSReplaySlot slot(d->replayVec);

        // A postfix left by this insertion, not a stale error code, tells that
        // the duplicate treatment happened.
        d->dupPostfix.clear();
        const char* line = record.text.c_str() + (record.text[0] == '<' ? 0 : 1);
        const int rc = d->recursiveParse(d->root, line, d->numSubclients, isWild);
        if (rc != 0)
            return rc;
        const bool duplicated = !d->dupPostfix.empty();
        if (duplicated) {
            d->postfixedPath.assign(record.text).append(d->dupPostfix);
            record.text.swap(d->postfixedPath);
            d->errCode = FS_NO_ERROR;
            d->dupPostfix.clear();
        }
        const FSPlayback& added = slot.fill(std::move(record));
        d->pathSet = true;
        if (duplicated)
            TLOG(3, "FS_DUPLICATE Treatment: new fsp.value='%s'", added.text.c_str());
        TLOG(3, "replayVec[%d] path '%s'", static_cast<int>(d->replayVec.size() - 1), added.text.c_str());
        held.stands = true;
        return 0;
    } catch (const std::exception&) {
        TLOG(-1, "%s", kFSOutOfMemory);
        d->errCode = FS_NO_MEMORY;
        return -2;
    }
}

// One level per pass of the loop: the component of line below node is found
// or created; inner components continue one level down, the last one is
// offered to checkTreeNode. A loop rather than a call per level keeps the
// stack flat for content lines of any depth.
int CFSSubclientConfPrivate::recursiveParse(FSSubclientNode* node, const char* line, int scNum, bool isWild)
{
    const TCallOrigin reporting(owner, __PRETTY_FUNCTION__);  // createComponent reports as this
    for (;;) {
        FSSubclientNode* const parent = node;
        const char* const separator = strchr(line, delim);
        const bool isLast = separator == nullptr;
        std::string comp = isLast ? std::string(line) : std::string(line, separator);
        const char* const rest = isLast ? nullptr : separator + 1;
        const bool wcLast = isLast && isWild;
        if (wcLast)
            parent->hasWildcardChildren = true;

        std::optional<WCBasename> probe;
        FSSubclientNode* firstOverlap = nullptr;
        FSSubclientNode** linkSlot = nullptr;
        bool nameIsNew = false;  // the search above found no child of comp's name
        FSSubclientNode* descendInto = nullptr;
        bool scan = parent->hasWildcardChildren;

        if (!parent->firstChild) {
            linkSlot = &parent->firstChild;
            scan = false;
            nameIsNew = true;
        } else if (!scan) {
            FSSubclientNode* found = nullptr;
            const int r = findChild(parent, comp, &found);
            if (r == 1 && isLast) {
                const int c = checkTreeNode(found, scNum);
                if (c == 0) {
                    lastNode = found;
                    return 0;
                }
                if (errCode == FS_DUPLICATE) {
                    setPostfixToAvoidDuplication(dupPostfix, static_cast<unsigned long>(scNum));
                    comp += dupPostfix;
                    TLOG_ON(owner, 3, "FS_DUPLICATE Treatment: new lineStr='%s'", comp.c_str());
                    lastNode = found;
                    linkSlot = &parent->lastChild->nextSibling;
                } else if (allowOverlapSCContent && errCode == FS_ANCESTOR) {
                    TLOG_ON(owner, 1, kAncestorTreatment, comp.c_str());
                    lastNode = found;
                    return 0;
                } else {
                    return c;
                }
            } else if (r == 1) {
                descendInto = found;
            } else if (r == 0) {
                linkSlot = &parent->lastChild->nextSibling;
                nameIsNew = true;
            } else {
                TLOG_ON(owner, 1,
                        "recursiveParse line='%s' scNum=%d: sequential search after failure (ret=%d, sc_tmp=0x%p)",
                        line, scNum, r, static_cast<void*>(nullptr));
                scan = true;
            }
        }

        if (scan) {
            for (FSSubclientNode* child = parent->firstChild; child; child = child->nextSibling) {
                // A wildcard last component is always created anew; wcCheckTreeNode judges its siblings.
                if (!wcLast) {
                    if (child->pattern->exactMatch(comp, caseSensitive)) {
                        if (isLast)
                            return checkTreeNode(child, scNum);
                        descendInto = child;
                        break;
                    }
                    if (!isLast && child->pattern->isWildCard()) {
                        if (!probe) {
                            probe.emplace(static_cast<unsigned long>(escapeChar), false);
                            if (probe->parse(comp)) {
                                FS_PROBLEM(problems, owner, 1, fsProblem(FS_PROBLEM_UNPARSABLE),
                                           fsProblemText::kUnparsableProbe, line);
                                errCode = FS_INVALID;
                                return -2;
                            }
                        }
                        if (child->pattern->overlaps(*probe, caseSensitive)) {
                            if (firstOverlap) {
                                if (kxLogApplies(1) || problems.wanted()) {
                                    FSContentProblem p = fsProblem(FS_PROBLEM_TWO_WILDCARDS);
                                    p.path = nodeToPath(parent);
                                    p.conflict = nodeToPath(firstOverlap);
                                    p.conflictSubclient = firstOverlap->subclient;
                                    p.secondConflict = nodeToPath(child);
                                    p.secondConflictSubclient = child->subclient;
                                    FS_PROBLEM(problems, owner, 1, p, fsProblemText::kTwoWildcards, p.path.c_str(),
                                               line, p.conflict.c_str(), p.conflictSubclient, p.secondConflict.c_str(),
                                               p.secondConflictSubclient);
                                }
                                errCode = FS_DUPLICATE;
                                return -1;
                            }
                            firstOverlap = child;
                        }
                    }
                }
                linkSlot = &child->nextSibling;
            }
        }

        if (descendInto) {
            node = descendInto;
            line = rest;
            continue;
        }

        FSSubclientNode* const previousLast = parent->lastChild;
        FSSubclientNode* const created =
            createComponent(parent, linkSlot, comp, line, scNum, wcLast, firstOverlap, nameIsNew);
        if (!created)
            return -2;
        if (!isLast) {
            node = created;
            line = rest;
            continue;
        }
        const int c = checkTreeNode(created, scNum);
        if (c == 0) {
            lastNode = created;
            return 0;
        }
        if (allowOverlapSCContent && errCode == FS_ANCESTOR) {
            TLOG_ON(owner, 1, kAncestorTreatment, comp.c_str());
            lastNode = created;
            return 0;
        }
        removeRejected(parent, linkSlot, created, previousLast, comp);
        return -1;
    }
}

// Creates the node for comp and hooks it in at linkSlot as the parent's last child.
FSSubclientNode* CFSSubclientConfPrivate::createComponent(FSSubclientNode* parent, FSSubclientNode** linkSlot,
                                                          const std::string& comp, const char* line, int scNum,
                                                          bool wildcard, FSSubclientNode* coveredBy, bool nameIsNew)
{
    if (!linkSlot) {
        TLOG_CALL(owner, -1, "recursiveParse line='%s' scNum=%d: internal error", line, scNum);
        errCode = FS_INVALID;
        return nullptr;
    }
    std::unique_ptr<WCBasename> pattern(new (std::nothrow)
                                            WCBasename(static_cast<unsigned long>(escapeChar), wildcard));
    if (!pattern) {
        TLOG_CALL(owner, -1, "recursiveParse out of memory (new WCBasename), errno %d", errno);
        errCode = FS_NO_MEMORY;
        return nullptr;
    }
    if (pattern->parse(comp)) {
        problems.report(owner, __LINE__, -1, fsProblem(FS_PROBLEM_UNPARSABLE), fsProblemText::kUnparsable, line);
        errCode = FS_INVALID;
        return nullptr;
    }
    FSSubclientNode* node = new (std::nothrow) FSSubclientNode();
    if (!node) {
        TLOG_CALL(owner, -1, "recursiveParse out of memory, errno %d", errno);
        errCode = FS_NO_MEMORY;
        return nullptr;
    }
    *linkSlot = node;
    parent->lastChild = node;
    node->parent = parent;
    node->pattern = pattern.release();
    if (coveredBy) {
        node->coveringNode = coveredBy;
        node->nextCovered = coveredBy->firstCovered;
        coveredBy->firstCovered = node;
    } else {
        node->coveringNode = &sentinel;
    }
    if (!parent->hasWildcardChildren) {
        const int added = addChild(parent, comp, node, nameIsNew);
        if (added != 0)
            TLOG_CALL(owner, 1, "recursiveParse line='%s' scNum=%d: cannot add to map", line, scNum);
        if (added < -1) {
            // The node stays in the sibling chain as an intermediate component.
            errCode = FS_INVALID;
            return nullptr;
        }
    }
    return node;
}

// What adding node to the child index answers; without an index, -1 when an
// earlier child has the same name (the entry the index would keep).
int CFSSubclientConfPrivate::addChild(FSSubclientNode* parent, const std::string& comp, FSSubclientNode* node,
                                      bool nameIsNew)
{
    if (parent->childIndex)
        return parent->childIndex->add(comp.c_str(), node);
    FSSubclientNode* first = node;
    if (!nameIsNew)
        findChild(parent, comp, &first);
    if (hasChildrenToIndex(parent))
        indexChildren(parent);
    return first == node ? 0 : -1;
}

// What the child index answers for comp; without an index, the first child of
// that name in the sibling chain, which is the entry the index would hold.
int CFSSubclientConfPrivate::findChild(FSSubclientNode* parent, const std::string& comp, FSSubclientNode** found)
{
    if (parent->childIndex)
        return parent->childIndex->find(comp.c_str(), found);
    FSSubclientNode* child = firstChildNamed(parent, comp, caseSensitive);
    if (!child)
        return 0;
    *found = child;
    return 1;
}

// exactMatch is never true for a wildcard pattern.
FSSubclientNode* firstChildNamed(FSSubclientNode* parent, const std::string& name, bool caseSensitive)
{
    for (FSSubclientNode* child = parent->firstChild; child; child = child->nextSibling)
        if (child->pattern->exactMatch(name, caseSensitive))
            return child;
    return nullptr;
}

// Gives parent an index of all its children, the first of equal names kept.
// Short of memory the parent stays without one: the sibling chain gives the
// same answers, and the next child tries again.
void CFSSubclientConfPrivate::indexChildren(FSSubclientNode* parent)
{
    std::unique_ptr<FSChildrenSpeedup> index(new (std::nothrow) FSChildrenSpeedup(caseSensitive));
    if (!index) {
        TLOG_ON(owner, -1, "recursiveParse out of memory (new FSChildrenSpeedup), errno %d", errno);
        return;
    }
    try {
        for (FSSubclientNode* child = parent->firstChild; child; child = child->nextSibling)
            if (index->add(child->pattern->getBasename().c_str(), child) < -1)
                return;
    } catch (const std::bad_alloc&) {
        return;
    }
    parent->childIndex = index.release();
}

// Takes a node created by the current insertion out of the tree again:
// afterwards no link of the tree leads to it.
void CFSSubclientConfPrivate::removeRejected(FSSubclientNode* parent, FSSubclientNode** linkSlot, FSSubclientNode* node,
                                             FSSubclientNode* previous, const std::string& comp)
{
    *linkSlot = nullptr;
    parent->lastChild = previous;
    if (!parent->hasWildcardChildren && parent->childIndex) {
        FSSubclientNode* indexed = nullptr;
        if (parent->childIndex->find(comp.c_str(), &indexed) == 1 && indexed == node)
            parent->childIndex->remove(comp.c_str());
    }
    delete node;
}

int CFSSubclientConfPrivate::checkTreeNode(FSSubclientNode* node, int scNum)
{
    if (node->subclient > 0) {
        if (kxLogApplies(1) || problems.wanted()) {
            FSContentProblem p = fsProblem(FS_PROBLEM_DUPLICATE);
            p.path = p.conflict = nodeToPath(node);
            p.conflictSubclient = node->subclient;
            FS_PROBLEM(problems, owner, 1, p, fsProblemText::kDuplicate, p.path.c_str(), node->subclient, scNum);
        }
        errCode = FS_DUPLICATE;
        return -1;
    }
    FSSubclientNode* relative = node;
    while (relative && relative->subclient != scNum)
        relative = relative->parent;
    if (!relative)
        relative = descendantInSameSubclient(node, scNum);
    const int previous = node->subclient;
    node->subclient = scNum;
    if (relative) {
        FS_PROBLEM(problems, owner, 1, fsProblem(FS_PROBLEM_ANCESTOR), fsProblemText::kAncestor);
        errCode = FS_ANCESTOR;
        return -1;
    }
    try {
        return wcCheckTreeNode(node);
    } catch (...) {
        node->subclient = previous;  // not accepted after all
        throw;
    }
}
