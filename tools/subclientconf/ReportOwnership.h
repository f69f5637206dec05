// Which subclient's scan reaches each entry of one walk over the whole tree.
// The library's scan lists decide (each subclient's start points and nodirs,
// as estimate walks them); this applies them one folder level at a time, so
// an entry is owned by the subclient whose start point it is or lies below,
// unless a nodir of that subclient stops the scan on the way.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_REPORTOWNERSHIP_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_REPORTOWNERSHIP_H

#include "Loader.h"
#include "wildcard/WCSubclients.h"

#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

// The owner of an entry and how it came to be.
struct Claim {
    int owner = 0;       // subclient number; 0 when no scan reaches the entry
    int line = -1;       // the start line (ScanOwnership::starts) that reached it, or -1
    int handoff = -1;    // the innermost nodir (ScanOwnership::nodirs) crossed on the way, or -1
    bool start = false;  // the entry is a start point itself
};

struct ScanLine {
    int subclient = 0;
    std::string text;  // as the scan list gives it; wildcard lines end in the marker
};

class ScanOwnership {
public:
    // The rules that decide among one folder's children.
    struct Rule {
        bool start;  // a start point, else a nodir
        int subclient;
        int index;  // into starts() or nodirs()
    };
    struct FolderRules {
        std::unordered_map<std::string, std::vector<Rule>> byName;  // literal lines, by name key
        std::vector<std::pair<std::unique_ptr<WCBasename>, Rule>> patterns;
    };

    explicit ScanOwnership(const LoadedConfiguration& loaded);

    // Where the walk starts: the root, or (when the default subclient has
    // content of its own) the outermost start points and wildcard folders.
    std::vector<std::string> roots() const;
    Claim rootClaim(const std::string& path) const;
    // The rules for the children of a folder, or null when they inherit its claim.
    const FolderRules* rulesFor(const std::string& folder) const;
    Claim childClaim(const Claim& parent, const FolderRules* rules, const std::string& name) const;
    // A folder on another file system is entered only on the way to a start point.
    bool leadsToStart(const std::string& folder) const { return startAncestors_.count(key(folder)) != 0; }

    const std::vector<ScanLine>& starts() const { return starts_; }
    const std::vector<ScanLine>& nodirs() const { return nodirs_; }

private:
    void addLine(const std::string& line, Rule rule);
    bool applies(const FolderRules& rules, const std::string& name, const Rule& rule) const;
    std::vector<const Rule*> rulesOf(const FolderRules& rules, const std::string& name) const;
    std::string key(const std::string& text) const;

    bool caseSensitive_;
    std::vector<ScanLine> starts_;
    std::vector<ScanLine> nodirs_;
    std::vector<std::string> startFolders_;                 // tidy path of each start, or of a wildcard start's folder
    std::unordered_map<std::string, FolderRules> folders_;  // by folder key
    std::set<std::string> startAncestors_;
};

#endif
