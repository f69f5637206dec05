// Hand-built directory lists for the list tests.
#ifndef SUBCLIENTCONF_TESTS_DIRLIST_DIRLISTKIT_H
#define SUBCLIENTCONF_TESTS_DIRLIST_DIRLISTKIT_H

#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"

#include <cstring>
#include <string>
#include <vector>

struct EntrySpec {
    std::string name;
    int subclient;
    unsigned long toTime = 0;
    unsigned long appId = 0;
};

inline FSSubclientDir* makeEntry(const EntrySpec& spec)
{
    FSSubclientDir* entry = new FSSubclientDir;
    entry->name = strdup(spec.name.c_str());
    entry->suffix = entry->name + spec.name.size();
    entry->subclient = spec.subclient;
    entry->toTime = spec.toTime;
    entry->appId = spec.appId;
    return entry;
}

// Entries in whole-list order (along nextLinear); returns the first.
inline FSSubclientDir* linkLinear(const std::vector<FSSubclientDir*>& entries)
{
    for (size_t i = 0; i + 1 < entries.size(); ++i)
        entries[i]->nextLinear = entries[i + 1];
    return entries.empty() ? nullptr : entries[0];
}

inline FSSubclientDir* makeEntries(const std::vector<EntrySpec>& specs)
{
    std::vector<FSSubclientDir*> entries;
    for (const EntrySpec& spec : specs)
        entries.push_back(makeEntry(spec));
    return linkLinear(entries);
}

// A list of unrelated entries that tells when it is destroyed and can be marked consumed.
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
inline std::vector<std::string> chainOf(FSSubclientDirlist& list, int scNum)
{
    std::vector<std::string> names;
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
