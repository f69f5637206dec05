// Builds configurations by hand and records the lines of scan-list runs.
#ifndef SUBCLIENTCONF_TESTS_DIRLIST_SCANLISTFIXTURE_H
#define SUBCLIENTCONF_TESTS_DIRLIST_SCANLISTFIXTURE_H

#include "dirlist/FSCallback.h"
#include "subclient/FSSubclientConf.h"

#include <memory>
#include <string>
#include <vector>

// Keeps every line; fails (with failResult) on the attempt numbered failAt, counting from 0.
struct RecordingCallback : FSCallback {
    int putLine(const char* line) override;
    std::vector<std::string> lines;
    int attempts = 0;
    int failAt = -1;
    int failResult = -1;
};

// One content line for the subclient named: A, B and C become subclients 2, 3 and 4.
// A null name gives the line to the default subclient (before any other name is set).
// Lines of one subclient stand together; allowOverlap is the switch's state after loading.
struct ContentLine {
    const char* subclient;
    std::string path;
};

std::unique_ptr<FSSubclientConf> buildConf(const std::vector<ContentLine>& content, bool allowOverlap = false);

enum class ScanRun { dirnames, nodirs, treeOutput };
const char* runName(ScanRun run);
int runOutput(FSSubclientConf& conf, ScanRun run, int scNum, FSCallback* cb);

// Gives the default subclient content texts as the summary load stores them.
void addDefaultContent(FSSubclientConf& conf, const char* text);

#endif
