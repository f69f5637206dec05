// The private state: subclient table, tree root and their release.
#include "subclient/FSSubclientConfPrivate.h"

#include "wildcard/WCSubclients.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

const int kNamesGrowth = 32;

}  // namespace

CFSSubclientConfPrivate::CFSSubclientConfPrivate(FSSubclientConf* owner) : owner(owner) {}

CFSSubclientConfPrivate::~CFSSubclientConfPrivate()
{
    freeAll();
}

int CFSSubclientConfPrivate::init()
{
    if (!needsInit)
        return 0;
    needsInit = false;
    freeAll();
    // A root without the default name, or without its pattern, would mislead
    // every reader: after a failure nothing is kept and the next setName
    // tries again.
    try {
        if (initTree() == 0 && setName(defaultName.c_str()) == 0)
            return 0;
    } catch (...) {
        freeAll();
        needsInit = true;
        throw;
    }
    freeAll();
    needsInit = true;
    return -1;
}

int CFSSubclientConfPrivate::initTree()
{
    root = new (std::nothrow) FSSubclientNode();
    if (!root)
        return -1;
    // The root's component is empty and never parsed.
    root->pattern = new (std::nothrow) WCBasename('\\', false);
    if (!root->pattern)
        return -1;
    root->subclient = 1;
    root->coveringNode = &sentinel;
    return 0;
}

void CFSSubclientConfPrivate::freeAll()
{
    freeTree();
    freeNames();
    dropPathTestDirlist();
    clearDefaultContent();
    appIdMap.clear();
}

void CFSSubclientConfPrivate::freeTree()
{
    freeTree(root);
    root = nullptr;
    lastNode = nullptr;
}

void CFSSubclientConfPrivate::dropTreeTables()
{
    searchIndex.drop();
    scanEntries.drop();
}

void CFSSubclientConfPrivate::freeTree(FSSubclientNode* node)
{
    // Children before their parent, without recursion: descend by detaching
    // the first child, climb back through parent once a chain is released.
    if (!node)
        return;
    dropTreeTables();
    FSSubclientNode* const stop = node->parent;
    while (node && node != stop) {
        if (FSSubclientNode* child = node->firstChild) {
            node->firstChild = nullptr;
            node = child;
            continue;
        }
        FSSubclientNode* next = node->nextSibling ? node->nextSibling : node->parent;
        delete node;
        node = next;
    }
}

void CFSSubclientConfPrivate::freeNames()
{
    if (!names)
        return;
    for (int i = 0; i < numSubclients; ++i)
        free(names[i]);
    free(names);
    names = nullptr;
    namesCapacity = 0;
    numSubclients = 0;
    needsInit = true;
}

void CFSSubclientConfPrivate::clearDefaultContent()
{
    for (char* text : defaultContent)
        free(text);
    defaultContent.clear();
}

int CFSSubclientConfPrivate::setName(const char* name)
{
    if (init() < 0)
        return -1;
    if (!names) {
        names = static_cast<char**>(malloc(kNamesGrowth * sizeof(char*)));
        if (!names) {
            TLOG_ON(owner, -1, "setName malloc failed, errno %d", errno);
            errCode = FS_NO_MEMORY;
            return -1;
        }
        namesCapacity = kNamesGrowth;
    }
    if (numSubclients >= namesCapacity) {
        char** grown = static_cast<char**>(realloc(names, (namesCapacity + kNamesGrowth) * sizeof(char*)));
        if (!grown) {
            TLOG_ON(owner, -1, "realloc malloc failed, errno %d", errno);
            errCode = FS_NO_MEMORY;
            return -1;
        }
        names = grown;
        namesCapacity += kNamesGrowth;
    }
    for (int i = 0; i < numSubclients; ++i) {
        if (numSubclients == 1 && strcasecmp(name, defaultName.c_str()) == 0)
            return 0;
        if (strcasecmp(name, names[i]) == 0) {
            FSContentProblem p = fsProblem(FS_PROBLEM_NAME_IN_USE);
            p.content = name;
            p.conflict = names[i];
            p.conflictSubclient = i + 1;
            FS_PROBLEM(problems, owner, 1, p, fsProblemText::kNameInUse, name, i, numSubclients + 1);
            errCode = FS_DUPLICATE_NAME;
            return -1;
        }
    }
    // The record and its slot come first, so that a failure cannot leave a
    // name in the table without its replay record.
    FSPlayback record;
    record.kind = FSPlayback::kindName;
    record.text = name;
    FSReplaySlot slot(replayVec);
    char* copy = strdup(name);
    if (!copy) {
        TLOG_ON(owner, -1, "strdup failed, errno %d", errno);
        errCode = FS_NO_MEMORY;
        return -1;
    }
    names[numSubclients++] = copy;
    slot.fill(std::move(record));
    TLOG_ON(owner, 3, "replayVec[%d] name '%s'", static_cast<int>(replayVec.size() - 1), name);
    return 0;
}

int CFSSubclientConfPrivate::setDisplayName(const char* name)
{
    if (!name || !lastNode)
        return -1;
    dropPathTestDirlist();
    if (!lastNode->displayName)
        lastNode->displayName = new std::string(name);
    else
        *lastNode->displayName = name;
    return 0;
}

void setPostfixToAvoidDuplication(std::string& postfix, unsigned long scNum)
{
    char buffer[70];
    snprintf(buffer, sizeof buffer, "[\t\t\t Duplicated for subclient #%03lu]", scNum);
    postfix = buffer;
}
