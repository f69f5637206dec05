// Directory lists built from configurations: search, owner, nodirs, prefixes.
#include "DirlistKit.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const char* const wild = "\\/\\/";  // the wildcard marker after a content path

// Subclients named A, B, ... each with its content lines, in order.
struct Content {
    const char* subclient;
    std::vector<std::string> lines;
};

void fill(FSSubclientConf& conf, const std::vector<Content>& content)
{
    for (const Content& c : content) {
        ASSERT_EQ(conf.setName(c.subclient), 0) << c.subclient;
        for (const std::string& line : c.lines)
            ASSERT_EQ(conf.setPath(line.c_str()), 0) << line;
    }
}

// One line per entry in whole-list order: name, suffix, subclient, wildcard
// flag, to-time, app id, parent and display name.
std::vector<std::string> describe(FSSubclientDirlist* list)
{
    std::vector<std::string> lines;
    for (FSSubclientDir* e = list->getRoot(); e; e = e->nextLinear) {
        std::string line = std::string(e->name) + " [" + (e->suffix ? e->suffix : "(null)") + "] sc" +
                           std::to_string(e->subclient) + (e->isWildcard ? " wc" : "") +
                           (e->toTime ? " t" + std::to_string(e->toTime) : "") +
                           (e->appId ? " app" + std::to_string(e->appId) : "") +
                           (e->parent ? std::string(" <") + e->parent->name : "") +
                           (e->displayName.empty() ? "" : " '" + e->displayName + "'");
        lines.push_back(line);
    }
    return lines;
}

using Lines = std::vector<std::string>;
using ListPtr = std::unique_ptr<FSSubclientDirlist>;

}  // namespace

class BuildTest : public ::testing::Test {
protected:
    ListPtr build(const char* path, bool strictTree = false)
    {
        return ListPtr(conf.createDirlist(path, strictTree));
    }
    FSSubclientConf conf;
    CaptureLog log{255};
};

TEST_F(BuildTest, DefaultOnlyRootIsOneEntry)
{
    ListPtr list = build("/");
    ASSERT_TRUE(list);
    EXPECT_EQ(describe(list.get()), Lines{"/ [] sc1"});
    EXPECT_EQ(list->getRoot()->nodirs, nullptr);
}

TEST_F(BuildTest, NestedContentGivesNestedNodirs)
{
    fill(conf, {{"A", {"/a/b"}}, {"B", {"/a/b/c"}}});
    ListPtr list = build("/");
    ASSERT_TRUE(list);
    EXPECT_EQ(describe(list.get()), (Lines{"/ [] sc1", "/a/b [a/b] sc2 </", "/a/b/c [a/b/c] sc3 </a/b"}));
    FSSubclientDir* root = list->getRoot();
    ASSERT_NE(root->nodirs, nullptr);
    EXPECT_STREQ(root->nodirs->name, "/a/b");
    EXPECT_EQ(root->nodirs->nextNodir, nullptr);
    EXPECT_STREQ(root->nodirs->nodirs->name, "/a/b/c");

    const struct {
        const char* path;
        Lines expected;
    } cases[] = {
        {"/a/b/x", {"/a/b/x [] sc2"}},  // the search stops short below /a/b
        {"/a/b", {"/a/b [] sc2", "/a/b/c [/c] sc3 </a/b"}},
        {"/a", {"/a [] sc1", "/a/b [/b] sc2 </a", "/a/b/c [/b/c] sc3 </a/b"}},
        {"/x", {"/x [] sc1"}},
        {"//a///b/", {"/a/b [] sc2", "/a/b/c [/c] sc3 </a/b"}},
    };
    for (const auto& c : cases) {
        ListPtr other = build(c.path);
        ASSERT_TRUE(other) << c.path;
        EXPECT_EQ(describe(other.get()), c.expected) << c.path;
    }
}

TEST_F(BuildTest, SiblingNodirsStandInTreeOrder)
{
    fill(conf, {{"A", {"/p/one", "/q"}}, {"B", {"/p/two", "/p/one/x"}}});
    ListPtr list = build("/");
    ASSERT_TRUE(list);
    EXPECT_EQ(describe(list.get()), (Lines{"/ [] sc1", "/p/one [p/one] sc2 </", "/p/one/x [p/one/x] sc3 </p/one",
                                           "/p/two [p/two] sc3 </", "/q [q] sc2 </"}));
}

TEST_F(BuildTest, CoveredLiteralsFollowTheTreeMode)
{
    fill(conf, {{"A", {std::string("/logs/*.log") + wild}}, {"B", {"/logs/a.log"}}});
    ListPtr normal = build("/");
    ASSERT_TRUE(normal);
    EXPECT_EQ(describe(normal.get()),
              (Lines{"/ [] sc1", "/logs/*.log [logs/*.log] sc2 wc </", "/logs/a.log [logs/a.log] sc3 </logs/*.log"}));
    ListPtr strict = build("/", true);
    ASSERT_TRUE(strict);
    EXPECT_EQ(describe(strict.get()),
              (Lines{"/ [] sc1", "/logs/*.log [logs/*.log] sc2 wc </", "/logs/a.log [logs/a.log] sc3 </"}));
}

TEST_F(BuildTest, SearchFindsWildcardAndLiteralOwners)
{
    fill(conf, {{"A", {"/data"}},
                {"B", {std::string("/w/b*") + wild, "/m/x"}},
                {"C", {std::string("/two/*.txt") + wild}},
                {"D", {std::string("/two/a*") + wild}}});
    const struct {
        const char* path;
        int subclient;  // 0: no list
    } cases[] = {
        {"/DATA", 2},        // case-insensitive configuration
        {"/data/deep", 2},   // below content
        {"/w/bee", 3},       // a wildcard match on the last component
        {"/w/bee/deeper", 3},
        {"/w/c", 1},
        {"/m", 1},           // above content
        {"/two/a.txt", 0},   // two wildcard siblings match
        {"/two/b.txt", 4},
    };
    for (const auto& c : cases) {
        ListPtr list = build(c.path);
        if (!c.subclient) {
            EXPECT_FALSE(list) << c.path;
            continue;
        }
        ASSERT_TRUE(list) << c.path;
        EXPECT_EQ(list->getRoot()->subclient, c.subclient) << c.path;
    }
    EXPECT_TRUE(log.has(1, "Path 'a.txt' matches wild cards '/two/*.txt' and '/two/a*'")) << log.dump();
    EXPECT_TRUE(log.has(-1, "Internal error during createDirlist '/two/a.txt'"));
}

TEST_F(BuildTest, LiteralBesideWildcardBelongsToTheWildcard)
{
    fill(conf, {{"A", {}}, {"B", {}}, {"C", {std::string("/p/b*") + wild, "/q/b*" + std::string(wild)}},
                {"D", {"/p/b/x", "/q/b"}}});
    // b has no subclient of its own under /p, so b* decides; under /q, b is D's content.
    const struct {
        const char* path;
        int subclient;
    } cases[] = {{"/p/b", 4}, {"/q/b", 5}};
    for (const auto& c : cases) {
        ListPtr list = build(c.path);
        ASSERT_TRUE(list) << c.path;
        EXPECT_EQ(list->getRoot()->subclient, c.subclient) << c.path;
    }
}

// A literal folder covered by a wildcard belongs to the wildcard's subclient,
// also below it where the search stops short.
TEST_F(BuildTest, PathBelowCoveredFolderBelongsToTheWildcard)
{
    fill(conf, {{"A", {std::string("/d/cache*") + wild}}, {"B", {"/d/cache1/x"}}});
    const struct {
        const char* path;
        int subclient;
    } cases[] = {{"/d/cache1/y", 2}, {"/d/cache1/y/z", 2}, {"/d/cache1", 2}, {"/d/cache1/x/q", 3}, {"/d/other", 1}};
    for (const auto& c : cases) {
        ListPtr list = build(c.path);
        ASSERT_TRUE(list) << c.path;
        EXPECT_EQ(list->getRoot()->subclient, c.subclient) << c.path;
    }
    ListPtr folder = build("/d/cache1");
    EXPECT_EQ(describe(folder.get()), (Lines{"/d/cache1 [] sc2", "/d/cache1/x [/x] sc3 </d/cache1"}));
}

TEST_F(BuildTest, PrefixesSetTimeAndAppId)
{
    fill(conf, {{"A", {"/data/sub"}}});
    ListPtr timed = build(":500:/data");
    ASSERT_TRUE(timed);
    EXPECT_EQ(describe(timed.get()), (Lines{"/data [] sc1 t500", "/data/sub [/sub] sc2 t500 </data"}));
    EXPECT_TRUE(log.has(3, "Path ':500:/data' contains dirlistToTime=500"));

    ListPtr withApp = build(";500;42;/data");
    ASSERT_TRUE(withApp);
    EXPECT_EQ(describe(withApp.get()), (Lines{"/data [] sc1 t500 app42", "/data/sub [/sub] sc2 t500 </data"}));
    EXPECT_TRUE(log.has(3, "Path ';500;42;/data' contains dirlistAppId=42"));

    ListPtr plain = build("/data");  // no prefix: both back to 0
    EXPECT_EQ(describe(plain.get()), (Lines{"/data [] sc1", "/data/sub [/sub] sc2 </data"}));
}

TEST_F(BuildTest, BadPrefixesAndPathsFail)
{
    const struct {
        const char* path;
        int level;
        const char* message;
    } cases[] = {
        {":abc:/data", 1, "Cannot parse to time in ':abc:/data'"},
        {":123/data", 1, "Bad to-time prefix in ':123/data'"},
        {";5;/data", 1, "Bad app id prefix in ';5;/data'"},
        {";5;x;/data", 1, "Cannot parse app id in ';5;x;/data'"},
        {"", 1, "Invalid path ''"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(build(c.path)) << c.path;
        EXPECT_TRUE(log.has(c.level, c.message)) << c.path << "\n" << log.dump();
    }
}

TEST_F(BuildTest, BackslashPathIsListedWithItsDelimiterAndRestored)
{
    fill(conf, {{"A", {"/data/sub"}}, {"B", {std::string("/w/*.txt") + wild, std::string("/w/a*") + wild}}});
    ListPtr list = build("\\data");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->getDelim(), '\\');
    EXPECT_EQ(describe(list.get()), (Lines{"\\data [] sc1", "\\data\\sub [\\sub] sc2 <\\data"}));
    EXPECT_EQ(conf.getDelim(), '/');

    EXPECT_FALSE(build("\\w\\a.txt")) << "fails after normalization";
    EXPECT_EQ(conf.getDelim(), '/');
}

TEST_F(BuildTest, DisplayNamesAreCopied)
{
    fill(conf, {{"A", {"/data/sub"}}});
    conf.setPath("/other");
    ASSERT_EQ(FSSubclientConfTestAccess::priv(conf).setDisplayName("Other place"), 0);
    ListPtr list = build("/");
    EXPECT_EQ(describe(list.get()),
              (Lines{"/ [] sc1", "/data/sub [data/sub] sc2 </", "/other [other] sc2 </ 'Other place'"}));
    ListPtr top = build("/other");
    EXPECT_EQ(top->getRoot()->displayName, "Other place");
}

TEST_F(BuildTest, BrowseListsExcludedCoveredLiterals)
{
    fill(conf, {{"A", {std::string("/home/a*") + wild}}, {"B", {"/home/a1", "/home/a2", "/home/z/deep"}}});
    ListPtr list = build("/home");
    ASSERT_TRUE(list);
    std::vector<std::string> excluded = {"stale"};
    bool below = false, isWildcard = false;
    int subclient = 0;
    ASSERT_STREQ(list->getFirstBrowseChild(&below, &isWildcard, &subclient, &excluded), "/home/a*");
    EXPECT_TRUE(below);
    EXPECT_TRUE(isWildcard);
    EXPECT_EQ(subclient, 2);
    EXPECT_EQ(excluded, (std::vector<std::string>{"/home/a2", "/home/a1"}));  // covered-list order
    TBrowseItem item;
    ASSERT_TRUE(list->getNextBrowseItem(item, &excluded));
    EXPECT_EQ(item.path, "/home/z");
    EXPECT_TRUE(excluded.empty());  // trimmed children exclude nothing
}

TEST_F(BuildTest, NoTreeNoList)
{
    FSSubclientConfTestAccess::priv(conf).freeTree();
    EXPECT_FALSE(build("/"));
    EXPECT_TRUE(log.has(1, "No tree"));
}
