// Sorting, walking, merging and dumping hand-built directory lists.
#include "DirlistKit.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"

#include <gtest/gtest.h>

#include <algorithm>

using Names = std::vector<std::string>;

class DirlistTest : public ::testing::Test {
protected:
    void SetUp() override { addNames(conf, 4); }  // subclients 1..5
    FSSubclientConf conf;
    CaptureLog log{255};
};

TEST_F(DirlistTest, SortGroupsStablyBySubclient)
{
    TestList list(&conf, {{"/c1", 3}, {"/a", 1}, {"/c2", 3}, {"/b", 2}});
    EXPECT_EQ(chainOf(list, 1), Names{"/a"});
    EXPECT_EQ(chainOf(list, 2), Names{"/b"});
    EXPECT_EQ(chainOf(list, 3), (Names{"/c1", "/c2"}));
    EXPECT_EQ(chainOf(list, 4), Names{});

    FSSubclientDir* entry = nullptr;
    ASSERT_EQ(list.getFirst("B", &entry), 0);
    EXPECT_STREQ(entry->name, "/c1");
    ASSERT_EQ(list.getNext(&entry), 0);
    EXPECT_STREQ(entry->name, "/c2");
    for (int i = 0; i < 2; ++i) {  // past the end it stays at the end
        entry = list.getRoot();
        ASSERT_EQ(list.getNext(&entry), 0);
        EXPECT_EQ(entry, nullptr);
    }
}

TEST_F(DirlistTest, WalkRefusesBadCalls)
{
    TestList list(&conf, {{"/a", 1}});
    FSSubclientDir* entry = list.getRoot();
    EXPECT_EQ(list.getNext(&entry), -1);
    EXPECT_TRUE(log.has(1, "Call getFirst first"));
    EXPECT_EQ(list.getFirst(0, &entry), -1);
    EXPECT_TRUE(log.has(1, "scnum 0 <= 0 or > numSubclients 5"));
    EXPECT_EQ(list.getFirst(6, &entry), -1);
    EXPECT_TRUE(log.has(1, "scnum 6 <= 0 or > numSubclients 5"));
    EXPECT_EQ(list.getFirst("nobody", &entry), -1);
    EXPECT_TRUE(log.has(1, "nameToNumber nobody failed"));
    EXPECT_EQ(entry, list.getRoot());  // nothing stored on failure
}

TEST_F(DirlistTest, AppIdMovesEntryToItsSubclient)
{
    FSSubclientConfTestAccess::priv(conf).appIds = {100, 200, 300, 400, 500};
    TestList list(&conf, {{"/a", 1}, {"/x", 2, 0, 500}, {"/y", 2, 0, 999}});
    EXPECT_EQ(chainOf(list, 5), Names{"/x"});
    EXPECT_EQ(chainOf(list, 2), Names{"/y"});
    EXPECT_TRUE(log.has(1, "Path '/x' subclient number 2 changes to 5 since app id is 500"));
    EXPECT_TRUE(log.has(1, "sort: ignoring app id 999 for path '/y' (sc num 2) - cannot convert to subclient number"));
}

TEST_F(DirlistTest, UnconvertibleAppIdIsQuietAfterDefaultOnlyLoad)
{
    FSSubclientConfTestAccess::priv(conf).loadedDefaultOnly = true;
    TestList list(&conf, {{"/a", 1, 0, 7}});
    log.clear();
    ASSERT_EQ(list.sort(), 0);
    EXPECT_TRUE(log.has(3, "sort: ignoring app id 7 for path '/a' (sc num 1) - cannot convert to subclient number"));
}

TEST_F(DirlistTest, SortRefusesSubclientsOutsideTheList)
{
    // The app id names a subclient added after the list was built.
    TestList list(&conf, {{"/a", 1}, {"/x", 2, 0, 60}});
    conf.setName("F");
    FSSubclientConfTestAccess::priv(conf).appIds = {10, 20, 30, 40, 50, 60};
    FSSubclientDir* entry = nullptr;
    EXPECT_EQ(list.getFirst(1, &entry), -1);
    EXPECT_TRUE(log.has(1, "sort: path '/x' has subclient number 6 outside 1..5"));
    EXPECT_TRUE(log.has(1, "1: sort failed"));

    TestList zero(&conf, {{"/z", 0}});
    EXPECT_EQ(zero.sort(), -1);
    EXPECT_TRUE(log.has(1, "sort: path '/z' has subclient number 0 outside 1..6"));
}

struct MergeCase {
    const char* title;
    std::initializer_list<EntrySpec> mine;
    std::initializer_list<EntrySpec> theirs;
    bool caseSensitive;
    Names chain2;   // subclient 2 after the merge
    Names trashed;  // in trash order
};

TEST_F(DirlistTest, MergeDropsCoveredEntries)
{
    const MergeCase cases[] = {
        {"theirs below mine", {{"/data", 2}}, {{"/data/x", 2}}, false, {"/data"}, {"/data/x"}},
        {"mine below theirs", {{"/data/x", 2}}, {{"/data", 2}}, false, {"/data"}, {"/data/x"}},
        {"equal names: theirs goes", {{"/data", 2}}, {{"/data", 2}}, false, {"/data"}, {"/data"}},
        {"no component boundary", {{"/data", 2}}, {{"/database", 2}}, false, {"/data", "/database"}, {}},
        {"other points in time", {{"/data", 2, 5}}, {{"/data/x", 2, 6}}, false, {"/data", "/data/x"}, {}},
        {"case folded", {{"/DATA", 2}}, {{"/data/x", 2}}, false, {"/DATA"}, {"/data/x"}},
        {"case kept", {{"/DATA", 2}}, {{"/data/x", 2}}, true, {"/DATA", "/data/x"}, {}},
        {"the root covers all", {{"/", 2}}, {{"/a", 2}}, false, {"/"}, {"/a"}},
        {"several of mine go",
         {{"/a/1", 2}, {"/b", 2}, {"/a/2", 2}},
         {{"/a", 2}},
         false,
         {"/b", "/a"},
         {"/a/1", "/a/2"}},
    };
    for (const MergeCase& c : cases) {
        SCOPED_TRACE(c.title);
        TestList mine(&conf, c.mine);
        TestList* theirs = new TestList(&conf, c.theirs);
        if (c.caseSensitive) {
            mine.caseSensitive();
            theirs->caseSensitive();
        }
        ASSERT_EQ(mine.merge(theirs), 0);
        EXPECT_EQ(chainOf(mine, 2), c.chain2);
        log.clear();
        mine.dumpLists();
        for (const std::string& name : c.trashed) {
            EXPECT_TRUE(log.has(1, "--- Trash " + name + " in 2")) << log.dump();
        }
        if (c.trashed.empty()) {
            EXPECT_TRUE(log.has(1, "--- Last trash NULL in 0"));
        }
    }
}

TEST_F(DirlistTest, MergeJoinsChainsOfEverySubclient)
{
    TestList mine(&conf, {{"/", 1}, {"/m3", 3}, {"/m5", 5}});
    TestList* theirs = new TestList(&conf, {{"/t2", 2}, {"/t3", 3}, {"/t4", 4}, {"/m3/x", 3}});
    ASSERT_EQ(mine.merge(theirs), 0);
    EXPECT_EQ(chainOf(mine, 1), Names{"/"});
    EXPECT_EQ(chainOf(mine, 2), Names{"/t2"});
    EXPECT_EQ(chainOf(mine, 3), (Names{"/m3", "/t3"}));
    EXPECT_EQ(chainOf(mine, 4), Names{"/t4"});
    EXPECT_EQ(chainOf(mine, 5), Names{"/m5"});

    // The merged list takes further lists.
    ASSERT_EQ(mine.merge(new TestList(&conf, {{"/t4/y", 4}, {"/n", 4}})), 0);
    EXPECT_EQ(chainOf(mine, 4), (Names{"/t4", "/n"}));

    log.clear();
    mine.dumpLists();
    Names whole;
    for (const LogRecord& r : log.records())
        if (r.text.rfind("--- ", 0) == 0 && r.text.find(": /") != std::string::npos &&
            r.text.find("FIRST") == std::string::npos)
            whole.push_back(r.text);
    EXPECT_EQ(whole, (Names{"--- 1: /", "--- 2: /t2", "--- 3: /m3", "--- 3: /t3", "--- 4: /t4", "--- 4: /n",
                            "--- 5: /m5"}));
    EXPECT_TRUE(log.has(1, "--- 3: FIRST /m3, LAST /t3"));
    EXPECT_TRUE(log.has(1, "--- Last trash /t4/y in 4"));
}

TEST_F(DirlistTest, FailedMergeStillConsumesTheArgument)
{
    FSSubclientConf stranger;
    addNames(stranger, 4);
    bool destroyed = false;
    TestList mine(&conf, {{"/a", 1}});
    EXPECT_EQ(mine.merge(new TestList(&stranger, {{"/b", 1}}, &destroyed)), -1);
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(log.has(1, "The two dirlists must be from same conf object"));

    // A list built after a subclient was added has chains the other cannot hold.
    conf.setName("F");
    destroyed = false;
    log.clear();
    EXPECT_EQ(mine.merge(new TestList(&conf, {{"/f", 6}}, &destroyed)), -1);
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(log.has(1, "The two dirlists must be from same conf object"));
    EXPECT_EQ(chainOf(mine, 1), Names{"/a"});
}

TEST_F(DirlistTest, ConsumedListServesNothing)
{
    TestList consumed(&conf, {});
    consumed.consume();
    FSSubclientDir* entry = nullptr;
    EXPECT_EQ(consumed.getFirst(1, &entry), -1);
    EXPECT_TRUE(log.has(1, "Cannot getFirst 1 after merge"));
    EXPECT_EQ(consumed.getNext(&entry), -1);
    EXPECT_TRUE(log.has(1, "Cannot getNext after merge"));
    EXPECT_EQ(consumed.merge(new TestList(&conf, {{"/b", 1}})), -1);
    EXPECT_TRUE(log.has(1, "illegal merge attempted"));

    TestList mine(&conf, {{"/a", 1}});
    TestList* alsoConsumed = new TestList(&conf, {});
    alsoConsumed->consume();
    log.clear();
    EXPECT_EQ(mine.merge(alsoConsumed), -1);
    EXPECT_TRUE(log.has(1, "illegal merge attempted"));
}

TEST_F(DirlistTest, MergeIntoItselfIsRefused)
{
    TestList mine(&conf, {{"/a", 1}});
    EXPECT_EQ(mine.merge(&mine), -1);
    EXPECT_TRUE(log.has(1, "A dirlist cannot be merged into itself"));
    EXPECT_EQ(chainOf(mine, 1), Names{"/a"});
}

// Each entry of theirs is compared with all 1000 of mine; 500 of them spend
// the budget of 500000, and the duplicate after them survives.
TEST_F(DirlistTest, DuplicateRemovalStopsWhenBudgetIsSpent)
{
    for (int spent : {499, 500}) {
        SCOPED_TRACE(spent);
        std::vector<FSSubclientDir*> mineEntries, theirEntries;
        for (int i = 0; i < 1000; ++i)
            mineEntries.push_back(makeEntry({("/m" + std::to_string(i)).c_str(), 1}));
        for (int i = 0; i < spent; ++i)
            theirEntries.push_back(makeEntry({("/t" + std::to_string(i)).c_str(), 1}));
        theirEntries.push_back(makeEntry({"/m5/x", 1}));
        FSSubclientDirlist mine(&conf, linkLinear(mineEntries), 1);
        ASSERT_EQ(mine.merge(new FSSubclientDirlist(&conf, linkLinear(theirEntries), 1)), 0);
        Names chain = chainOf(mine, 1);
        bool kept = std::find(chain.begin(), chain.end(), "/m5/x") != chain.end();
        EXPECT_EQ(kept, spent == 500);
        EXPECT_EQ(chain.size(), 1000u + spent + (kept ? 1 : 0));
    }
}

TEST_F(DirlistTest, SystemStateMonikersAtFirstLevel)
{
    const struct {
        const char* name;
        bool expected;
    } cases[] = {
        {"/[System State]", true},      {"/[System State BCD]", true}, {"/[System State]/x", true},
        {"/[System State]x", false},    {"/a/[System State]", false},  {"\\[System State BCD]", true},
        {"/[System State BCD]x", false}, {"/", false},
    };
    for (const auto& c : cases) {
        TestList list(&conf, {{"/", 1}, {c.name, 2}});
        EXPECT_EQ(list.containsSystemState(2), c.expected) << c.name;
        EXPECT_FALSE(list.containsSystemState(1));
    }
}

TEST_F(DirlistTest, DumpBySubclientShowsEntriesAndNodirs)
{
    std::vector<FSSubclientDir*> entries = {makeEntry({"/", 1}), makeEntry({"/a*", 2}), makeEntry({"/b", 2})};
    entries[0]->nodirs = entries[1];
    entries[1]->nextNodir = entries[2];
    entries[1]->isWildcard = true;
    entries[1]->suffix = entries[1]->name + 1;
    FSSubclientDirlist list(&conf, linkLinear(entries), 1);
    list.dumpBySubclient();
    EXPECT_TRUE(log.has(1, "+++ 1: Subclient default"));
    EXPECT_TRUE(log.has(1, "*** FIRST '/' (non-wc) suffix ''"));
    EXPECT_TRUE(log.has(1, "--- NODIR '/a*' (wc) suffix 'a*'"));
    EXPECT_TRUE(log.has(1, "+++ 2: Subclient A"));
    EXPECT_TRUE(log.has(1, "*** NEXT '/b' (non-wc) suffix ''"));
    EXPECT_FALSE(log.contains("Subclient B"));  // no entries, no lines
}
