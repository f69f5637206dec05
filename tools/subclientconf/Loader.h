// Loads a subclient definition file (the test console's format) or a
// backup-set store file into a configuration object, and keeps what was
// accepted and every problem found, with the line it came from.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_LOADER_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_LOADER_H

#include "LibraryLog.h"
#include "Tool.h"
#include "subclient/FSSubclientConf.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ContentLine {
    int line = 0;  // in the file
    std::string text;
    std::string displayName;
};

struct SubclientInfo {
    int number = 0;
    std::string name;
    std::vector<ContentLine> content;  // accepted content, in file order
};

// Something the configuration rejected, tolerated or found overlapping.
struct LoadProblem {
    std::string kind;       // "rejected", "tolerated" or "overlap"
    std::string reason;     // a stable word: duplicate, ancestor, two-wildcards, root, invalid, ...
    int line = 0;           // 0 when no line of the file is to blame
    std::string subclient;  // the subclient the line was given to
    std::string content;    // the line's text
    std::string message;    // plain words
};

struct LoadedConfiguration {
    std::string file;
    bool isStore = false;
    uint32_t at = 0;  // store files: the point in time loaded
    std::unique_ptr<FSSubclientConf> conf;
    std::vector<SubclientInfo> subclients;  // index = number - 1
    std::vector<LoadProblem> problems;
    bool complete = true;  // false when the library stopped the load early
    int selected = 0;      // the number of --subclient, 0 for all

    const std::string& nameOf(int number) const;
    // The subclients a command reports on: the selected one, or all.
    std::vector<int> chosenNumbers() const;
};

// Reads and loads the file; a file that cannot be read or is not in either
// format ends the run with status 2, naming the file, the line and the problem.
LoadedConfiguration loadConfiguration(const LoadOptions& options, LibraryLog& log);

// Seconds since the epoch, or an ISO-8601 UTC date-time such as
// 2023-11-26T12:00:00Z or 2023-11-26; a bad text ends the run with status 2.
uint32_t parseTime(const std::string& text);

#endif
