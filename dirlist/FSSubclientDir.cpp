#include "dirlist/FSBlockCache.h"
#include "dirlist/FSSubclientDirList.h"

#include <cstdlib>

FSSubclientDir::FSSubclientDir()
    : name(nullptr), isWildcard(false), suffix(nullptr), toTime(0), appId(0), nodirs(nullptr), nextNodir(nullptr),
      parent(nullptr), nextLinear(nullptr), nextInSubclient(nullptr), node(nullptr), subclient(-1)
{}

FSSubclientDir::~FSSubclientDir() = default;

void* FSSubclientDir::operator new(std::size_t size)
{
    return FSBlockCache<sizeof(FSSubclientDir)>::allocate(size, false);
}

void* FSSubclientDir::operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return FSBlockCache<sizeof(FSSubclientDir)>::allocate(size, true);
}

void FSSubclientDir::operator delete(void* block, std::size_t size) noexcept
{
    FSBlockCache<sizeof(FSSubclientDir)>::release(block, size);
}

void* FSSubclientDirlist::operator new(std::size_t size)
{
    return FSBlockCache<sizeof(FSSubclientDirlist)>::allocate(size, false);
}

void* FSSubclientDirlist::operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return FSBlockCache<sizeof(FSSubclientDirlist)>::allocate(size, true);
}

void FSSubclientDirlist::operator delete(void* block, std::size_t size) noexcept
{
    FSBlockCache<sizeof(FSSubclientDirlist)>::release(block, size);
}

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
