// Directory lists at the limits: allocation failures and very deep paths.
#include "DirlistKit.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>

namespace {

// Non-throwing allocations succeed this many more times, then fail; -1: never fail.
int nothrowBudget = -1;

class NothrowFailure {
public:
    explicit NothrowFailure(int allowed) { nothrowBudget = allowed; }
    ~NothrowFailure() { nothrowBudget = -1; }
};

const char* const wild = "\\/\\/";

}  // namespace

// The library allocates entries, lists and caches without exceptions; this
// lets a test make those allocations fail. Memory still comes from the
// throwing form, so it is released by the ordinary delete.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (nothrowBudget == 0)
        return nullptr;
    if (nothrowBudget > 0)
        --nothrowBudget;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

class LimitsTest : public ::testing::Test {
protected:
    FSSubclientConf conf;
    CaptureLog log{255};
};

// Every allocation of the construction fails in turn; the entries built so
// far are released (the sanitizer build checks that nothing leaks).
TEST_F(LimitsTest, AllocationFailureMidwayReturnsNull)
{
    conf.setName("A");
    ASSERT_EQ(conf.setPath((std::string("/w/a*") + wild).c_str()), 0);
    conf.setName("B");
    for (const char* line : {"/a/b", "/w/a1", "/w/a2/x", "/c"})
        ASSERT_EQ(conf.setPath(line), 0) << line;
    int allowed = 0;
    for (;; ++allowed) {
        std::unique_ptr<FSSubclientDirlist> list;
        {
            NothrowFailure fail(allowed);
            list.reset(conf.createDirlist("/", false));
        }
        if (list) {
            ASSERT_NE(list->getRoot()->nextLinear, nullptr);
            break;
        }
        ASSERT_LT(allowed, 100);
    }
    EXPECT_GE(allowed, 5);  // top, four nodirs and the list at least
    EXPECT_EQ(conf.getDelim(), '/');
}

TEST_F(LimitsTest, BrowseWithoutCacheYieldsNothing)
{
    addNames(conf, 1);
    ASSERT_EQ(conf.setPath("/home/a/b"), 0);
    ASSERT_EQ(conf.setPath("/home/c"), 0);
    std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist("/home", false));
    ASSERT_TRUE(list);
    ASSERT_STREQ(list->getFirstBrowseChild(nullptr, nullptr, nullptr, nullptr), "/home/a");
    TBrowseItem item;
    {
        NothrowFailure fail(0);
        EXPECT_EQ(list->getFirstBrowseChild(nullptr, nullptr, nullptr, nullptr), nullptr);
        EXPECT_TRUE(log.has(1, "new TPathCache failed"));
        EXPECT_FALSE(list->getFirstBrowseItem(item, nullptr));
        EXPECT_TRUE(log.has(-1, "new TPathCache failed"));
    }
    // The earlier walk is gone with its cache: the next-call does not resume it.
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
