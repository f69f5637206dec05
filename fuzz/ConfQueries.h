// The queries a filled configuration answers, asked of fuzzed configurations
// by the content-line and summary-load targets, with their invariants.
#ifndef SUBCLIENTCONF_FUZZ_CONFQUERIES_H
#define SUBCLIENTCONF_FUZZ_CONFQUERIES_H

#include "FuzzSupport.h"
#include "dirlist/FSCallback.h"
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"

#include <memory>
#include <string>
#include <vector>

// Walks and lists are bounded: a cycle is a finding, not a hang.
const int kFuzzWalkLimit = 100000;

inline void checkTable(FSSubclientConf& conf)
{
    const int count = conf.getNumSubclients();
    FUZZ_CHECK(count >= 1);
    for (int n = 1; n <= count; ++n) {
        const char* name = conf.numberToName(n);
        FUZZ_CHECK(name != nullptr);
        FUZZ_CHECK(conf.nameToNumber(name) == n);
    }
    FUZZ_CHECK(conf.numberToName(count + 1) == nullptr);
    const int code = conf.getErrCode();
    FUZZ_CHECK(code >= FS_NO_ERROR && code <= FS_NOTHING_TO_REPLAY);
}

// Every subclient's entries, and the browse children; the number of entries seen.
inline int walkList(FSSubclientDirlist& list, int subclients)
{
    int seen = 0;
    for (int n = 1; n <= subclients; ++n) {
        FSSubclientDir* dir = nullptr;
        if (list.getFirst(n, &dir) != 0)
            continue;
        for (; dir; list.getNext(&dir)) {
            FUZZ_CHECK(dir->name != nullptr);
            FUZZ_CHECK(++seen < kFuzzWalkLimit);
        }
    }
    TBrowseItem item;
    int children = 0;
    for (bool more = list.getFirstBrowseItem(item, nullptr); more; more = list.getNextBrowseItem(item, nullptr))
        FUZZ_CHECK(++children < kFuzzWalkLimit);
    return seen;
}

// Lists for the root and for each probe path, sorted, walked, merged into
// the root's list.
inline void exerciseDirlists(FSSubclientConf& conf, const std::vector<std::string>& probes, bool strict)
{
    std::unique_ptr<FSSubclientDirlist> whole(conf.createDirlist("/", strict));
    if (!whole)
        return;
    whole->sort();
    walkList(*whole, conf.getNumSubclients());
    for (const std::string& probe : probes) {
        FSSubclientDirlist* part = conf.createDirlist(probe.c_str(), strict);
        if (!part)
            continue;
        part->sort();
        walkList(*part, conf.getNumSubclients());
        whole->merge(part);  // destroys part
        walkList(*whole, conf.getNumSubclients());
    }
}

// Collects the lines of one output run.
class FuzzLines : public FSCallback {
public:
    int putLine(const char* line) override
    {
        FUZZ_CHECK(line != nullptr);
        FUZZ_CHECK(text.size() < 16 * 1024 * 1024);
        text += line;
        text += '\n';
        return 0;
    }
    std::string text;
};

// Every subclient's scan start points and nodirs, as one text.
inline std::string scanLists(FSSubclientConf& conf)
{
    FuzzLines lines;
    for (int n = 1; n <= conf.getNumSubclients(); ++n) {
        lines.text += "dirnames " + std::to_string(conf.dirnames(&lines, n)) + "\n";
        lines.text += "nodirs " + std::to_string(conf.nodirs(&lines, n)) + "\n";
    }
    return lines.text;
}

// Answers of pathTest for every probe and subclient, in order. With the
// traces off, pathTest answers from its index instead of walking every entry:
// both must agree.
inline std::vector<int> pathTests(FSSubclientConf& conf, const std::vector<std::string>& probes)
{
    std::vector<int> answers;
    for (const std::string& probe : probes)
        for (int n = 1; n <= conf.getNumSubclients(); ++n) {
            const int answer = conf.pathTest(probe.c_str(), n);
            FUZZ_CHECK(answer >= -1 && answer <= 1);
            FuzzLogWriter::level() = 0;
            const int indexed = conf.pathTest(probe.c_str(), n);
            FuzzLogWriter::level() = 192;
            FUZZ_CHECK(indexed == answer);
            answers.push_back(answer);
        }
    return answers;
}

#endif
