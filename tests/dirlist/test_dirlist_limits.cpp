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
    addNames(conf, 3);
    conf.setName("E");
    ASSERT_EQ(conf.setPath((std::string("/w/a*") + wild).c_str()), 0);
    conf.setName("F");
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
    ASSERT_TRUE(whole);
    FSSubclientDir* nodir = whole->getRoot()->nodirs;
    ASSERT_NE(nodir, nullptr);
    EXPECT_EQ(std::string(nodir->name), deep);
    EXPECT_EQ(nodir->subclient, 2);

    FSSubclientDirlist* below = conf.createDirlist((deep + "/x/y").c_str(), false);
    ASSERT_NE(below, nullptr);
    EXPECT_EQ(below->getRoot()->subclient, 2);
    FSSubclientDirlist* half = conf.createDirlist(deep.substr(0, deep.size() / 2).c_str(), false);
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(half->getRoot()->subclient, 1);

    ASSERT_EQ(whole->sort(), 0);
    ASSERT_EQ(whole->merge(below), 0);
    ASSERT_EQ(whole->merge(half), 0);
    std::vector<std::string> chain2 = chainOf(*whole, 2);
    ASSERT_EQ(chain2.size(), 1u);  // the entry below the content line is a duplicate
    EXPECT_EQ(chain2[0], deep);
    EXPECT_EQ(chainOf(*whole, 1).size(), 1u);

    bool below2 = false;
    char* child = whole->getFirstBrowseChild(&below2, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_STREQ(child, "/d");
    EXPECT_TRUE(below2);
}

// Many nested subclients make a deep nodir tree: linearized, sorted and
// released without recursion.
TEST_F(LimitsTest, DeeplyNestedSubclients)
{
    const int nesting = 2000;
    std::string path;
    for (int i = 0; i < nesting; ++i) {
        path += "/n";
        ASSERT_EQ(conf.setName(("S" + std::to_string(i)).c_str()), 0);
        ASSERT_EQ(conf.setPath(path.c_str()), 0);
    }
    std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist("/", false));
    ASSERT_TRUE(list);
    int count = 0;
    FSSubclientDir* last = nullptr;
    for (FSSubclientDir* e = list->getRoot(); e; e = e->nextLinear, ++count)
        last = e;
    EXPECT_EQ(count, nesting + 1);
    EXPECT_EQ(last->subclient, nesting + 1);
    EXPECT_EQ(std::string(last->parent->name) + "/n", last->name);
    FSSubclientDir* entry = nullptr;
    ASSERT_EQ(list->getFirst(nesting + 1, &entry), 0);
    EXPECT_EQ(entry, last);
}
