// Which subclient backs up a path, and why: the content entry that governs
// it, the nodir that hands it over from the subclient above, and every
// subclient's own pathTest answer.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_PATHOWNER_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_PATHOWNER_H

#include "LibraryLog.h"
#include "Loader.h"
#include "Output.h"
#include "dirlist/FSSubclientDirList.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

struct PathVerdict {
    std::string path;
    int subclient = 0;    // 0: none
    std::string reason;   // content, wildcard, default, default-content, none, invalid, ambiguous
    std::string content;  // the governing content line (wildcard content with its marker), or ""
    int handedOverBy = 0; // the subclient whose nodir hands the path over, or 0
    std::string detail;   // the library's own words for invalid and ambiguous paths
    std::vector<int> pathTests;  // pathTest of subclients 1, 2, ...
    int line = 0;                // of the deciding content line in the file, or 0
    std::string displayName;     // of that line
};

class PathOwner {
public:
    PathOwner(const LoadedConfiguration& loaded, LibraryLog& log);
    // withPathTests: also every subclient's pathTest answer (one search each).
    PathVerdict explain(const std::string& path, bool withPathTests);

private:
    PathVerdict decide(const std::string& path, bool withPathTests);
    const FSSubclientDir* governingEntry(int subclient, const std::string& path, char delim);
    bool entryClaims(FSSubclientDir* entry, const std::string& path, char delim);
    void explainDefault(PathVerdict& verdict, const std::string& path, char delim);
    FSSubclientDirlist* wholeList(char delim);
    void cite(PathVerdict& verdict) const;

    const LoadedConfiguration& loaded_;
    FSSubclientConf& conf_;
    LibraryLog& log_;
    std::map<char, std::unique_ptr<FSSubclientDirlist>> wholeLists_;  // by delimiter
    std::vector<std::string> defaultStarts_;
};

// FILE:LINE of the deciding content line, or "".
std::string verdictPlace(const PathVerdict& verdict, const LoadedConfiguration& loaded);

// The reason in plain words, as the text output shows it.
std::string describeVerdict(const PathVerdict& verdict, const LoadedConfiguration& loaded);

#endif
