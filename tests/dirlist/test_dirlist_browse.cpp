// Browsing a directory list: its root's children that lead to other subclients' content.
#include "DirlistKit.h"
#include "support/Capture.h"

namespace {

// "path below wc subclient" for a child.
std::string describe(const TBrowseItem& c)
{
    return c.path + (c.hasNodirsBelow ? " below" : "") + (c.isWildcard ? " wc" : "") + " " +
           std::to_string(c.subclient);
}

// The children through both forms of the walk, which must agree.
Lines browse(FSSubclientDirlist& list)
{
    Lines texts, items;
    TBrowseItem c;
    for (char* path = list.getFirstBrowseChild(&c.hasNodirsBelow, &c.isWildcard, &c.subclient, nullptr); path;
         path = list.getNextBrowseChild(&c.hasNodirsBelow, &c.isWildcard, &c.subclient, nullptr)) {
        c.path = path;
        texts.push_back(describe(c));
    }
    for (bool more = list.getFirstBrowseItem(c, nullptr); more; more = list.getNextBrowseItem(c, nullptr))
        items.push_back(describe(c));
    EXPECT_EQ(texts, items);
    return items;
}

TEST(Browse, ChildrenAreTrimmedToTheBrowsedLevelOnce)
{
    CaptureLog log(255);
    // Children far longer than any fixed buffer are neither cut nor overflowed.
    std::string deep;
    for (int i = 0; i < 20; ++i)
        deep += "/" + std::string(200, 'd');
    auto conf = buildConf("A /home/a/b/c /home/w*" + kWild + " /x/y /home/z/q*" + kWild + " " + deep +
                          "/n/m B /home/a/x /home/b C /home/b/deeper /home/c");
    const std::pair<std::string, Lines> cases[] = {
        {"/home", {"/home/a below 1", "/home/w* wc 2", "/home/z below 1", "/home/b below 3", "/home/c 4"}},
        {"/", {"/home below 1", "/x below 1", deep.substr(0, 201) + " below 1"}},
        {"/home/c", {}},
        {deep, {deep + "/n below 1"}},
    };
    for (const auto& c : cases) {
        std::unique_ptr<FSSubclientDirlist> list(conf->createDirlist(c.first.c_str(), false));
        ASSERT_TRUE(list);
        EXPECT_EQ(browse(*list), c.second) << c.first;
    }
    std::unique_ptr<FSSubclientDirlist> list(conf->createDirlist("/", false));
    list->getRoot()->nodirs->parent = nullptr;
    int subclient = 0;
    ASSERT_STREQ(list->getFirstBrowseChild(nullptr, nullptr, &subclient, nullptr), "/home");
    EXPECT_EQ(subclient, 1);
    EXPECT_TRUE(log.has(1, "'/home/a/b/c' has NULL parent, assume default subclient")) << log.dump();

    FSSubclientDirlist empty(conf.get(), nullptr, 1);
    TBrowseItem item;
    EXPECT_EQ(empty.getFirstBrowseChild(nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_FALSE(empty.getNextBrowseItem(item, nullptr));
}

TEST(Browse, ExcludesTheLiteralsAWildcardCovers)
{
    auto conf =
        buildConf("A /home/a*" + kWild + " /home/y/b*" + kWild + " B /home/a1 /home/a2 /home/z/deep /home/y/b1");
    std::unique_ptr<FSSubclientDirlist> list(conf->createDirlist("/home", false));
    ASSERT_TRUE(list);
    Lines excluded = {"stale"};
    ASSERT_STREQ(list->getFirstBrowseChild(nullptr, nullptr, nullptr, &excluded), "/home/a*");
    EXPECT_EQ(excluded, (Lines{"/home/a2", "/home/a1"}));  // covered-list order
    // Trimmed children exclude nothing, though the wildcard below one covers a literal.
    TBrowseItem item;
    Lines trimmed;
    while (list->getNextBrowseItem(item, &excluded)) {
        trimmed.push_back(item.path);
        EXPECT_TRUE(excluded.empty()) << item.path;
    }
    EXPECT_EQ(trimmed, (Lines{"/home/y", "/home/z"}));
}

}  // namespace
