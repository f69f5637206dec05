// Very deep content goes through lists and scan lists without recursion per level.
#include "DirlistKit.h"
#include "support/Capture.h"

namespace {

TEST(Limits, ContentLineOfAHundredThousandComponents)
{
    CaptureLog log(255);
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "/d";
    auto conf = buildConf("A " + deep);
    std::unique_ptr<FSSubclientDirlist> whole(conf->createDirlist("/", false));
    ASSERT_TRUE(whole);
    ASSERT_EQ(whole->merge(conf->createDirlist((deep + "/x/y").c_str(), false)), 0);
    ASSERT_EQ(whole->merge(conf->createDirlist(deep.substr(0, deep.size() / 2).c_str(), false)), 0);
    EXPECT_EQ(chainOf(*whole, 2), Lines{deep});  // the entries below it are duplicates
    EXPECT_EQ(chainOf(*whole, 1), Lines{"/"});
    bool hasNodirsBelow = false;
    EXPECT_STREQ(whole->getFirstBrowseChild(&hasNodirsBelow, nullptr, nullptr, nullptr), "/d");
    EXPECT_TRUE(hasNodirsBelow);
    for (Output run : {kDirnames, kNodirs, kTree})
        EXPECT_EQ(output(*conf, run, run == kNodirs ? 1 : 2), Lines{deep});
}

// Many nested subclients make a deep nodir tree.
TEST(Limits, AThousandNestedSubclients)
{
    std::string path, content;
    for (int i = 0; i < 1000; ++i)
        content += " S" + std::to_string(i) + " " + (path += "/n");
    auto conf = buildConf(content);
    std::unique_ptr<FSSubclientDirlist> list(conf->createDirlist("/", false));
    ASSERT_TRUE(list);
    EXPECT_EQ(chainOf(*list, 1001), Lines{path});
    EXPECT_EQ(output(*conf, kNodirs, 1000), Lines{path});
}

}  // namespace
