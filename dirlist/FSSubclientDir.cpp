#include "dirlist/FSSubclientDirList.h"

#include <cstdlib>

FSSubclientDir::FSSubclientDir()
    : name(nullptr), isWildcard(false), suffix(nullptr), toTime(0), appId(0), nodirs(nullptr), nextNodir(nullptr),
      parent(nullptr), nextLinear(nullptr), nextInSubclient(nullptr), node(nullptr), subclient(-1)
{
}

FSSubclientDir::~FSSubclientDir() = default;

void releaseDirEntry(FSSubclientDir* entry)
{
    free(entry->name);
    delete entry;
}

void releaseLinearEntries(FSSubclientDir* first)
{
    while (first) {
        FSSubclientDir* next = first->nextLinear;
        releaseDirEntry(first);
        first = next;
    }
}
