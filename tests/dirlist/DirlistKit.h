// Hand-built directory lists for the list tests.
#ifndef SUBCLIENTCONF_TESTS_DIRLIST_DIRLISTKIT_H
#define SUBCLIENTCONF_TESTS_DIRLIST_DIRLISTKIT_H

#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

struct EntrySpec {
    const char* name;
    int subclient;
    unsigned long toTime = 0;
    unsigned long appId = 0;
};

inline FSSubclientDir* makeEntry(const EntrySpec& spec)
{
    FSSubclientDir* entry = new FSSubclientDir;
    entry->name = strdup(spec.name);
    entry->suffix = entry->name + strlen(entry->name);
    entry->subclient = spec.subclient;
    entry->toTime = spec.toTime;
    entry->appId = spec.appId;
    return entry;
}

// Entries in whole-list order (linked along nextLinear); returns the first.
inline FSSubclientDir* linkLinear(const std::vector<FSSubclientDir*>& entries)
{
    for (size_t i = 0; i + 1 < entries.size(); ++i)
        entries[i]->nextLinear = entries[i + 1];
    return entries.empty() ? nullptr : entries[0];
}

// A list of unrelated entries; the first is the root.
class TestList : public FSSubclientDirlist {
public:
    TestList(FSSubclientConf* conf, std::initializer_list<EntrySpec> specs, bool* destroyed = nullptr)
        : FSSubclientDirlist(conf, build(specs), 1), destroyed_(destroyed)
    {
    }
    ~TestList() override
    {
        if (destroyed_)
            *destroyed_ = true;
    }
    void consume() { ownsEntries = 0; }

private:
    static FSSubclientDir* build(std::initializer_list<EntrySpec> specs)
    {
        std::vector<FSSubclientDir*> entries;
        for (const EntrySpec& spec : specs)
            entries.push_back(makeEntry(spec));
        return linkLinear(entries);
    }
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

// A configuration with the default subclient and the names A, B, C, ...
inline void addNames(FSSubclientConf& conf, int count)
{
    for (int i = 0; i < count; ++i) {
        char name[2] = {static_cast<char>('A' + i), '\0'};
        conf.setName(name);
    }
}

#endif
