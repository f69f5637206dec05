// Configurations, hand-built directory lists and a recording line sink for the dirlist tests.
#ifndef SUBCLIENTCONF_TESTS_DIRLIST_DIRLISTKIT_H
#define SUBCLIENTCONF_TESTS_DIRLIST_DIRLISTKIT_H

#include "dirlist/FSCallback.h"
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"
#include "subclient/TextSummary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;
const std::string kWild = "\\/\\/";  // the wildcard marker after a content path

using Output = int (FSSubclientConf::*)(FSCallback*, int);
const Output kDirnames = &FSSubclientConf::dirnames, kNodirs = &FSSubclientConf::nodirs,
             kTree = &FSSubclientConf::treeOutput;

// Keeps every line; the attempt numbered failAt (from 0) fails with -7.
struct RecordingCallback : FSCallback {
    int putLine(const char* line) override
    {
        if (attempts++ == failAt)
            return -7;
        lines.push_back(line);
        return 0;
    }
    Lines lines;
    int attempts = 0;
    int failAt = -1;
};

// One content line for the named subclient (A, B, C: subclients 2, 3, 4; null: the default one).
struct ContentLine {
    const char* subclient;
    std::string path;
};

// Lines of one subclient stand together; allowOverlap is the switch's state after insertion.
inline std::unique_ptr<FSSubclientConf> buildConf(const std::vector<ContentLine>& content, bool allowOverlap = false)
{
    auto conf = std::make_unique<FSSubclientConf>();
    conf->setAllowOverlapSCContent(true);  // nested content of one subclient needs it
    std::string current;
    for (const ContentLine& line : content) {
        if (line.subclient && current != line.subclient) {
            current = line.subclient;
            EXPECT_EQ(conf->setName(line.subclient), 0) << current;
        }
        EXPECT_EQ(conf->setPath(line.path.c_str()), 0) << line.path;
    }
    conf->setAllowOverlapSCContent(allowOverlap);
    return conf;
}

// A configuration loaded from a summary text: "\tname" starts a subclient, "\x12text" names the line before.
inline std::unique_ptr<FSSubclientConf> loadConf(const std::string& text)
{
    std::vector<unsigned long> ids;
    for (size_t at = text.find('\t'); at != std::string::npos; at = text.find("\n\t", at + 1))
        ids.push_back(ids.size() + 1);
    auto conf = std::make_unique<FSSubclientConf>();
    TextSummary summary(text, ids);
    EXPECT_EQ(conf->load(&summary), 0);
    return conf;
}

inline Lines output(FSSubclientConf& conf, Output run, int scNum, int expectedResult = 0)
{
    RecordingCallback cb;
    EXPECT_EQ((conf.*run)(&cb, scNum), expectedResult);
    return cb.lines;
}

struct EntrySpec {
    std::string name;
    int subclient;
    unsigned long toTime = 0;
};

// Entries linked along nextLinear (whole-list order); returns the first.
inline FSSubclientDir* makeEntries(const std::vector<EntrySpec>& specs)
{
    FSSubclientDir* first = nullptr;
    FSSubclientDir** tail = &first;
    for (const EntrySpec& spec : specs) {
        FSSubclientDir* entry = *tail = new FSSubclientDir;
        entry->name = strdup(spec.name.c_str());
        entry->suffix = entry->name + spec.name.size();
        entry->subclient = spec.subclient;
        entry->toTime = spec.toTime;
        tail = &entry->nextLinear;
    }
    return first;
}

// A hand-built list that tells when it is destroyed and can be marked consumed (merged away).
class TestList : public FSSubclientDirlist {
public:
    TestList(FSSubclientConf* conf, const std::vector<EntrySpec>& specs, bool* destroyed = nullptr)
        : FSSubclientDirlist(conf, makeEntries(specs), 1), destroyed_(destroyed)
    {}
    ~TestList() override
    {
        if (destroyed_)
            *destroyed_ = true;
    }
    void consume() { ownsEntries = 0; }

private:
    bool* destroyed_;
};

// The names of a subclient's entries, walked with getFirst/getNext.
inline Lines chainOf(FSSubclientDirlist& list, int scNum)
{
    Lines names;
    FSSubclientDir* entry = nullptr;
    for (int rc = list.getFirst(scNum, &entry); rc == 0 && entry; rc = list.getNext(&entry))
        names.push_back(entry->name);
    return names;
}

// Names the subclients 2 .. count + 1 A, B, C, ...
inline void addNames(FSSubclientConf& conf, int count)
{
    for (int i = 0; i < count; ++i)
        conf.setName(std::string(1, static_cast<char>('A' + i)).c_str());
}

#endif
