// Directory lists built from configurations: search, owner, nodirs, prefixes.
#include "DirlistKit.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const std::string wild = "\\/\\/";  // the wildcard marker after a content path

using Lines = std::vector<std::string>;
using ListPtr = std::unique_ptr<FSSubclientDirlist>;

// Subclients A, B, ... in order, each with its content lines.
void fill(FSSubclientConf& conf, const std::vector<Lines>& content)
{
    for (size_t i = 0; i < content.size(); ++i) {
        ASSERT_EQ(conf.setName(std::string(1, static_cast<char>('A' + i)).c_str()), 0);
        for (const std::string& line : content[i])
            ASSERT_EQ(conf.setPath(line.c_str()), 0) << line;
    }
}

// One line per entry in whole-list order: name, suffix, subclient, wildcard
// flag, to-time, app id, parent and display name.
Lines describe(FSSubclientDirlist* list)
{
    Lines lines;
    for (FSSubclientDir* e = list ? list->getRoot() : nullptr; e; e = e->nextLinear)
        lines.push_back(std::string(e->name) + " [" + (e->suffix ? e->suffix : "(null)") + "] sc" +
                        std::to_string(e->subclient) + (e->isWildcard ? " wc" : "") +
                        (e->toTime ? " t" + std::to_string(e->toTime) : "") +
                        (e->appId ? " app" + std::to_string(e->appId) : "") +
                        (e->parent ? std::string(" <") + e->parent->name : "") +
                        (e->displayName.empty() ? "" : " '" + e->displayName + "'"));
    return lines;
}

}  // namespace

class BuildTest : public ::testing::Test {
protected:
    Lines listed(const std::string& path, bool strictTree = false)
    {
        return describe(ListPtr(conf.createDirlist(path.c_str(), strictTree)).get());
    }
    int topSubclient(const std::string& path)
    {
        ListPtr list(conf.createDirlist(path.c_str(), false));
        return list ? list->getRoot()->subclient : 0;
    }
    FSSubclientConf conf;
    CaptureLog log{255};
};

TEST_F(BuildTest, NestedContentGivesNestedNodirs)
{
    EXPECT_EQ(listed("/"), Lines{"/ [] sc1"});
    fill(conf, {{"/a/b", "/q"}, {"/a/b/c", "/a/two"}});
    ASSERT_EQ(FSSubclientConfTestAccess::priv(conf).setDisplayName("Two"), 0);
    const struct {
        const char* path;
        Lines expected;
    } cases[] = {
        {"/",
         {"/ [] sc1", "/a/b [a/b] sc2 </", "/a/b/c [a/b/c] sc3 </a/b", "/a/two [a/two] sc3 </ 'Two'", "/q [q] sc2 </"}},
        {"/a", {"/a [] sc1", "/a/b [/b] sc2 </a", "/a/b/c [/b/c] sc3 </a/b", "/a/two [/two] sc3 </a 'Two'"}},
        {"//a///b/", {"/a/b [] sc2", "/a/b/c [/c] sc3 </a/b"}},
        {"/a/b/x", {"/a/b/x [] sc2"}},  // the search stops short below /a/b
        {"/a/two", {"/a/two [] sc3 'Two'"}},
        {"/x", {"/x [] sc1"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listed(c.path), c.expected) << c.path;
}

TEST_F(BuildTest, CoveredLiteralsFollowTheTreeMode)
{
    fill(conf, {{"/logs/*.log" + wild}, {"/logs/a.log"}});
    EXPECT_EQ(listed("/"),
              (Lines{"/ [] sc1", "/logs/*.log [logs/*.log] sc2 wc </", "/logs/a.log [logs/a.log] sc3 </logs/*.log"}));
    EXPECT_EQ(listed("/", true),
              (Lines{"/ [] sc1", "/logs/*.log [logs/*.log] sc2 wc </", "/logs/a.log [logs/a.log] sc3 </"}));
}

TEST_F(BuildTest, TheSearchDecidesTheTopSubclient)
{
    fill(conf, {{"/data"},
                {"/w/b*" + wild, "/m/x"},
                {"/two/*.txt" + wild, "/p/b*" + wild, "/q/b*" + wild, "/d/cache*" + wild},
                {"/two/a*" + wild, "/p/b/x", "/q/b", "/d/cache1/x"},
                // Names of one word, two words and longer; deeper than a search reads ahead.
                {"/abcdefgh/12345678abcdefgh/q", "/a-name-longer-than-sixteen/x",
                 "/1/2/3/4/5/6/7/8/9/10/11/12/13/14/15/16/17/18"}});
    const std::pair<const char*, int> cases[] = {
        {"/DATA", 2},
        {"/data/deep", 2},
        {"/w/bee", 3},
        {"/w/bee/deeper", 3},
        {"/w/c", 1},
        {"/m", 1},
        {"/two/b.txt", 4},
        {"/p/b", 4},  // literal b without subclient of its own: the wildcard b* decides
        {"/q/b", 5},  // b is content itself
        // Below a literal folder covered by a wildcard, the wildcard's subclient.
        {"/d/cache1", 4},
        {"/d/cache1/y", 4},
        {"/d/cache1/y/z", 4},
        {"/d/cache1/x/q", 5},
        {"/d/other", 1},
        {"/ABCDEFGH/12345678ABCDEFGH/Q/r", 6},
        {"/abcdefgh/12345678abcdefgz", 1},
        {"/A-NAME-LONGER-THAN-SIXTEEN/X", 6},
        {"/a-name-longer-than-sixteen-/x", 1},
        {"/1/2/3/4/5/6/7/8/9/10/11/12/13/14/15/16/17/18/19", 6},
        {"/1/2/3/4/5/6/7/8/9/10/11/12/13/14/15/16/x", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(topSubclient(c.first), c.second) << c.first;
    EXPECT_EQ(listed("/d/cache1"), (Lines{"/d/cache1 [] sc4", "/d/cache1/x [/x] sc5 </d/cache1"}));

    EXPECT_EQ(topSubclient("/two/a.txt"), 0);  // two wildcard siblings match
    EXPECT_TRUE(log.has(1, "Path 'a.txt' matches wild cards '/two/*.txt' and '/two/a*'"));
    EXPECT_TRUE(log.has(-1, "Internal error during createDirlist '/two/a.txt'"));
}

TEST_F(BuildTest, PrefixesSetTimeAndAppId)
{
    fill(conf, {{"/data/sub"}});
    EXPECT_EQ(listed(":500:/data"), (Lines{"/data [] sc1 t500", "/data/sub [/sub] sc2 t500 </data"}));
    EXPECT_EQ(listed(";500;42;/data"), (Lines{"/data [] sc1 t500 app42", "/data/sub [/sub] sc2 t500 </data"}));
    EXPECT_EQ(listed("/data"), (Lines{"/data [] sc1", "/data/sub [/sub] sc2 </data"}));

    const std::pair<const char*, const char*> failures[] = {
        {":abc:/data", "Cannot parse to time in ':abc:/data'"},
        {":123/data", "Bad to-time prefix in ':123/data'"},
        {";5;/data", "Bad app id prefix in ';5;/data'"},
        {";5;x;/data", "Cannot parse app id in ';5;x;/data'"},
        {"", "Invalid path ''"},
    };
    for (const auto& f : failures) {
        EXPECT_EQ(listed(f.first), Lines{}) << f.first;
        EXPECT_TRUE(log.has(1, f.second)) << f.second;
    }
}

TEST_F(BuildTest, BackslashPathIsListedWithItsDelimiterAndRestored)
{
    fill(conf, {{"/data/sub"}, {"/w/*.txt" + wild, "/w/a*" + wild}});
    ListPtr list(conf.createDirlist("\\data", false));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->getDelim(), '\\');
    EXPECT_EQ(describe(list.get()), (Lines{"\\data [] sc1", "\\data\\sub [\\sub] sc2 <\\data"}));
    EXPECT_EQ(conf.getDelim(), '/');
    EXPECT_EQ(topSubclient("\\w\\a.txt"), 0);  // fails after normalization
    EXPECT_EQ(conf.getDelim(), '/');
}

TEST_F(BuildTest, BrowseExcludesTheLiteralsAWildcardCovers)
{
    fill(conf, {{"/home/a*" + wild, "/home/y/b*" + wild}, {"/home/a1", "/home/a2", "/home/z/deep", "/home/y/b1"}});
    ListPtr list(conf.createDirlist("/home", false));
    ASSERT_TRUE(list);
    std::vector<std::string> excluded = {"stale"};
    ASSERT_STREQ(list->getFirstBrowseChild(nullptr, nullptr, nullptr, &excluded), "/home/a*");
    EXPECT_EQ(excluded, (std::vector<std::string>{"/home/a2", "/home/a1"}));  // covered-list order
    // Trimmed children exclude nothing, though the wildcard below one covers a literal.
    TBrowseItem item;
    std::vector<std::string> trimmed;
    while (list->getNextBrowseItem(item, &excluded)) {
        trimmed.push_back(item.path);
        EXPECT_TRUE(excluded.empty()) << item.path;
    }
    EXPECT_EQ(trimmed, (std::vector<std::string>{"/home/y", "/home/z"}));
}
