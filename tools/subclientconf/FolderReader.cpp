#include "FolderReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class FolderReader::Request {
public:
    explicit Request(std::string path) : path(std::move(path)) {}
    enum State { Queued, Reading, Done, Taken };
    std::string path;
    State state = Queued;
    Listing listing;
};

namespace {

void describe(const struct stat& info, DiskEntry& entry)
{
    entry.device = info.st_dev;
    entry.inode = info.st_ino;
    if (S_ISREG(info.st_mode)) {
        entry.type = 'f';
        entry.size = static_cast<uint64_t>(info.st_size);
        entry.allocated = static_cast<uint64_t>(info.st_blocks) * 512u;
        entry.linked = info.st_nlink > 1;
    } else if (S_ISDIR(info.st_mode)) {
        entry.type = 'd';
    } else if (S_ISLNK(info.st_mode)) {
        entry.type = 'l';
        entry.size = static_cast<uint64_t>(info.st_size);
    }
}

}  // namespace

DiskEntry readStatus(const std::string& path)
{
    DiskEntry entry;
    entry.name = path;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) {
        entry.type = '?';
        entry.error = errno;
    } else {
        describe(info, entry);
    }
    return entry;
}

// Status through the open folder, as du reads it, which saves resolving the path per entry.
Listing readFolder(const std::string& path)
{
    Listing listing;
    DIR* folder = opendir(path.c_str());
    if (!folder) {
        listing.error = errno;
        return listing;
    }
    int fd = dirfd(folder);
    errno = 0;
    while (struct dirent* found = readdir(folder)) {
        if (strcmp(found->d_name, ".") == 0 || strcmp(found->d_name, "..") == 0)
            continue;
        DiskEntry entry;
        entry.name = found->d_name;
        struct stat info;
        if (fstatat(fd, found->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            entry.type = '?';
            entry.error = errno;
        } else {
            describe(info, entry);
        }
        listing.entries.push_back(std::move(entry));
        errno = 0;
    }
    listing.error = errno;
    closedir(folder);
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const DiskEntry& a, const DiskEntry& b) { return a.name < b.name; });
    return listing;
}

FolderReader::FolderReader(unsigned jobs, size_t window) : window_(window)
{
    for (unsigned i = 1; i < jobs; ++i)
        threads_.emplace_back([this] { work(); });
}

FolderReader::~FolderReader()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

FolderReader::Ticket FolderReader::request(const std::string& path)
{
    if (threads_.empty())
        return nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    if (outstanding_ >= window_)
        return nullptr;
    ++outstanding_;
    queue_.push_front(std::make_shared<Request>(path));
    queued_.notify_one();
    return queue_.front();
}

Listing FolderReader::take(const Ticket& ticket, const std::string& path)
{
    if (!ticket)
        return readFolder(path);
    std::unique_lock<std::mutex> lock(mutex_);
    --outstanding_;
    if (ticket->state == Request::Queued) {  // no thread has it yet: read it here
        ticket->state = Request::Taken;
        lock.unlock();
        return readFolder(path);
    }
    done_.wait(lock, [&] { return ticket->state == Request::Done; });
    ticket->state = Request::Taken;
    return std::move(ticket->listing);
}

void FolderReader::work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        queued_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (stopping_)
            return;
        Ticket ticket = queue_.front();
        queue_.pop_front();
        if (ticket->state != Request::Queued)
            continue;  // taken by the walk meanwhile
        ticket->state = Request::Reading;
        lock.unlock();
        Listing listing = readFolder(ticket->path);
        lock.lock();
        ticket->listing = std::move(listing);
        ticket->state = Request::Done;
        done_.notify_all();
    }
}
