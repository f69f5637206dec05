#include "dirlist/FSSubclientDirList.h"

#include "subclient/FSSubclientConfPrivate.h"
#include "wildcard/WCSubclients.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Puts the configuration's delimiter back on every exit of createDirlist,
// when the path's delimiter changed it.
class DelimRestore {
public:
    DelimRestore(FSSubclientConf* conf, char saved) : conf_(conf), saved_(saved) {}
    ~DelimRestore()
    {
        if (conf_->getDelim() != saved_)
            conf_->setDelim(saved_);
    }
    DelimRestore(const DelimRestore&) = delete;
    DelimRestore& operator=(const DelimRestore&) = delete;

private:
    FSSubclientConf* conf_;
    char saved_;
};

// Owns the entries built so far until a list takes them over.
class EntryGuard {
public:
    explicit EntryGuard(CFSSubclientConfPrivate& p) : p_(p) {}
    ~EntryGuard()
    {
        if (top) {
            p_.linearizeDirlist(top, nullptr);
            releaseLinearEntries(top);
        }
    }
    EntryGuard(const EntryGuard&) = delete;
    EntryGuard& operator=(const EntryGuard&) = delete;

    FSSubclientDir* top = nullptr;

private:
    CFSSubclientConfPrivate& p_;
};

// Skips a ":to-time:" or ";to-time;app-id;" prefix, storing the numbers;
// null after logging why the prefix is bad.
const char* skipPrefix(CFSSubclientConfPrivate& p, const char* path)
{
    char opener = path[0];
    if (opener != ':' && opener != ';')
        return path;
    const char* close = strchr(path + 1, opener);
    if (!close) {
        TLOG_CALL(p.owner, 1, "Bad to-time prefix in '%s'", path);
        return nullptr;
    }
    if (sscanf(path + 1, "%lu", &p.dirlistToTime) != 1) {
        TLOG_CALL(p.owner, 1, "Cannot parse to time in '%s'", path);
        return nullptr;
    }
    TLOG_CALL(p.owner, 3, "Path '%s' contains dirlistToTime=%lu", path, p.dirlistToTime);
    const char* rest = close + 1;
    if (opener == ':')
        return rest;
    close = strchr(rest, ';');
    if (!close) {
        TLOG_CALL(p.owner, 1, "Bad app id prefix in '%s'", path);
        return nullptr;
    }
    if (sscanf(rest, "%lu", &p.dirlistAppId) != 1) {
        TLOG_CALL(p.owner, 1, "Cannot parse app id in '%s'", path);
        return nullptr;
    }
    TLOG_CALL(p.owner, 3, "Path '%s' contains dirlistAppId=%lu", path, p.dirlistAppId);
    return close + 1;
}

// The entry for the searched path itself; the search results decide its subclient.
FSSubclientDir* topEntry(CFSSubclientConfPrivate& p, const char* path, size_t length, FSSubclientNode* owner)
{
    FSSubclientDir* entry = new (std::nothrow) FSSubclientDir;
    if (!entry)
        return nullptr;
    entry->name = static_cast<char*>(malloc(length + 1));
    if (!entry->name) {
        delete entry;
        return nullptr;
    }
    memcpy(entry->name, path, length + 1);
    entry->suffix = entry->name + length;
    entry->toTime = p.dirlistToTime;
    entry->appId = p.dirlistAppId;
    entry->node = owner;
    entry->subclient = p.searchSubclient(owner);
    FSSubclientNode* named = p.searchWildcardNode ? p.searchWildcardNode : owner;
    if (named->displayName)
        entry->displayName = *named->displayName;
    return entry;
}

// The node's path from the root, components joined by the delimiter (the
// root's own text is empty); built by walking up, so depth costs no stack.
char* nodeName(CFSSubclientConfPrivate& p, FSSubclientNode* node)
{
    size_t len = 0;
    for (FSSubclientNode* n = node; n->parent; n = n->parent)
        len += p.delimString.size() + n->pattern->getBasename().size();
    // Owned here until returned: a component's text may throw bad_alloc.
    std::unique_ptr<char, void (*)(void*)> name(static_cast<char*>(malloc(len + 1)), free);
    if (!name)
        return nullptr;
    char* end = name.get() + len;
    *end = '\0';
    for (FSSubclientNode* n = node; n->parent; n = n->parent) {
        std::string text = n->pattern->getBasename();
        end -= text.size();
        memcpy(end, text.data(), text.size());
        end -= p.delimString.size();
        memcpy(end, p.delimString.data(), p.delimString.size());
    }
    return name.release();
}

// Hooks a nodir entry for node in at nodirTail; -1 when memory runs out.
int addNodir(CFSSubclientConfPrivate& p, FSSubclientNode* node, const char* path)
{
    FSSubclientDir* entry = new (std::nothrow) FSSubclientDir;
    if (!entry)
        return -1;
    *p.nodirTail = entry;
    p.nodirTail = &entry->nextNodir;
    entry->node = node;
    entry->subclient = node->subclient;
    entry->isWildcard = node->pattern->isWildCard();
    entry->toTime = p.dirlistToTime;
    entry->appId = 0;
    entry->name = nodeName(p, node);
    if (!entry->name)
        return -1;
    entry->suffix = p.suffix(entry->name, path);
    if (node->displayName)
        entry->displayName = *node->displayName;
    return 0;
}

// The construction proper; an allocation failure unwinds through the guards.
// Messages name createDirlist as their reporter.
FSSubclientDirlist* buildDirlist(FSSubclientConf& conf, CFSSubclientConfPrivate& p, const char* path, bool strictTree)
{
    if (!p.root) {
        TLOG_CALL(&conf, 1, "No tree");
        return nullptr;
    }
    p.dirlistToTime = 0;
    p.dirlistAppId = 0;
    const char* rest = skipPrefix(p, path);
    if (!rest)
        return nullptr;
    DelimRestore restore(&conf, p.delim);
    // A path that is already normalized is used as it is.
    size_t length = strlen(rest);
    const char* normalized = rest;
    char pathDelim = p.normalizedDelimiter(rest, length, true);
    if (!pathDelim) {
        p.dirlistInput.assign(rest);
        pathDelim = conf.fixPath(p.dirlistInput, p.dirlistPath, true);
        normalized = p.dirlistPath.c_str();
        length = p.dirlistPath.size();
    }
    if (!pathDelim) {
        TLOG_CALL(&conf, 1, "Invalid path '%s'", rest);
        return nullptr;
    }
    if (pathDelim != p.delim)
        conf.setDelim(pathDelim);

    p.searchNode = nullptr;
    p.searchWildcardNode = nullptr;
    int found = p.recursiveSearch(p.root, normalized);
    if (!p.searchNode) {
        TLOG_CALL(&conf, -1, "Internal error during createDirlist '%s'", rest);
        return nullptr;
    }
    FSSubclientNode* owner = p.ownerNode(p.searchNode);
    EntryGuard entries(p);
    entries.top = topEntry(p, normalized, length, owner);
    if (!entries.top)
        return nullptr;
    if (found == 1 && p.searchNode->firstChild) {
        p.nodirTail = &entries.top->nodirs;
        p.dirlistSubclient = owner->subclient;
        if (p.dirlistNodirs(p.searchNode->firstChild, normalized, false, strictTree) != 0)
            return nullptr;
        if (entries.top->nodirs && p.recursiveDirlist(entries.top->nodirs, normalized, strictTree) != 0)
            return nullptr;
        p.linearizeDirlist(entries.top, nullptr);
    }
    FSSubclientDirlist* list = new (std::nothrow) FSSubclientDirlist(&conf, entries.top, p.appType);
    if (!list)
        return nullptr;
    entries.top = nullptr;
    if (p.caseSensitive)
        list->caseSensitive();
    else
        list->caseInsensitive();
    return list;
}

}  // namespace

FSSubclientDirlist* FSSubclientConf::createDirlist(const char* path, bool strictTree)
{
    TCALL_ORIGIN();
    try {
        return buildDirlist(*this, *d, path, strictTree);
    } catch (const std::exception&) {
        TLOG(-1, "%s", kFSOutOfMemory);
        return nullptr;
    }
}

// Depth-first over the subtrees of the list that starts at first, without
// recursion: depth 0 is the given list, deeper levels climb back through parent.
int CFSSubclientConfPrivate::dirlistNodirs(FSSubclientNode* first, const char* path, bool walkCovered, bool strictTree)
{
    int depth = 0;
    FSSubclientNode* node = first;
    while (node) {
        bool viaCovered = depth == 0 && walkCovered;
        // Literals covered by a wildcard that is content are reached through
        // that wildcard's covered list instead, once the wildcard is an entry
        // of its own. A wildcard of this entry's subclient (below its own
        // content, as overlapping content allows) is no entry: what it covers
        // is walked here, or another subclient's content there would be lost.
        const int covering = coveringSubclient(node);
        bool coveredElsewhere = !viaCovered && !strictTree && covering != -1 && covering != dirlistSubclient;
        if (!coveredElsewhere) {
            if (node->subclient != -1 && node->subclient != dirlistSubclient) {
                if (addNodir(*this, node, path) != 0)
                    return -1;
            } else if (node->firstChild) {
                node = node->firstChild;
                ++depth;
                continue;
            }
        }
        while (depth > 0 && !node->nextSibling) {
            node = node->parent;
            --depth;
        }
        node = depth == 0 && walkCovered ? node->nextCovered : node->nextSibling;
    }
    return 0;
}

// Collects the nodirs of every entry below first, depth-first without
// recursion: an entry's nodirs get their parent set so the walk can climb back.
int CFSSubclientConfPrivate::recursiveDirlist(FSSubclientDir* first, const char* path, bool strictTree)
{
    int depth = 0;
    FSSubclientDir* entry = first;
    while (entry) {
        FSSubclientNode* node = entry->node;
        bool walkCovered = !strictTree && node->firstCovered;
        FSSubclientNode* list = walkCovered ? node->firstCovered : node->firstChild;
        if (list) {
            nodirTail = &entry->nodirs;
            dirlistSubclient = node->subclient;
            if (dirlistNodirs(list, path, walkCovered, strictTree) != 0)
                return -1;
        }
        if (entry->nodirs) {
            for (FSSubclientDir* nodir = entry->nodirs; nodir; nodir = nodir->nextNodir)
                nodir->parent = entry;
            entry = entry->nodirs;
            ++depth;
            continue;
        }
        while (depth > 0 && !entry->nextNodir) {
            entry = entry->parent;
            --depth;
        }
        entry = entry->nextNodir;
    }
    return 0;
}

// Pre-order along nextLinear: an entry, the entries below it, then its next
// sibling. Iterative; returns the last entry reached.
FSSubclientDir* CFSSubclientConfPrivate::linearizeDirlist(FSSubclientDir* first, FSSubclientDir* parent)
{
    FSSubclientDir* top = parent;
    FSSubclientDir* last = nullptr;
    FSSubclientDir* entry = first;
    while (entry) {
        entry->parent = parent;
        if (entry->nodirs) {
            entry->nextLinear = entry->nodirs;
            parent = entry;
            entry = entry->nodirs;
            continue;
        }
        entry->nextLinear = entry->nextNodir;
        last = entry;
        while (!entry->nextNodir && parent != top) {
            entry = parent;
            parent = entry->parent;
            last->nextLinear = entry->nextNodir;
        }
        entry = entry->nextNodir;
    }
    return last;
}

char* CFSSubclientConfPrivate::suffix(char* name, const char* path)
{
    size_t i = 0;
    for (; name[i] && path[i]; ++i) {
        bool same = caseSensitive
                        ? name[i] == path[i]
                        : toupper(static_cast<unsigned char>(name[i])) == toupper(static_cast<unsigned char>(path[i]));
        if (!same)
            return nullptr;
    }
    return path[i] ? nullptr : name + i;
}
