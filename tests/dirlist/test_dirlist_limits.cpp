// Directory lists at the limits: very deep paths.
#include "DirlistKit.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

#include <memory>

class LimitsTest : public ::testing::Test {
protected:
    FSSubclientConf conf;
    CaptureLog log{255};
};

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
