// Sorting, walking and merging hand-built directory lists.
#include "DirlistKit.h"

class DirlistTest : public ::testing::Test {
protected:
    std::unique_ptr<FSSubclientConf> conf = buildConf("A B C D");  // subclients 1..5
    CaptureLog log{255};
};

TEST_F(DirlistTest, SortGroupsStablyAndWalksOneSubclient)
{
    TestList list(conf.get(), {{"/c1", 3}, {"/a", 1}, {"/c2", 3}, {"/b", 2}});
    FSSubclientDir* entry = list.getRoot();
    EXPECT_EQ(list.getNext(&entry), -1);  // before getFirst
    EXPECT_EQ(chainOf(list, 1), Strings{"/a"});
    EXPECT_EQ(chainOf(list, 3), (Strings{"/c1", "/c2"}));
    ASSERT_EQ(list.getNext(&entry), 0);  // past the end it stays at the end
    EXPECT_EQ(entry, nullptr);
    ASSERT_EQ(list.getFirst("B", &entry), 0);
    EXPECT_STREQ(entry->name, "/c1");
    EXPECT_EQ(list.getFirst(0, &entry), -1);
    EXPECT_EQ(list.getFirst(6, &entry), -1);
    EXPECT_EQ(list.getFirst("nobody", &entry), -1);
    list.dumpLists();  // chain 4 is empty
    EXPECT_TRUE(log.has(1, "--- 4: FIRST NULL, LAST NULL")) << log.dump();
}

TEST_F(DirlistTest, MergeDropsCoveredEntriesAndJoinsTheChains)
{
    const struct {
        std::vector<EntrySpec> mine, theirs;
        bool caseSensitive;
        Strings chain2;
    } cases[] = {
        {{{"/data", 2}}, {{"/data/x", 2}}, false, {"/data"}},
        {{{"/data/x", 2}}, {{"/data", 2}}, false, {"/data"}},
        {{{"/data", 2}}, {{"/database", 2}}, false, {"/data", "/database"}},    // no component boundary
        {{{"/data", 2, 5}}, {{"/data/x", 2, 6}}, false, {"/data", "/data/x"}},  // other points in time
        {{{"/DATA", 2}}, {{"/data/x", 2}}, false, {"/DATA"}},
        {{{"/DATA", 2}}, {{"/data/x", 2}}, true, {"/DATA", "/data/x"}},
        {{{"/", 2}}, {{"/a", 2}}, false, {"/"}},
        {{{"/a/1", 2}, {"/b", 2}, {"/a/2", 2}}, {{"/a", 2}}, false, {"/b", "/a"}},
        {{{"/", 1}, {"/m2", 2}, {"/m5", 5}}, {{"/t2", 2}, {"/t3", 3}, {"/m2/x", 2}}, false, {"/m2", "/t2"}},
    };
    for (const auto& c : cases) {
        TestList mine(conf.get(), c.mine);
        TestList* theirs = new TestList(conf.get(), c.theirs);
        if (c.caseSensitive)  // the receiving list's mode decides
            mine.caseSensitive();
        ASSERT_EQ(mine.merge(theirs), 0);
        EXPECT_EQ(chainOf(mine, 2), c.chain2) << c.mine[0].name << " " << c.theirs[0].name;
    }
}

// A list that received another can be merged into a third one; its chains
// and its trash go with it without loss or double release.
TEST_F(DirlistTest, AMergedIntoListCanBeMergedOn)
{
    TestList outer(conf.get(), {{"/", 1}, {"/b", 2}, {"/m5", 5}});
    bool destroyed = false;
    TestList* middle = new TestList(conf.get(), {{"/b/x", 2}, {"/c", 3}}, &destroyed);
    ASSERT_EQ(middle->merge(new TestList(conf.get(), {{"/c/y", 3}, {"/d", 3}, {"/t4", 4}})), 0);
    ASSERT_EQ(outer.merge(middle), 0);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(chainOf(outer, 2), Strings{"/b"});
    EXPECT_EQ(chainOf(outer, 3), (Strings{"/c", "/d"}));
    EXPECT_EQ(chainOf(outer, 4), Strings{"/t4"});
    outer.dumpLists();
    EXPECT_TRUE(log.has(1, "--- Trash /b/x in 2")) << log.dump();
}

TEST_F(DirlistTest, RefusedMergesStillConsumeTheArgument)
{
    FSSubclientConf stranger;
    TestList mine(conf.get(), {{"/a", 1}}), consumed(conf.get(), {});
    consumed.consume();
    auto refused = [&](FSSubclientDirlist& into, FSSubclientConf* from, bool consume, const char* message) {
        bool destroyed = false;
        TestList* other = new TestList(from, {}, &destroyed);
        if (consume)
            other->consume();
        EXPECT_EQ(into.merge(other), -1);
        EXPECT_TRUE(destroyed);
        EXPECT_TRUE(log.has(1, message)) << message;
        log.clear();
    };
    refused(mine, &stranger, false, "The two dirlists must be from same conf object");
    refused(mine, conf.get(), true, "illegal merge attempted");
    refused(consumed, conf.get(), false, "illegal merge attempted");
    conf->setName("F");  // lists built from now on have one chain more
    refused(mine, conf.get(), false, "The two dirlists must be from same conf object");

    EXPECT_EQ(mine.merge(&mine), -1);
    EXPECT_TRUE(log.has(1, "A dirlist cannot be merged into itself"));
    EXPECT_EQ(mine.merge(nullptr), -1);
    EXPECT_TRUE(log.has(1, "Nothing to merge"));
    EXPECT_EQ(chainOf(mine, 1), Strings{"/a"});
    FSSubclientDir* entry = nullptr;
    EXPECT_EQ(consumed.getFirst(1, &entry), -1);
    EXPECT_EQ(consumed.getNext(&entry), -1);
    EXPECT_TRUE(log.has(1, "Cannot getFirst 1 after merge"));
    EXPECT_TRUE(log.has(1, "Cannot getNext after merge"));
}

// Each entry of theirs is compared with all 1000 of mine; 500 of them spend
// the budget of 500000, and a duplicate after them survives.
TEST_F(DirlistTest, DuplicateRemovalStopsWhenTheBudgetIsSpent)
{
    for (int spent : {499, 500}) {
        std::vector<EntrySpec> mine, theirs;
        for (int i = 0; i < 1000; ++i)
            mine.push_back({"/m" + std::to_string(i), 1});
        for (int i = 0; i < spent; ++i)
            theirs.push_back({"/t" + std::to_string(i), 1});
        theirs.push_back({"/m5/x", 1});
        TestList list(conf.get(), mine);
        ASSERT_EQ(list.merge(new TestList(conf.get(), theirs)), 0);
        EXPECT_EQ(chainOf(list, 1).size(), 1000u + spent + (spent == 500 ? 1 : 0)) << spent;
    }
}

TEST_F(DirlistTest, SystemStateOnlyAtTheFirstLevel)
{
    const std::pair<const char*, bool> cases[] = {
        {"/[System State]", true},  {"/[System State BCD]", true}, {"/[System State]/x", true},
        {"\\[System State]", true}, {"/[System State]x", false},   {"/a/[System State]", false},
    };
    for (const auto& c : cases) {
        TestList list(conf.get(), {{"/", 1}, {c.first, 2}});
        EXPECT_EQ(list.containsSystemState(2), c.second) << c.first;
        EXPECT_FALSE(list.containsSystemState(1));
    }
}
