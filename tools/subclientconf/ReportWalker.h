// The report's one walk: from the roots the scan lists give, every entry once,
// each given to its owner as the tally's. Symbolic links are counted, never
// followed; the walk stays on each start point's file system unless told to
// cross mounts, entering another one only on the way to a start point.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_REPORTWALKER_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_REPORTWALKER_H

#include "FolderReader.h"
#include "Progress.h"
#include "ReportOwnership.h"
#include "ReportTally.h"

#include <map>
#include <string>
#include <vector>

struct ReportWalkOptions {
    std::string root;  // prefix of every path on disk; "" for the real root
    bool crossMounts = false;
    unsigned jobs = 1;
};

class ReportWalker {
public:
    ReportWalker(const ScanOwnership& ownership, ReportTally& tally, const ReportWalkOptions& options);
    // False when a signal stopped it.
    bool walk();

private:
    struct Pending {
        std::string path;
        Claim claim;
        dev_t device;
        int node;
        unsigned depth;
        FolderReader::Ticket ticket;
    };

    void walkRoot(const std::string& path);
    int ancestorNode(const std::string& folder);
    void readPending();
    void visit(const Pending& folder, const ScanOwnership::FolderRules* rules, const DiskEntry& entry,
               std::map<int, uint64_t>& files);
    void readAhead();
    std::string onDisk(const std::string& path) const { return options_.root + path; }

    const ScanOwnership& ownership_;
    ReportTally& tally_;
    ReportWalkOptions options_;
    FolderReader reader_;
    Progress progress_;
    std::vector<Pending> stack_;
    std::map<std::string, int> ancestors_;  // nodes of the folders above the roots
};

#endif
