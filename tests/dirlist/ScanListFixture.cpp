#include "ScanListFixture.h"

#include "support/FSSubclientConfTestAccess.h"

#include <gtest/gtest.h>

#include <cstring>

int RecordingCallback::putLine(const char* line)
{
    if (attempts++ == failAt)
        return failResult;
    lines.push_back(line);
    return 0;
}

std::unique_ptr<FSSubclientConf> buildConf(const std::vector<ContentLine>& content, bool allowOverlap)
{
    std::unique_ptr<FSSubclientConf> conf(new FSSubclientConf);
    // Insertion accepts nested content of one subclient only with overlap allowed.
    conf->setAllowOverlapSCContent(true);
    std::string current;
    for (const ContentLine& line : content) {
        if (line.subclient && current != line.subclient) {
            current = line.subclient;
            EXPECT_EQ(conf->setName(line.subclient), 0) << line.subclient;
        }
        EXPECT_EQ(conf->setPath(line.path.c_str()), 0) << line.path;
    }
    conf->setAllowOverlapSCContent(allowOverlap);
    return conf;
}

const char* runName(ScanRun run)
{
    switch (run) {
    case ScanRun::dirnames:
        return "dirnames";
    case ScanRun::nodirs:
        return "nodirs";
    case ScanRun::treeOutput:
        return "treeOutput";
    }
    return "?";
}

int runOutput(FSSubclientConf& conf, ScanRun run, int scNum, FSCallback* cb)
{
    switch (run) {
    case ScanRun::dirnames:
        return conf.dirnames(cb, scNum);
    case ScanRun::nodirs:
        return conf.nodirs(cb, scNum);
    case ScanRun::treeOutput:
        return conf.treeOutput(cb, scNum);
    }
    return -99;
}

void addDefaultContent(FSSubclientConf& conf, const char* text)
{
    FSSubclientConfTestAccess::priv(conf).defaultContent.push_back(strdup(text));
}
