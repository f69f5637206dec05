// Directory lists at the limits: allocation failures and very deep paths.
#include "../subclient/FailingAllocation.h"
#include "DirlistKit.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const char* const wild = "\\/\\/";

}  // namespace

class LimitsTest : public ::testing::Test {
protected:
    FSSubclientConf conf;
    CaptureLog log{255};
};

// Each allocation of the construction fails in turn: the call returns null
// or a list, never throws, releases what it built (the sanitizer build checks
// that nothing leaks) and restores the delimiter.
TEST_F(LimitsTest, AllocationFailureAnywhereInConstruction)
{
    conf.setName("A");
    ASSERT_EQ(conf.setPath((std::string("/w/a*") + wild).c_str()), 0);
    conf.setName("B");
    // A component longer than a short string: building a nodir's name allocates for it.
    for (const char* line : {"/a/b", "/w/a2/x-with-a-name-longer-than-a-short-string", "/c", "/w/a1"})
        ASSERT_EQ(conf.setPath(line), 0) << line;
    // Copying a long display name allocates with exceptions.
    ASSERT_EQ(FSSubclientConfTestAccess::priv(conf).setDisplayName("a display name longer than any short string"), 0);
    // The first search builds the search index; the loop fails the list's own allocations.
    std::unique_ptr<FSSubclientDirlist>(conf.createDirlist("/", false));
    for (long n = 0;; ++n) {
        std::unique_ptr<FSSubclientDirlist> list;
        bool reached;
        {
            FailingAllocation fail(n);
            list.reset(conf.createDirlist("\\w", false));
            reached = fail.reached();
        }
        EXPECT_EQ(conf.getDelim(), '/') << n;
        if (!reached) {
            ASSERT_TRUE(list);
            EXPECT_GE(n, 6);  // four entries, a display name and the list
            break;
        }
    }
    EXPECT_TRUE(log.has(-1, "out of memory"));
}

TEST_F(LimitsTest, AllocationFailureAnywhereInBrowsing)
{
    addNames(conf, 1);
    for (const char* line : {"/home/a/b", "/home/c", "/home/a/d"})
        ASSERT_EQ(conf.setPath(line), 0);
    std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist("/home", false));
    ASSERT_TRUE(list);
    for (long n = 0;; ++n) {
        int children = 0;
        bool reached;
        {
            FailingAllocation fail(n);
            for (char* c = list->getFirstBrowseChild(nullptr, nullptr, nullptr, nullptr); c;
                 c = list->getNextBrowseChild(nullptr, nullptr, nullptr, nullptr))
                ++children;
            reached = fail.reached();
        }
        if (!reached) {
            EXPECT_EQ(children, 2);
            break;
        }
    }
    TBrowseItem item;
    {
        FailingAllocation fail(0);  // the path cache
        EXPECT_EQ(list->getFirstBrowseChild(nullptr, nullptr, nullptr, nullptr), nullptr);
    }
    EXPECT_TRUE(log.has(1, "new TPathCache failed"));
    EXPECT_TRUE(log.reportedBy("new TPathCache failed", "FSSubclientDirlist::getFirstBrowseChild("));
    {
        FailingAllocation fail(0);
        EXPECT_FALSE(list->getFirstBrowseItem(item, nullptr));
    }
    EXPECT_TRUE(log.has(-1, "new TPathCache failed"));
    EXPECT_TRUE(log.reportedBy("new TPathCache failed", "FSSubclientDirlist::getFirstBrowseItem("));
    // The earlier walk is gone with its cache: a next-call does not resume it.
    EXPECT_EQ(list->getNextBrowseChild(nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_FALSE(list->getNextBrowseItem(item, nullptr));
}

// One content line of 100,000 components goes through construction, search,
// sorting, merging and browsing without recursion per level.
TEST_F(LimitsTest, VeryDeepContentLine)
{
    const int depth = 100000;
    std::string deep;
    for (int i = 0; i < depth; ++i)
        deep += "/d";
    addNames(conf, 1);
    ASSERT_EQ(conf.setPath(deep.c_str()), 0);

    std::unique_ptr<FSSubclientDirlist> whole(conf.createDirlist("/", false));
    ASSERT_TRUE(whole && whole->getRoot()->nodirs);
    EXPECT_EQ(whole->getRoot()->nodirs->name, deep);
    FSSubclientDirlist* below = conf.createDirlist((deep + "/x/y").c_str(), false);
    FSSubclientDirlist* half = conf.createDirlist(deep.substr(0, deep.size() / 2).c_str(), false);
    ASSERT_TRUE(below && half);
    EXPECT_EQ(below->getRoot()->subclient, 2);
    ASSERT_EQ(whole->merge(below), 0);
    ASSERT_EQ(whole->merge(half), 0);
    EXPECT_EQ(chainOf(*whole, 2), std::vector<std::string>{deep});  // the entries below it are duplicates
    EXPECT_EQ(chainOf(*whole, 1), std::vector<std::string>{"/"});
    bool hasNodirsBelow = false;
    EXPECT_STREQ(whole->getFirstBrowseChild(&hasNodirsBelow, nullptr, nullptr, nullptr), "/d");
    EXPECT_TRUE(hasNodirsBelow);
}

// Many nested subclients make a deep nodir tree, linearized and released without recursion.
TEST_F(LimitsTest, DeeplyNestedSubclients)
{
    std::string path;
    for (int i = 0; i < 1000; ++i) {
        path += "/n";
        conf.setName(("S" + std::to_string(i)).c_str());
        ASSERT_EQ(conf.setPath(path.c_str()), 0);
    }
    std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist("/", false));
    ASSERT_TRUE(list);
    EXPECT_EQ(chainOf(*list, 1001), std::vector<std::string>{path});
    EXPECT_EQ(list->getRoot()->nextLinear->nextLinear->parent, list->getRoot()->nextLinear);
}
