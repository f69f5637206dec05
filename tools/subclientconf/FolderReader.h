// Reads folders for the report's walk: each entry's name and status, sorted by
// name. Several threads may read ahead of the walk, which takes the listings
// in its own order, so the results do not depend on the number of threads.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_FOLDERREADER_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_FOLDERREADER_H

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct DiskEntry {
    std::string name;
    char type = 'o';         // 'f' file, 'd' folder, 'l' symbolic link, 'o' other, '?' status unreadable
    uint64_t size = 0;       // apparent bytes
    uint64_t allocated = 0;  // bytes in blocks
    dev_t device = 0;
    ino_t inode = 0;
    bool linked = false;  // a file with several hard links
    int error = 0;        // of an unreadable status
};

struct Listing {
    int error = 0;  // the folder could not be read
    std::vector<DiskEntry> entries;
};

// The status of one path (not following a link); type '?' and error when it cannot be read.
DiskEntry readStatus(const std::string& path);
Listing readFolder(const std::string& path);

class FolderReader {
public:
    class Request;
    using Ticket = std::shared_ptr<Request>;

    // jobs - 1 threads read ahead; at most window listings wait to be taken.
    FolderReader(unsigned jobs, size_t window);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // Asks for a folder to be read ahead; null when no thread reads ahead or the window is full.
    Ticket request(const std::string& path);
    // The listing: the one read ahead, or read now.
    Listing take(const Ticket& ticket, const std::string& path);

private:
    void work();

    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable done_;
    std::deque<Ticket> queue_;  // newest first: the walk takes the latest requests first
    size_t window_;
    size_t outstanding_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

#endif
