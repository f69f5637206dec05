// Scan lists: a subclient's scan start points and nodirs, one line per path.
#include "dirlist/FSCallback.h"
#include "subclient/FSSubclientConfPrivate.h"
#include "wildcard/WCSubclients.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

const char* const kNoConfig = "treeOutput called with no config loaded";
const char* const kNoCallback = "no output callback given";
const char* const kNoMemory = "no memory";

bool isWildcardNode(const FSSubclientNode* n)
{
    return n->pattern && n->pattern->isWildCard();
}

// Every later step reads the run's fields, so they are set before anything is written.
bool beginOutput(FSSubclientConf& conf, CFSSubclientConfPrivate& d, FSCallback* cb, int scNum, bool dirs, bool descend)
{
    if (!d.root) {
        TLOG_CALL(&conf, 1, "%s", kNoConfig);
        return false;
    }
    if (!cb) {
        TLOG_CALL(&conf, -1, "%s", kNoCallback);
        return false;
    }
    d.outputSink = cb;
    d.dirlistSubclient = scNum;
    d.outputDirs = dirs;
    d.outputDescend = descend;
    return true;
}

// A stored default content text that names only the root says nothing the tree does not.
bool isBareRoot(const char* text)
{
    return (text[0] == '/' || text[0] == '\\') && text[1] == '\0';
}

bool hasDefaultContent(const std::list<char*>& texts)
{
    for (const char* text : texts)
        if (text && !isBareRoot(text))
            return true;
    return false;
}

int writeDefaultContent(const std::list<char*>& texts, FSCallback* cb)
{
    for (const char* text : texts)
        if (text && cb->putLine(text) < 0)
            return -1;
    return 0;
}

typedef int (FSSubclientConf::*NumberedRun)(FSCallback*, int);

// The name forms: an unknown name fails quietly, a known one runs the number form.
int runByName(FSSubclientConf& conf, NumberedRun run, FSCallback* cb, const char* scName)
{
    int scNum = scName ? conf.nameToNumber(scName) : -1;
    return scNum < 1 ? -1 : (conf.*run)(cb, scNum);
}

// Whether the line of a node of subclient s, covered by a wildcard of
// subclient c (-1: none), is written in this run. A nodir run also decides
// whether what lies below it is inside the subclient's content, and whether
// to stop there.
bool emitNode(const CFSSubclientConfPrivate& d, int s, int c, int& inside, bool& stop)
{
    if (d.outputDirs)
        return s == d.dirlistSubclient;
    if (s == d.dirlistSubclient) {
        inside = 1;
        return false;
    }
    if (c == d.dirlistSubclient) {
        // Under this subclient's own wildcard: intermediate components lead
        // further into it, other subclients' content is cut out of it.
        if (s == -1)
            inside = 1;
        return s != -1;
    }
    // Another subclient's wildcard owns everything below the node.
    stop = c != -1;
    return inside && s != -1 && c == -1;
}

int expandDeferred(CFSSubclientConfPrivate& d, std::vector<FSSubclientNode*>& deferred)
{
    if (deferred.empty())
        return 0;
    return d.outputDirs ? d.wcDirnames(deferred, d.outputSink) : d.wcNodirs(deferred, d.outputSink);
}

// The scan-list line of a node from its path text (empty for the root),
// copied only when the run adds to it.
const char* lineOf(const CFSSubclientConfPrivate& d, const char* text, bool wildcard, bool root, std::string& line)
{
    const bool trailing = !root && d.outputDirs && d.dirlistSubclient == 1;
    if (!root && !trailing && !wildcard)
        return text;
    line = root ? d.delimString : text;
    if (trailing)
        line += d.delimString;
    if (wildcard)
        line += CFSSubclientConfPrivate::kWildcardMarker;
    return line.c_str();
}

// The walk from the mark at first through its subtree, over the marks alone:
// the nodes between them write nothing and pass on what they are given.
// open holds, for each mark the walk descends below, the end of its subtree
// and what lies below it is told.
struct OpenMark {
    std::size_t end;
    int inside;
};

int walkMarks(CFSSubclientConfPrivate& d, const FSScanEntries::Table& table, std::size_t first,
              std::vector<OpenMark>& open, std::string& line)
{
    open.clear();
    const std::size_t last = table.marks[first].end;
    for (std::size_t i = first; i <= last;) {
        while (!open.empty() && open.back().end < i)
            open.pop_back();
        const FSScanEntries::Mark& mark = table.marks[i];
        int below = open.empty() ? 0 : open.back().inside;
        bool stop = false;
        const bool emit = emitNode(d, mark.subclient, mark.covering, below, stop);
        if (emit && d.outputSink->putLine(
                        lineOf(d, table.textOf(mark.subclient, mark.text), mark.wildcard, mark.root, line)) < 0)
            return -1;
        if ((!emit || d.outputDescend) && !stop && mark.end > i) {
            open.push_back({mark.end, below});
            ++i;
        } else {
            i = static_cast<std::size_t>(mark.end) + 1;
        }
    }
    return 0;
}

// The walk of the whole tree, with a stack of its own, one entry per sibling
// list, so that deep content does not grow the call stack. Deferred nodes
// (ifind mode) of a sibling list are expanded once the list, descendants
// included, is done.
int walkWholeTree(CFSSubclientConfPrivate& d)
{
    struct Level {
        FSSubclientNode* next;
        int inside;
        std::vector<FSSubclientNode*> deferred;
    };
    FSPathText path(d.delimString);
    std::string line;
    std::vector<Level> levels;
    levels.push_back({d.root, 0, {}});
    while (!levels.empty()) {
        Level& level = levels.back();
        FSSubclientNode* n = level.next;
        if (!n) {
            std::vector<FSSubclientNode*> deferred;
            deferred.swap(level.deferred);
            levels.pop_back();
            int r = expandDeferred(d, deferred);
            if (r)
                return r;
            continue;
        }
        level.next = n->nextSibling;
        path.enter(levels.size() - 1, n);
        int below = level.inside;
        bool stop = false;
        bool emit = emitNode(d, n->subclient, CFSSubclientConfPrivate::coveringSubclient(n), below, stop);
        if (emit) {
            if (d.ifindMode && (!d.outputDirs || isWildcardNode(n)))
                level.deferred.push_back(n);
            else if (d.outputSink->putLine(lineOf(d, path.text().c_str(), isWildcardNode(n), !n->parent, line)) < 0)
                return -1;
        }
        if ((!emit || d.outputDescend) && n->firstChild && !stop)
            levels.push_back({n->firstChild, below, {}});
    }
    return 0;
}

// In ifind mode a walk writes a sibling list's lines once the whole list is
// done, an order the table alone cannot give: it walks the whole tree, as it
// does for a number no content can carry.
int walkTree(FSSubclientConf& conf, CFSSubclientConfPrivate& d)
{
    try {
        std::shared_ptr<const FSScanEntries::Table> table;
        if (!d.ifindMode && d.dirlistSubclient >= 1)
            table = d.scanEntries.of(d.root, d.delimString);
        return table ? d.outputFromEntries(*table) : walkWholeTree(d);
    } catch (const std::bad_alloc&) {
        TLOG_CALL(&conf, -1, "%s", kNoMemory);
        return -1;
    }
}

}  // namespace

int FSSubclientConf::treeOutput(FSCallback* cb, int scNum)
{
    TCALL_ORIGIN();
    if (!beginOutput(*this, *d, cb, scNum, true, true))
        return -1;
    return walkTree(*this, *d);
}

int FSSubclientConf::treeOutput(FSCallback* cb, const char* scName)
{
    return runByName(*this, &FSSubclientConf::treeOutput, cb, scName);
}

int FSSubclientConf::dirnames(FSCallback* cb, int scNum)
{
    TCALL_ORIGIN();
    if (!beginOutput(*this, *d, cb, scNum, true, d->allowOverlapSCContent))
        return -1;
    // The default subclient's own content lines, when loaded, are its start points.
    if (scNum == 1 && hasDefaultContent(d->defaultContent))
        return writeDefaultContent(d->defaultContent, cb);
    return walkTree(*this, *d);
}

int FSSubclientConf::dirnames(FSCallback* cb, const char* scName)
{
    return runByName(*this, &FSSubclientConf::dirnames, cb, scName);
}

int FSSubclientConf::nodirs(FSCallback* cb, int scNum)
{
    TCALL_ORIGIN();
    if (!beginOutput(*this, *d, cb, scNum, false, false))
        return -1;
    return walkTree(*this, *d);
}

int FSSubclientConf::nodirs(FSCallback* cb, const char* scName)
{
    return runByName(*this, &FSSubclientConf::nodirs, cb, scName);
}

// The whole-tree walk reaches an entry with nothing written and nothing
// inside above it, and writes nothing for this subclient outside the entries'
// subtrees: walking each entry's subtree in preorder writes the same lines.
// An entry below an entry already walked was met by that walk (or not reached
// because the walk stopped above it), and, for nodirs, an entry below a
// covered node is reached only from an entry above it. A directory walk
// writes only the subclient's own nodes, which are all entries: it writes
// each entry it would reach without walking at all.
int CFSSubclientConfPrivate::outputFromEntries(const FSScanEntries::Table& table)
{
    std::string line;
    std::vector<OpenMark> open;
    bool walked = false;
    std::size_t walkedEnd = 0;
    for (const FSScanEntries::Entry& entry : table.entriesOf(dirlistSubclient)) {
        // A walk that descends below a written directory writes the entries
        // there in turn; one that does not skips them.
        if (walked && entry.mark <= walkedEnd && !(outputDirs && outputDescend))
            continue;
        // Directories are written for the subclient's own nodes only.
        if (outputDirs ? !entry.own : entry.underCovered)
            continue;
        // A nodir walk from its own node writes only what lies below it.
        if (outputDirs ? outputSink->putLine(lineOf(*this, table.textOf(dirlistSubclient, entry.text), entry.wildcard,
                                                    entry.root, line)) < 0
                       : (!entry.own || entry.end > entry.mark) && walkMarks(*this, table, entry.mark, open, line) != 0)
            return -1;
        walked = true;
        walkedEnd = entry.end;
    }
    return 0;
}
