// The report's figures, added up as the walk meets each entry: per owner
// (subclient, or 0 for what no scan reaches), per folder down to the depth
// (deeper entries count in their folder at the depth), per nodir hand-off, and
// each owner's largest folders. Memory grows with the folders down to the
// depth, the nodirs and the number asked for, not with the entries walked.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_REPORTTALLY_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_REPORTTALLY_H

#include "FolderReader.h"
#include "ReportOwnership.h"
#include "Walker.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

struct Figures {
    WalkTotals counts;
    uint64_t allocated = 0;
    void add(const Figures& other);
};

// One owner's part of a folder node.
struct Share {
    Figures figures;
    int line = -1;  // the first start line met that reached it
};

struct FolderNode {
    std::string path;
    int parent = -1;              // index of the folder node above, -1 for a top one
    unsigned depth = 0;           // 0 for the root
    Claim claim;                  // of the folder itself
    std::map<int, Share> direct;  // by owner: the folder and what lies in it, less the nodes below it
};

struct Handoff {
    int nodir;     // into ScanOwnership::nodirs()
    int receiver;  // the owner of what lies below it
    Figures figures;
};

struct LargeFolder {
    uint64_t bytes;
    std::string path;
    bool operator<(const LargeFolder& other) const;  // larger first, then by path
};

class ReportTally {
public:
    ReportTally(int subclients, unsigned depth, size_t top);

    // The node of a walked folder at or above the depth; its parent's node otherwise.
    int folderNode(int parentNode, const std::string& path, unsigned depth, const Claim& claim);
    // False for a file already counted through another of its hard links.
    bool count(int node, const Claim& claim, const DiskEntry& entry);
    // The bytes of the files directly in a folder, by owner, for the largest folders.
    void folderFiles(const std::string& path, const std::map<int, uint64_t>& bytesByOwner);
    void unreadable(const std::string& path, const std::string& error);

    const std::vector<Figures>& owners() const { return owners_; }  // index 0: no scan reaches it
    const Figures& walked() const { return walked_; }
    const std::vector<FolderNode>& nodes() const { return nodes_; }
    std::vector<Handoff> handoffs() const;
    const std::set<LargeFolder>& largest(int owner) const { return largest_[static_cast<size_t>(owner)]; }
    const std::vector<WalkFailure>& failures() const { return failures_; }
    unsigned depth() const { return depth_; }

private:
    unsigned depth_;
    size_t top_;
    std::vector<Figures> owners_;
    Figures walked_;
    std::vector<FolderNode> nodes_;
    std::map<std::pair<int, int>, Figures> handoffs_;  // by nodir and receiver
    std::vector<std::set<LargeFolder>> largest_;
    // Files with several links already counted, by owner: each subclient backs up such a file once.
    std::set<std::tuple<int, dev_t, ino_t>> linkedFiles_;
    std::vector<WalkFailure> failures_;
};

#endif
