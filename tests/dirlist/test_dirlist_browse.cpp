// Browse children of hand-built lists: trimming, flags, repeats, both forms.
#include "DirlistKit.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

struct NodirSpec {
    std::string name;
    int subclient;
    bool isWildcard = false;
    bool hasOwnNodir = false;
};

// A root entry of subclient 1 with the given nodirs.
FSSubclientDir* browseTree(const char* rootName, const std::vector<NodirSpec>& specs)
{
    std::vector<FSSubclientDir*> all = {makeEntry({rootName, 1})};
    FSSubclientDir** tail = &all[0]->nodirs;
    for (const NodirSpec& spec : specs) {
        FSSubclientDir* nodir = makeEntry({spec.name, spec.subclient});
        nodir->isWildcard = spec.isWildcard;
        nodir->displayName = "shown " + spec.name;
        nodir->parent = all[0];
        *tail = nodir;
        tail = &nodir->nextNodir;
        all.push_back(nodir);
        if (spec.hasOwnNodir)
            all.push_back(nodir->nodirs = makeEntry({spec.name + "/deeper", 1}));
    }
    return linkLinear(all);
}

// "path below wc subclient" for a child.
std::string describe(const TBrowseItem& c)
{
    return c.path + (c.hasNodirsBelow ? " below" : "") + (c.isWildcard ? " wc" : "") + " " +
           std::to_string(c.subclient);
}

std::vector<std::string> textWalk(FSSubclientDirlist& list)
{
    std::vector<std::string> children;
    TBrowseItem c;
    for (char* path = list.getFirstBrowseChild(&c.hasNodirsBelow, &c.isWildcard, &c.subclient, nullptr); path;
         path = list.getNextBrowseChild(&c.hasNodirsBelow, &c.isWildcard, &c.subclient, nullptr)) {
        c.path = path;
        children.push_back(describe(c));
    }
    return children;
}

std::vector<std::string> itemWalk(FSSubclientDirlist& list)
{
    std::vector<std::string> children;
    TBrowseItem item;
    for (bool more = list.getFirstBrowseItem(item, nullptr); more; more = list.getNextBrowseItem(item, nullptr))
        children.push_back(describe(item));
    return children;
}

}  // namespace

class BrowseTest : public ::testing::Test {
protected:
    void SetUp() override { addNames(conf, 3); }
    FSSubclientConf conf;
    CaptureLog log{255};
};

TEST_F(BrowseTest, ChildrenAreTrimmedToTheBrowsedLevelOnce)
{
    const struct {
        const char* root;
        std::vector<NodirSpec> nodirs;
        std::vector<std::string> expected;
    } cases[] = {
        {"/home", {{"/home/a/b/c", 2}, {"/home/a/x", 3}}, {"/home/a below 1"}},
        {"/", {{"/x/y", 2}}, {"/x below 1"}},
        {"/home",
         {{"/home/w*", 2, true}, {"/home/b", 3, false, true}, {"/home/c", 4}},
         {"/home/w* wc 2", "/home/b below 3", "/home/c 4"}},
        {"/home", {{"/home/a/b", 2}, {"/home/a", 3}, {"/home/z/q*", 2, true}}, {"/home/a below 1", "/home/z below 1"}},
        {"/home", {}, {}},
    };
    for (const auto& c : cases) {
        FSSubclientDirlist list(&conf, browseTree(c.root, c.nodirs), 1);
        EXPECT_EQ(textWalk(list), c.expected) << c.root;
        EXPECT_EQ(itemWalk(list), c.expected) << c.root;  // a first-call restarts the walk
    }
}

TEST_F(BrowseTest, EdgesOfTheWalk)
{
    FSSubclientDirlist empty(&conf, nullptr, 1);
    TBrowseItem item;
    EXPECT_EQ(empty.getFirstBrowseChild(nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_FALSE(empty.getNextBrowseItem(item, nullptr));

    FSSubclientDirlist list(&conf, browseTree("/home", {{"/home/b", 2}, {"/home/c/d", 3}}), 1);
    ASSERT_TRUE(list.getFirstBrowseItem(item, nullptr));
    EXPECT_EQ(item.displayName, "shown /home/b");
    list.getRoot()->nodirs->nextNodir->parent = nullptr;
    int subclient = 0;
    ASSERT_STREQ(list.getNextBrowseChild(nullptr, nullptr, &subclient, nullptr), "/home/c");
    EXPECT_EQ(subclient, 1);
    EXPECT_TRUE(log.has(1, "'/home/c/d' has NULL parent, assume default subclient"));
    EXPECT_EQ(list.getNextBrowseChild(nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(BrowseTest, LongChildNamesAreNeitherCutNorOverflowed)
{
    std::string longName = "/home/" + std::string(5000, 'n');
    FSSubclientDirlist list(&conf, browseTree("/home", {{longName + "/" + std::string(3000, 'm'), 2}}), 1);
    char* child = list.getFirstBrowseChild(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(std::string(child), longName);
}
