// Reads the entry names of one folder, in the order the system returns them.
//
//     CXDirectory dir;
//     if (dir.open("/logs") == 0)
//         while (const char* name = dir.read())
//             ...;               // "." and ".." come as the system gives them
//     if (dir.getLastError())    // 0: the folder was read to its end
//         ...;
#ifndef SUBCLIENTCONF_PLATFORM_CXDIRECTORY_H
#define SUBCLIENTCONF_PLATFORM_CXDIRECTORY_H

#include <dirent.h>
#include <string>

class CXDirectory {
public:
    CXDirectory();
    ~CXDirectory();  // closes an opened folder
    CXDirectory(const CXDirectory&) = delete;
    CXDirectory& operator=(const CXDirectory&) = delete;

    // 0 on success, -1 on failure (see getLastError). Closes a folder opened before.
    int open(const char* path);
    // The next entry name, valid until the next call on this object; null at the
    // end of the folder, on a read error, or when no folder is open.
    const char* read();
    // Releases the folder early; reading then gives null.
    void close();
    // The errno of the last failed call; 0 after a successful open and after a
    // read that ended normally.
    int getLastError() const;

private:
    DIR* dir_ = nullptr;
    std::string name_;
    int lastError_ = 0;
};

#endif
