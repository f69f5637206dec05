// Walks the file system as one subclient's scan would: from its start
// points, never into its nodirs, wildcard content expanded in its folder.
// Symbolic links are listed and never followed; the walk stays on the file
// system of each start point unless told to cross mounts; a file with several
// hard links is counted once.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_WALKER_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_WALKER_H

#include "wildcard/WCSubclients.h"

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct WalkItem {
    std::string path;  // as the backup names it (without the walk's root folder)
    char type;         // 'f' file, 'd' folder, 'l' symbolic link, 'o' other
    uint64_t size;
    std::string target;  // of a link
};

struct WalkTotals {
    uint64_t files = 0;
    uint64_t folders = 0;
    uint64_t links = 0;
    uint64_t others = 0;
    uint64_t bytes = 0;
};

struct WalkFailure {
    std::string path;  // as read on disk (with the walk's root folder)
    std::string error;
};

struct WalkOptions {
    std::string root;  // prefix of every path on disk; "" for the real root
    bool crossMounts = false;
    bool caseSensitive = true;
};

class ScanWalker {
public:
    using ItemSink = std::function<void(const WalkItem&)>;
    using FailureSink = std::function<void(const WalkFailure&)>;
    ScanWalker(const WalkOptions& options, ItemSink onItem, FailureSink onFailure);

    // A nodir line of the subclient (a wildcard one ends in the wildcard marker).
    void addNodir(const std::string& line);
    // Walks from a start-point line of the subclient.
    void walk(const std::string& line);

    const WalkTotals& totals() const { return totals_; }
    const std::vector<WalkFailure>& failures() const { return failures_; }
    // True when a signal stopped the walk before its end.
    bool interrupted() const { return interrupted_; }

private:
    struct Pending {
        std::string path;
        dev_t device;
        bool isStart;
    };

    void walkPattern(const std::string& folder, const std::string& pattern);
    void walkFrom(const std::string& path);
    void visit(const Pending& item, std::vector<Pending>& stack);
    bool listFolder(const std::string& path, std::vector<std::string>& names);
    bool isNamable(const std::string& path);
    bool isNodir(const std::string& folder, const std::string& name, const std::string& path);
    bool matches(WCBasename& pattern, const std::string& name);
    std::string key(const std::string& path) const;
    std::string onDisk(const std::string& path) const { return options_.root + path; }
    void fail(const std::string& path, int error);

    WalkOptions options_;
    ItemSink onItem_;
    FailureSink onFailure_;
    WalkTotals totals_;
    std::vector<WalkFailure> failures_;
    bool interrupted_ = false;
    std::set<std::string> literalNodirs_;
    std::map<std::string, std::vector<std::unique_ptr<WCBasename>>> wildcardNodirs_;  // by folder
    std::set<std::pair<dev_t, ino_t>> linkedFiles_;  // files with several links already counted
};

// Why a walk skips a name: the configuration cannot tell a subclient for it.
extern const char* const kNotUtf8;

// Joins a folder and a name with one slash.
std::string childPath(const std::string& folder, const std::string& name);
// "/a//b/" -> "/a/b"; the root stays "/".
std::string tidyPath(const std::string& path);
// The folder a path is in; the root for the root and for a path without a slash.
std::string parentFolder(const std::string& path);
// A pattern matches a name when it contains the name taken literally.
bool nameMatches(WCBasename& pattern, const std::string& name, bool caseSensitive);
// A path as compared: folded to lower case when case is ignored.
std::string pathKey(const std::string& path, bool caseSensitive);

#endif
