#include "platform/CXDirectory.h"

#include <cerrno>
#include <new>

CXDirectory::CXDirectory() = default;

CXDirectory::~CXDirectory()
{
    close();
}

int CXDirectory::open(const char* path)
{
    close();
    if (!path) {
        lastError_ = EINVAL;
        return -1;
    }
    dir_ = opendir(path);
    lastError_ = dir_ ? 0 : errno;
    return dir_ ? 0 : -1;
}

const char* CXDirectory::read()
{
    if (!dir_) {
        lastError_ = EBADF;
        return nullptr;
    }
    // readdir reports the end and an error alike with null; only errno tells them apart.
    errno = 0;
    struct dirent* entry = readdir(dir_);
    lastError_ = entry ? 0 : errno;
    if (!entry)
        return nullptr;
    try {
        name_ = entry->d_name;
    } catch (const std::bad_alloc&) {
        lastError_ = ENOMEM;
        return nullptr;
    }
    return name_.c_str();
}

void CXDirectory::close()
{
    if (dir_)
        closedir(dir_);
    dir_ = nullptr;
}

int CXDirectory::getLastError() const
{
    return lastError_;
}
