// Which subclient backs up a path, and why: the content entry that governs
// it, the nodir that hands it over from the subclient above, and every
// subclient's own pathTest answer.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_PATHOWNER_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_PATHOWNER_H

#include "Loader.h"
#include "Output.h"
#include "Problems.h"
#include "dirlist/FSSubclientDirList.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct PathVerdict {
    std::string path;
    int subclient = 0;     // 0: none
    std::string reason;    // content, wildcard, default, default-content, invalid, ambiguous
    std::string content;   // the governing content line (wildcard content with its marker), or ""
    int handedOverBy = 0;  // the subclient whose nodir hands the path over, or 0
    std::string
        detail;  // the library's own words for invalid and ambiguous paths; why the default's scan misses a path
    std::vector<int> pathTests;  // pathTest of subclients 1, 2, ...
    int line = 0;                // of the deciding content line in the file, or 0
    std::string displayName;     // of that line
};

// The whole-tree directory list of one delimiter, indexed so that the entry
// of a path's content node, and the wildcard entries that could also claim
// the path, are found without walking the list. Positions are in list order,
// which each subclient's chain keeps.
class WholeTreeList {
public:
    WholeTreeList(FSSubclientConf& conf, char delim);
    FSSubclientDirlist* list() { return list_.get(); }
    const FSSubclientDir* entryAt(uint32_t position) const { return entries_[position]; }
    // The position of the first entry that stands for node; false when none does.
    bool positionOf(const FSSubclientNode* node, uint32_t& position) const;
    // The positions of the subclient's wildcard entries, in chain order.
    const std::vector<uint32_t>& wildcardEntries(int subclient) const;
    // The wildcard entries among entry's nodirs.
    std::vector<const FSSubclientDir*> wildcardNodirs(const FSSubclientDir* entry) const;

private:
    size_t slotOf(const FSSubclientNode* node) const;

    std::unique_ptr<FSSubclientDirlist> list_;
    std::vector<FSSubclientDir*> entries_;          // in list order
    std::vector<uint32_t> slots_;                   // open addressing by node: position + 1, 0 when free
    std::vector<std::vector<uint32_t>> wildcards_;  // index = subclient - 1
    std::vector<std::pair<const FSSubclientDir*, const FSSubclientDir*>> wildcardNodirs_;  // sorted by parent
};

// The first line of a subclient's accepted content with a given text, by an
// index of text hashes built on first use.
class ContentLineIndex {
public:
    explicit ContentLineIndex(const LoadedConfiguration& loaded) : loaded_(loaded) {}
    const ContentLine* find(int subclient, const std::string& text);

private:
    static uint32_t hashOf(const std::string& text);

    const LoadedConfiguration& loaded_;
    std::map<int, std::vector<std::pair<uint32_t, uint32_t>>>
        bySubclient_;  // (text hash, position in its content), sorted
};

class PathOwner {
public:
    explicit PathOwner(const LoadedConfiguration& loaded);
    ~PathOwner();
    PathOwner(const PathOwner&) = delete;
    PathOwner& operator=(const PathOwner&) = delete;
    // withPathTests: also every subclient's pathTest answer (one search each).
    PathVerdict explain(const std::string& path, bool withPathTests);

private:
    PathVerdict decide(const std::string& path, bool withPathTests);
    const FSSubclientDir* decidingEntry(const FSSubclientDir& top, const std::string& path, char delim);
    const FSSubclientDir* governingEntry(int subclient, const std::string& path, char delim);
    bool entryClaims(const FSSubclientDir* entry, const std::string& path, char delim, bool owners);
    void explainDefault(PathVerdict& verdict, const std::string& path, char delim);
    WholeTreeList& wholeList(char delim);
    void cite(PathVerdict& verdict);

    const LoadedConfiguration& loaded_;
    FSSubclientConf& conf_;
    ProblemCollector placed_;                                    // why a path could not be placed
    std::map<char, std::unique_ptr<WholeTreeList>> wholeLists_;  // by delimiter
    ContentLineIndex lines_;
    std::vector<std::string> defaultStarts_;
};

// FILE:LINE of the deciding content line, or "".
std::string verdictPlace(const PathVerdict& verdict, const LoadedConfiguration& loaded);

// The reason in plain words, as the text output shows it.
std::string describeVerdict(const PathVerdict& verdict, const LoadedConfiguration& loaded);

#endif
