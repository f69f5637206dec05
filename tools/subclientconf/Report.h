// What the report's writers print: the loaded configuration, the scan lines
// and the walk's figures, with each folder's figures summed over its subtree.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_REPORT_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_REPORT_H

#include "Output.h"
#include "ReportOwnership.h"
#include "ReportTally.h"

#include <map>
#include <string>
#include <vector>

struct ReportSettings {
    std::string root;
    bool crossMounts = false;
    unsigned depth = 2;
    size_t top = 5;
    bool human = false;
};

class ReportData {
public:
    ReportData(const LoadedConfiguration& loaded, const ScanOwnership& ownership, const ReportTally& tally,
               const ReportSettings& settings, bool complete);

    // "Name (n)", or "not backed up" for owner 0.
    std::string ownerLabel(int owner) const;
    // The start line that reached it, or "".
    std::string lineText(int line) const;
    // Bytes as a number, or as people read them (KiB, MiB, GiB) when asked.
    std::string size(uint64_t bytes) const;
    // Of the walk's apparent bytes, from 0 to 1.
    double share(uint64_t bytes) const;
    // A folder node's shares summed over the nodes below it.
    const std::map<int, Share>& subtree(size_t node) const { return subtrees_[node]; }
    // The folder nodes by path, each folder before those below it.
    std::vector<size_t> foldersInOrder() const;

    const LoadedConfiguration& loaded;
    const ScanOwnership& ownership;
    const ReportTally& tally;
    const ReportSettings& settings;
    const bool complete;  // false when a signal stopped the walk

private:
    std::vector<std::map<int, Share>> subtrees_;
};

// The balance line's figures: the subclients with the most and the fewest bytes.
struct Balance {
    int largest = 0;
    int smallest = 0;
    double ratio = 0;  // 0 when the smallest holds nothing
};
Balance balanceOf(const ReportData& data);

void printReportText(const ReportData& data);
Json reportJson(const ReportData& data);
// The page with the document's figures; false when it cannot be written.
bool writeReportHtml(const Json& document, const std::string& path);

#endif
