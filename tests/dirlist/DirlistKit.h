// Configurations and hand-built directory lists for the dirlist tests.
#ifndef SUBCLIENTCONF_TESTS_DIRLIST_DIRLISTKIT_H
#define SUBCLIENTCONF_TESTS_DIRLIST_DIRLISTKIT_H

#include "dirlist/FSSubclientDirList.h"
#include "subclient/SubclientTest.h"  // tests/subclient/

#include <cstring>
#include <sstream>

const std::string kWild = "\\/\\/";  // the wildcard marker after a content path

// Content in words: a path (starting with a delimiter) goes to the subclient named last, A, B, C
// being subclients 2, 3, 4 (none yet: the default one). allowOverlap is the switch's state afterwards.
inline std::unique_ptr<FSSubclientConf> buildConf(const std::string& content, bool allowOverlap = false)
{
    auto conf = std::make_unique<FSSubclientConf>();
    conf->setAllowOverlapSCContent(true);  // nested content of one subclient needs it
    std::istringstream words(content);
    for (std::string word; words >> word;) {
        const bool isPath = word[0] == '/' || word[0] == '\\';
        EXPECT_EQ(isPath ? conf->setPath(word.c_str()) : conf->setName(word.c_str()), 0) << word;
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

struct EntrySpec {
    std::string name;
    int subclient;
    unsigned long toTime = 0;
};

// A hand-built list (entries linked along nextLinear) that tells when it is
// destroyed and can be marked consumed, as a list merged away is.
class TestList : public FSSubclientDirlist {
public:
    TestList(FSSubclientConf* conf, const std::vector<EntrySpec>& specs, bool* destroyed = nullptr)
        : FSSubclientDirlist(conf, link(specs), 1), destroyed_(destroyed)
    {}
    ~TestList() override
    {
        if (destroyed_)
            *destroyed_ = true;
    }
    void consume() { ownsEntries = 0; }

private:
    static FSSubclientDir* link(const std::vector<EntrySpec>& specs)
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
    bool* destroyed_;
};

// The names of a subclient's entries, walked with getFirst/getNext.
inline Strings chainOf(FSSubclientDirlist& list, int scNum)
{
    Strings names;
    FSSubclientDir* entry = nullptr;
    for (int rc = list.getFirst(scNum, &entry); rc == 0 && entry; rc = list.getNext(&entry))
        names.push_back(entry->name);
    return names;
}

#endif
