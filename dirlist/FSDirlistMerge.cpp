#include "dirlist/FSSubclientDirList.h"

#include "subclient/FSSubclientConfPrivate.h"

#include <cstring>

namespace {

// Duplicate removal stops looking in a list once it has spent this many comparisons.
const int compareBudget = 500000;

}  // namespace

int FSSubclientDirlist::merge(FSSubclientDirlist* other)
{
    TCALL_ORIGIN();
    if (!other) {
        TLOG(1, "Nothing to merge");
        return -1;
    }
    if (other == this) {
        // Consuming the argument would destroy this very list.
        TLOG(1, "A dirlist cannot be merged into itself");
        return -1;
    }
    int rc = mergeEntries(other);
    if (rc == 0) {
        merged = 1;
        other->ownsEntries = 0;
    }
    delete other;
    return rc;
}

int FSSubclientDirlist::mergeEntries(FSSubclientDirlist* other)
{
    // Lists sized for different subclient counts cannot share chains.
    if (other->conf != conf || other->numSubclients != numSubclients) {
        log(1, callOrigin(), __LINE__, "The two dirlists must be from same conf object");
        return -1;
    }
    if (sort() != 0) {
        log(1, callOrigin(), __LINE__, "'this' sort failed");
        return -1;
    }
    if (other->sort() != 0) {
        log(1, callOrigin(), __LINE__, "'other' sort failed");
        return -1;
    }
    if (!ownsEntries || !other->ownsEntries) {
        log(1, callOrigin(), __LINE__, "illegal merge attempted");
        return -1;
    }
    for (int i = 0; i < numSubclients; ++i) {
        trashDuplicates(other, i);
        if (!other->firstOf[i])
            continue;
        if (firstOf[i])
            lastOf[i]->nextInSubclient = other->firstOf[i];
        else
            firstOf[i] = other->firstOf[i];
        lastOf[i] = other->lastOf[i];
    }
    joinChains();
    return 0;
}

FSSubclientDir* FSSubclientDirlist::lastBelow(int index) const
{
    for (int i = index - 1; i >= 0; --i)
        if (lastOf[i])
            return lastOf[i];
    return nullptr;
}

// inner lies at or below outer: outer's name is a prefix of inner's ending at
// a component boundary, and both belong to the same point in time. A name
// ending in the delimiter (the root) is its own boundary.
bool FSSubclientDirlist::covers(const FSSubclientDir* outer, const FSSubclientDir* inner) const
{
    size_t len = strlen(outer->name);
    if (inner->toTime != outer->toTime || prefixCompareFn(inner->name, outer->name, len) != 0)
        return false;
    char after = inner->name[len];
    return after == '\0' || after == delim || (len > 0 && outer->name[len - 1] == delim);
}

// Takes entry out of this list's chain of subclient index + 1; prev is the
// entry before it in the joined chains, or null.
void FSSubclientDirlist::unlinkFromChain(int index, FSSubclientDir* entry, FSSubclientDir* prev)
{
    FSSubclientDir* next = entry->nextInSubclient;
    int sc = index + 1;
    if (prev)
        prev->nextInSubclient = next;
    if (firstOf[index] == entry)
        firstOf[index] = next && next->subclient == sc ? next : nullptr;
    if (lastOf[index] == entry)
        lastOf[index] = prev && prev->subclient == sc ? prev : nullptr;
    if (sortedHead == entry)
        sortedHead = next;
    entry->nextInSubclient = nullptr;
}

void FSSubclientDirlist::addToTrash(FSSubclientDir* entry)
{
    if (trashTail)
        trashTail->nextInSubclient = entry;
    else
        trashHead = entry;
    trashTail = entry;
}

void FSSubclientDirlist::trashDuplicates(FSSubclientDirlist* other, int index)
{
    int sc = index + 1;
    if (sc < 1 || sc > numSubclients) {
        TLOG(1, "Invalid subclient # %d", sc);
        return;
    }
    bool rewriteDelim = !CFSSubclientConfPrivate::treatSlashAsSlash(appType) && other->delim != delim;
    FSSubclientDir* prevOther = other->lastBelow(index);
    FSSubclientDir* prevThisStart = lastBelow(index);
    FSSubclientDir* o = other->firstOf[index];
    while (o && o->subclient == sc) {
        FSSubclientDir* nextOther = o->nextInSubclient;
        if (rewriteDelim)
            for (char* c = o->name; *c; ++c)
                if (*c == other->delim)
                    *c = delim;
        bool trashed = false;
        FSSubclientDir* prevThis = prevThisStart;
        FSSubclientDir* t = firstOf[index];
        while (t && t->subclient == sc && compareCount < compareBudget) {
            ++compareCount;
            FSSubclientDir* nextThis = t->nextInSubclient;
            if (covers(t, o)) {
                other->unlinkFromChain(index, o, prevOther);
                addToTrash(o);
                trashed = true;
                break;
            }
            if (covers(o, t)) {
                unlinkFromChain(index, t, prevThis);
                addToTrash(t);
            } else {
                prevThis = t;
            }
            t = nextThis;
        }
        if (!trashed)
            prevOther = o;
        o = nextOther;
    }
}
