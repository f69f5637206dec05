#include "dirlist/FSSubclientDirList.h"

#include "platform/TPathCache.h"
#include "subclient/FSSubclientConf.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

const char* const systemStateMonikers[] = {"[System State]", "[System State BCD]"};

// A first-level moniker: "/[System State]" or "/[System State]/x", with the
// name's own first character as the delimiter.
bool isFirstLevelMoniker(const char* name, const char* moniker)
{
    if (!name || !*name)
        return false;
    size_t len = strlen(moniker);
    return strncmp(name + 1, moniker, len) == 0 && (name[1 + len] == '\0' || name[1 + len] == name[0]);
}

const char* nameOrNull(const FSSubclientDir* entry)
{
    return entry && entry->name ? entry->name : "NULL";
}

}  // namespace

FSSubclientDirlist::FSSubclientDirlist(FSSubclientConf* conf, FSSubclientDir* root, int appType)
    : TDebuggable("FSDIRLIST"), conf(conf), root(root), sortedHead(nullptr), firstOf(nullptr), lastOf(nullptr),
      trashHead(nullptr), trashTail(nullptr), ownsEntries(1), merged(0), numSubclients(conf->getNumSubclients()),
      currentSubclient(0), current(nullptr), compareCount(0), appType(appType), rootDepth(0), browseCursor(nullptr),
      pathCache(nullptr), browseCount(0), delim(conf->getDelim()), compareFn(strcasecmp), prefixCompareFn(strncasecmp)
{}

FSSubclientDirlist::~FSSubclientDirlist()
{
    if (ownsEntries) {
        if (merged)
            freeMerged();
        else
            freeUnmerged();
    }
    freeTrash();
    free(firstOf);
    free(lastOf);
    delete pathCache;
}

void FSSubclientDirlist::caseSensitive()
{
    compareFn = strcmp;
    prefixCompareFn = strncmp;
}

void FSSubclientDirlist::caseInsensitive()
{
    compareFn = strcasecmp;
    prefixCompareFn = strncasecmp;
}

FSSubclientDir* FSSubclientDirlist::getRoot()
{
    return root;
}

char FSSubclientDirlist::getDelim()
{
    return delim;
}

void FSSubclientDirlist::freeUnmerged()
{
    releaseLinearEntries(root);
    root = nullptr;
}

void FSSubclientDirlist::freeMerged()
{
    for (int i = 0; firstOf && i < numSubclients; ++i) {
        FSSubclientDir* entry = firstOf[i];
        while (entry) {
            FSSubclientDir* next = entry == lastOf[i] ? nullptr : entry->nextInSubclient;
            releaseDirEntry(entry);
            entry = next;
        }
        firstOf[i] = lastOf[i] = nullptr;
    }
    root = sortedHead = nullptr;
}

void FSSubclientDirlist::freeTrash()
{
    while (trashHead) {
        FSSubclientDir* next = trashHead->nextInSubclient;
        releaseDirEntry(trashHead);
        trashHead = next;
    }
    trashTail = nullptr;
}

void FSSubclientDirlist::applyAppIds()
{
    for (FSSubclientDir* entry = root; entry; entry = entry->nextLinear) {
        if (entry->appId == 0)
            continue;
        int number = conf->appIdToNumber(entry->appId);
        if (number > 0) {
            log(1, callOrigin(), __LINE__, "Path '%s' subclient number %d changes to %d since app id is %lu",
                entry->name, entry->subclient, number, entry->appId);
            entry->subclient = number;
        } else {
            log(conf->getLoadedDefaultOnly() ? 3 : 1, callOrigin(), __LINE__,
                "sort: ignoring app id %lu for path '%s' (sc num %d) - cannot convert to subclient number",
                entry->appId, entry->name, entry->subclient);
        }
    }
}

// firstOf and lastOf are sized for the subclients the configuration had when
// the list was built; an entry outside that range has no chain to join.
bool FSSubclientDirlist::subclientsInRange()
{
    for (FSSubclientDir* entry = root; entry; entry = entry->nextLinear) {
        if (entry->subclient < 1 || entry->subclient > numSubclients) {
            log(1, callOrigin(), __LINE__, "sort: path '%s' has subclient number %d outside 1..%d", entry->name,
                entry->subclient, numSubclients);
            return false;
        }
    }
    return true;
}

int FSSubclientDirlist::sort()
{
    TCALL_ORIGIN();
    if (firstOf)
        return 0;
    applyAppIds();
    if (!subclientsInRange())
        return -1;
    size_t slots = numSubclients > 0 ? static_cast<size_t>(numSubclients) : 1;
    firstOf = static_cast<FSSubclientDir**>(calloc(slots, sizeof *firstOf));
    lastOf = static_cast<FSSubclientDir**>(calloc(slots, sizeof *lastOf));
    if (!firstOf || !lastOf) {
        TLOG(1, "malloc failed, errno %d", errno);
        free(firstOf);
        free(lastOf);
        firstOf = lastOf = nullptr;
        return -1;
    }
    for (FSSubclientDir* entry = root; entry; entry = entry->nextLinear) {
        int i = entry->subclient - 1;
        if (firstOf[i])
            lastOf[i]->nextInSubclient = entry;
        else
            firstOf[i] = entry;
        lastOf[i] = entry;
    }
    joinChains();
    return 0;
}

// Links the per-subclient chains one after the other in subclient order.
void FSSubclientDirlist::joinChains()
{
    FSSubclientDir* prevLast = nullptr;
    sortedHead = nullptr;
    for (int i = 0; i < numSubclients; ++i) {
        if (!firstOf[i])
            continue;
        if (prevLast)
            prevLast->nextInSubclient = firstOf[i];
        else
            sortedHead = firstOf[i];
        prevLast = lastOf[i];
    }
    if (prevLast)
        prevLast->nextInSubclient = nullptr;
}

int FSSubclientDirlist::getFirst(int scNum, FSSubclientDir** dir)
{
    if (!ownsEntries) {
        TLOG(1, "Cannot getFirst %d after merge", scNum);
        return -1;
    }
    if (sort() != 0) {
        TLOG(1, "%d: sort failed", scNum);
        return -1;
    }
    if (scNum <= 0 || scNum > numSubclients) {
        TLOG(1, "scnum %d <= 0 or > numSubclients %d", scNum, numSubclients);
        return -1;
    }
    currentSubclient = scNum;
    current = firstOf[scNum - 1];
    *dir = current;
    return 0;
}

int FSSubclientDirlist::getFirst(const char* scName, FSSubclientDir** dir)
{
    int number = conf->nameToNumber(scName);
    if (number < 0) {
        TLOG(1, "nameToNumber %s failed", scName);
        return -1;
    }
    return getFirst(number, dir);
}

int FSSubclientDirlist::getNext(FSSubclientDir** dir)
{
    if (!ownsEntries) {
        TLOG(1, "Cannot getNext after merge");
        return -1;
    }
    if (currentSubclient <= 0) {
        TLOG(1, "Call getFirst first");
        return -1;
    }
    if (current) {
        current = current->nextInSubclient;
        if (current && current->subclient != currentSubclient)
            current = nullptr;
    }
    *dir = current;
    return 0;
}

bool FSSubclientDirlist::containsSystemState(int scNum)
{
    FSSubclientDir* entry = nullptr;
    for (int rc = getFirst(scNum, &entry); rc == 0 && entry; rc = getNext(&entry)) {
        for (const char* moniker : systemStateMonikers)
            if (isFirstLevelMoniker(entry->name, moniker))
                return true;
    }
    return false;
}

void FSSubclientDirlist::dumpEntry(const char* kind, const FSSubclientDir* entry)
{
    log(1, callOrigin(), __LINE__, "*** %s '%s' (%s) suffix '%s'", kind, entry->name,
        entry->isWildcard ? "wc" : "non-wc", entry->suffix ? entry->suffix : "");
    for (const FSSubclientDir* nodir = entry->nodirs; nodir; nodir = nodir->nextNodir)
        log(1, callOrigin(), __LINE__, "--- NODIR '%s' (%s) suffix '%s'", nodir->name,
            nodir->isWildcard ? "wc" : "non-wc", nodir->suffix ? nodir->suffix : "");
}

void FSSubclientDirlist::dumpBySubclient()
{
    TCALL_ORIGIN();
    int count = conf->getNumSubclients();
    for (int number = 1; number <= count; ++number) {
        FSSubclientDir* entry = nullptr;
        if (getFirst(number, &entry) != 0) {
            TLOG(1, "+++ Cannot getFirst for subclient #%d", number);
            continue;
        }
        if (!entry)
            continue;
        const char* name = conf->numberToName(number);
        TLOG(1, "+++ %d: Subclient %s", number, name ? name : "Unknown!!");
        dumpEntry("FIRST", entry);
        for (;;) {
            if (getNext(&entry) != 0) {
                TLOG(1, "+++ Cannot getNext for subclient #%d", number);
                break;
            }
            if (!entry)
                break;
            dumpEntry("NEXT", entry);
        }
    }
}

// The whole list is shown in the order the list owns it: pre-order before a
// merge, the joined per-subclient chains after one.
void FSSubclientDirlist::dumpLists()
{
    TLOG(1, " ");
    TLOG(1, " ");
    TLOG(1, "+++ Whole list dump:");
    if (merged) {
        for (FSSubclientDir* entry = sortedHead; entry; entry = entry->nextInSubclient)
            TLOG(1, "--- %d: %s", entry->subclient, entry->name);
    } else {
        for (FSSubclientDir* entry = root; entry; entry = entry->nextLinear)
            TLOG(1, "--- %d: %s", entry->subclient, entry->name);
    }
    TLOG(1, " ");
    TLOG(1, "+++ Per-subclient dump:");
    for (int i = 0; i < numSubclients; ++i)
        TLOG(1, "--- %d: FIRST %s, LAST %s", i + 1, nameOrNull(firstOf ? firstOf[i] : nullptr),
             nameOrNull(lastOf ? lastOf[i] : nullptr));
    TLOG(1, " ");
    TLOG(1, "+++ Trash dump:");
    for (FSSubclientDir* entry = trashHead; entry; entry = entry->nextInSubclient)
        TLOG(1, "--- Trash %s in %d", entry->name, entry->subclient);
    TLOG(1, "--- Last trash %s in %d", nameOrNull(trashTail), trashTail ? trashTail->subclient : 0);
    TLOG(1, " ");
}
