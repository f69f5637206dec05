// Helpers of the subclient tests: what a configuration holds, read through its
// scan lists and directory lists.
#ifndef SUBCLIENTCONF_TESTS_SUBCLIENT_SUBCLIENTTEST_H
#define SUBCLIENTCONF_TESTS_SUBCLIENT_SUBCLIENTTEST_H

#include "TextSummary.h"
#include "dirlist/FSCallback.h"
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using Strings = std::vector<std::string>;

using Output = int (FSSubclientConf::*)(FSCallback*, int);
const Output kDirnames = &FSSubclientConf::dirnames, kNodirs = &FSSubclientConf::nodirs,
             kTree = &FSSubclientConf::treeOutput;

// Keeps every line; the attempt numbered failAt (from 0) fails with -7.
struct LineSink : FSCallback {
    int putLine(const char* line) override
    {
        if (attempts++ == failAt)
            return -7;
        lines.push_back(line);
        return 0;
    }
    Strings lines;
    int attempts = 0;
    int failAt = -1;
};

// The lines of a scan list (a loaded default's dirnames: its own content lines).
inline Strings output(FSSubclientConf& conf, Output run, int scNum)
{
    LineSink sink;
    EXPECT_EQ((conf.*run)(&sink, scNum), 0);
    return sink.lines;
}

// One text per subclient: its name, then the lines of its treeOutput.
inline Strings contentOf(FSSubclientConf& conf)
{
    Strings texts;
    for (int n = 1; n <= conf.getNumSubclients(); ++n) {
        std::string text = conf.numberToName(n) + std::string(":");
        for (const std::string& line : output(conf, kTree, n))
            text += " " + line;
        texts.push_back(text);
    }
    return texts;
}

// What pathTest answers for each subclient in turn: 1, 0 or - (an error).
inline std::string answers(FSSubclientConf& conf, const char* path)
{
    std::string text;
    for (int n = 1; n <= conf.getNumSubclients(); ++n)
        text += "-01"[conf.pathTest(path, n) + 1];
    return text;
}

// Each entry is a path, then what pathTest answers for each subclient in turn.
// Where one subclient alone backs up the path, its directory list starts in that subclient.
inline void expectAnswers(FSSubclientConf& conf, const Strings& expected)
{
    for (const std::string& e : expected) {
        const std::string path = e.substr(0, e.rfind(' ')), yes = e.substr(e.rfind(' ') + 1);
        if (std::count(yes.begin(), yes.end(), '1') == 1) {
            std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist(path.c_str(), false));
            EXPECT_EQ(list ? list->getRoot()->subclient : 0, static_cast<int>(yes.find('1')) + 1) << path;
        }
        EXPECT_EQ(answers(conf, path.c_str()), yes) << path;
    }
}

// The display name of the content that owns path, as its directory list gives it.
inline std::string displayNameOf(FSSubclientConf& conf, const char* path)
{
    std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist(path, false));
    return list ? list->getRoot()->displayName : "(no list)";
}

// A content line with the wildcard marker.
inline std::string wild(const std::string& path)
{
    return path + "\\/\\/";
}

// Name lines start with TAB; other lines are content of the subclient named last.
// The results of the calls, separated by blanks.
inline std::string fill(FSSubclientConf& conf, const Strings& lines)
{
    std::string results;
    for (const std::string& line : lines)
        results += (results.empty() ? "" : " ") +
                   std::to_string(line[0] == '\t' ? conf.setName(line.c_str() + 1) : conf.setPath(line.c_str()));
    return results;
}

#endif
