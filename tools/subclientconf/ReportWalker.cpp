#include "ReportWalker.h"

#include "Quoting.h"
#include "Signals.h"
#include "Walker.h"

#include <algorithm>
#include <cstring>

namespace {

// Listings read ahead and not yet taken: enough to keep the threads busy,
// few enough that memory does not grow with the tree.
const size_t kWindow = 256;

unsigned depthOf(const std::string& path)
{
    return path == "/" ? 0 : static_cast<unsigned>(std::count(path.begin(), path.end(), '/'));
}

}  // namespace

ReportWalker::ReportWalker(const ScanOwnership& ownership, ReportTally& tally, const ReportWalkOptions& options)
    : ownership_(ownership), tally_(tally), options_(options), reader_(std::max(options.jobs, 1u), kWindow)
{
    while (!options_.root.empty() && options_.root.back() == '/')
        options_.root.pop_back();
}

bool ReportWalker::walk()
{
    for (const std::string& root : ownership_.roots())
        walkRoot(root);
    progress_.clear();
    return interruption() == 0;
}

void ReportWalker::walkRoot(const std::string& path)
{
    DiskEntry entry = readStatus(onDisk(path));
    if (entry.type == '?') {
        tally_.unreadable(onDisk(path), strerror(entry.error));
        return;
    }
    Claim claim = ownership_.rootClaim(path);
    unsigned depth = depthOf(path);
    int node = ancestorNode(path == "/" ? "" : parentFolder(path));
    if (entry.type == 'd')
        node = tally_.folderNode(node, path, depth, claim);
    tally_.count(node, claim, entry);
    if (entry.type != 'd')
        return;
    stack_.push_back({path, claim, entry.device, node, depth, nullptr});
    while (!stack_.empty() && interruption() == 0)
        readPending();
}

// The nodes of the folders above a root (not walked themselves), so that the
// folders form one tree.
int ReportWalker::ancestorNode(const std::string& folder)
{
    if (folder.empty())
        return -1;
    std::vector<std::string> chain;  // up to the root, from the folder or its ancestor at the depth
    for (std::string up = folder;; up = parentFolder(up)) {
        if (depthOf(up) <= tally_.depth())
            chain.push_back(up);
        if (up == "/")
            break;
    }
    int node = -1;
    for (auto path = chain.rbegin(); path != chain.rend(); ++path) {
        auto known = ancestors_.find(*path);
        if (known == ancestors_.end())
            known = ancestors_.emplace(*path, tally_.folderNode(node, *path, depthOf(*path), Claim{})).first;
        node = known->second;
    }
    return node;
}

void ReportWalker::readPending()
{
    Pending folder = std::move(stack_.back());
    stack_.pop_back();
    Listing listing = reader_.take(folder.ticket, onDisk(folder.path));
    if (listing.error) {
        tally_.unreadable(onDisk(folder.path), strerror(listing.error));
        return;
    }
    const ScanOwnership::FolderRules* rules = ownership_.rulesFor(folder.path);
    size_t pushed = stack_.size();
    std::map<int, uint64_t> files;
    for (const DiskEntry& entry : listing.entries)
        visit(folder, rules, entry, files);
    std::reverse(stack_.begin() + static_cast<std::ptrdiff_t>(pushed), stack_.end());  // first name walked first
    tally_.folderFiles(folder.path, files);
    readAhead();
}

void ReportWalker::visit(const Pending& folder, const ScanOwnership::FolderRules* rules, const DiskEntry& entry,
                         std::map<int, uint64_t>& files)
{
    if (entry.type == '?' || !isValidUtf8(entry.name)) {
        std::string path = onDisk(childPath(folder.path, entry.name));
        tally_.unreadable(path, entry.type == '?' ? strerror(entry.error) : kNotUtf8);
        return;
    }
    Claim claim = ownership_.childClaim(folder.claim, rules, entry.name);
    if (entry.type != 'd') {
        if (tally_.count(folder.node, claim, entry) && entry.type == 'f')
            files[claim.owner] += entry.size;
        progress_.update(tally_.walked().counts);
        return;
    }
    std::string path = childPath(folder.path, entry.name);
    int node = tally_.folderNode(folder.node, path, folder.depth + 1, claim);
    tally_.count(node, claim, entry);
    Pending child{path, claim, folder.device, node, folder.depth + 1, nullptr};
    if (claim.start)
        child.device = entry.device;
    else if (entry.device != folder.device && !options_.crossMounts) {
        if (!ownership_.leadsToStart(path))
            return;
        child.claim = Claim{};  // only passing through to a start point below
    }
    stack_.push_back(std::move(child));
}

// Asks the reading threads for the folders the walk takes next.
void ReportWalker::readAhead()
{
    size_t seen = 0;
    for (auto pending = stack_.rbegin(); pending != stack_.rend() && seen < kWindow; ++pending, ++seen) {
        if (pending->ticket)
            continue;
        pending->ticket = reader_.request(onDisk(pending->path));
        if (!pending->ticket)
            return;
    }
}
