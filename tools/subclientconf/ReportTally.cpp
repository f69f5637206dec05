#include "ReportTally.h"

void Figures::add(const Figures& other)
{
    counts.files += other.counts.files;
    counts.folders += other.counts.folders;
    counts.links += other.counts.links;
    counts.others += other.counts.others;
    counts.bytes += other.counts.bytes;
    allocated += other.allocated;
}

bool LargeFolder::operator<(const LargeFolder& other) const
{
    return bytes != other.bytes ? bytes > other.bytes : path < other.path;
}

ReportTally::ReportTally(int subclients, unsigned depth, size_t top)
    : depth_(depth), top_(top), owners_(static_cast<size_t>(subclients) + 1),
      largest_(static_cast<size_t>(subclients) + 1)
{}

int ReportTally::folderNode(int parentNode, const std::string& path, unsigned depth, const Claim& claim)
{
    if (depth > depth_ && parentNode >= 0)
        return parentNode;
    nodes_.push_back({path, parentNode, depth, claim, {}});
    return static_cast<int>(nodes_.size()) - 1;
}

bool ReportTally::count(int node, const Claim& claim, const DiskEntry& entry)
{
    if (entry.linked && !linkedFiles_.insert(std::make_tuple(claim.owner, entry.device, entry.inode)).second)
        return false;
    Figures one;
    switch (entry.type) {
    case 'f':
        one.counts.files = 1;
        one.counts.bytes = entry.size;
        one.allocated = entry.allocated;
        break;
    case 'd':
        one.counts.folders = 1;
        break;
    case 'l':
        one.counts.links = 1;
        break;
    default:
        one.counts.others = 1;
        break;
    }
    owners_[static_cast<size_t>(claim.owner)].add(one);
    if (node >= 0) {
        Share& share = nodes_[static_cast<size_t>(node)].direct[claim.owner];
        share.figures.add(one);
        if (share.line < 0)
            share.line = claim.line;
    }
    if (claim.handoff >= 0)
        handoffs_[{claim.handoff, claim.owner}].add(one);
    walked_.add(one);
    return true;
}

void ReportTally::folderFiles(const std::string& path, const std::map<int, uint64_t>& bytesByOwner)
{
    for (const auto& owner : bytesByOwner) {
        std::set<LargeFolder>& largest = largest_[static_cast<size_t>(owner.first)];
        if (top_ == 0 || owner.second == 0)
            continue;
        LargeFolder candidate{owner.second, path};
        if (largest.size() == top_ && !(candidate < *largest.rbegin()))
            continue;
        largest.insert(candidate);
        if (largest.size() > top_)
            largest.erase(std::prev(largest.end()));
    }
}

void ReportTally::unreadable(const std::string& path, const std::string& error)
{
    failures_.push_back({path, error});
}

std::vector<Handoff> ReportTally::handoffs() const
{
    std::vector<Handoff> list;
    for (const auto& handoff : handoffs_)
        list.push_back({handoff.first.first, handoff.first.second, handoff.second});
    return list;
}
