// Directory lists built from configurations: search, owner, nodirs, prefixes.
#include "DirlistKit.h"
#include "support/Capture.h"

namespace {

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
    delete list;
    return lines;
}

int topSubclient(FSSubclientConf& conf, const char* path)
{
    std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist(path, false));
    return list ? list->getRoot()->subclient : 0;
}

class BuildTest : public ::testing::Test {
protected:
    CaptureLog log{255};
};

TEST_F(BuildTest, NestedContentGivesNestedNodirsAndPrefixesSetTimeAndAppId)
{
    EXPECT_EQ(describe(FSSubclientConf().createDirlist("/", false)), Lines{"/ [] sc1"});
    auto conf = loadConf("\tdefault\n\tA\n/a/b\n/q\n\tB\n/a/b/c\n/a/two\n\x12Two\n");
    const std::pair<const char*, Lines> cases[] = {
        {"/",
         {"/ [] sc1", "/a/b [a/b] sc2 </", "/a/b/c [a/b/c] sc3 </a/b", "/a/two [a/two] sc3 </ 'Two'", "/q [q] sc2 </"}},
        {":500:/a",
         {"/a [] sc1 t500", "/a/b [/b] sc2 t500 </a", "/a/b/c [/b/c] sc3 t500 </a/b",
          "/a/two [/two] sc3 t500 </a 'Two'"}},
        {";500;42;/a/b", {"/a/b [] sc2 t500 app42", "/a/b/c [/c] sc3 t500 </a/b"}},
        {"//a///b/", {"/a/b [] sc2", "/a/b/c [/c] sc3 </a/b"}},
        {"/a/b/x", {"/a/b/x [] sc2"}},  // the search stops short below /a/b
        {"/a/two", {"/a/two [] sc3 'Two'"}},
        {"/x", {"/x [] sc1"}},
        {"\\a",
         {"\\a [] sc1", "\\a\\b [\\b] sc2 <\\a", "\\a\\b\\c [\\b\\c] sc3 <\\a\\b", "\\a\\two [\\two] sc3 <\\a 'Two'"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(describe(conf->createDirlist(c.first, false)), c.second) << c.first;
        EXPECT_EQ(conf->getDelim(), '/');  // a backslash path's delimiter is the list's alone
    }
    const std::pair<const char*, const char*> failures[] = {
        {":abc:/a", "Cannot parse to time in ':abc:/a'"},
        {":123/a", "Bad to-time prefix in ':123/a'"},
        {";5;/a", "Bad app id prefix in ';5;/a'"},
        {";5;x;/a", "Cannot parse app id in ';5;x;/a'"},
        {"", "Invalid path ''"},
    };
    for (const auto& f : failures) {
        EXPECT_EQ(conf->createDirlist(f.first, false), nullptr) << f.first;
        EXPECT_TRUE(log.has(1, f.second)) << f.second;
    }
}

TEST_F(BuildTest, CoveredLiteralsFollowTheTreeMode)
{
    auto conf = buildConf("A /logs/*.log" + kWild + " B /logs/a.log");
    EXPECT_EQ(describe(conf->createDirlist("/", false)),
              (Lines{"/ [] sc1", "/logs/*.log [logs/*.log] sc2 wc </", "/logs/a.log [logs/a.log] sc3 </logs/*.log"}));
    EXPECT_EQ(describe(conf->createDirlist("/", true)),
              (Lines{"/ [] sc1", "/logs/*.log [logs/*.log] sc2 wc </", "/logs/a.log [logs/a.log] sc3 </"}));
}

TEST_F(BuildTest, TheSearchDecidesTheTopSubclient)
{
    auto conf = loadConf("\tdefault\n\tA\n/data\n\tB\n/w/b*" + kWild + "\n/m/x\n\tC\n/two/*.txt" + kWild + "\n/p/b*" +
                         kWild + "\n/q/b*" + kWild + "\n/d/cache*" + kWild + "\n\tD\n/two/a*" + kWild +
                         "\n/p/b/x\n/q/b\n/d/cache1/x\n"
                         // Names of one word, two words and longer; deeper than a search reads ahead.
                         "\tE\n/abcdefgh/12345678abcdefgh/q\n/a-name-longer-than-sixteen/x\n"
                         "/1/2/3/4/5/6/7/8/9/10/11/12/13/14/15/16/17/18\n");
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
        EXPECT_EQ(topSubclient(*conf, c.first), c.second) << c.first;
    EXPECT_EQ(describe(conf->createDirlist("/d/cache1", false)),
              (Lines{"/d/cache1 [] sc4", "/d/cache1/x [/x] sc5 </d/cache1"}));

    for (const char* path : {"/two/a.txt", "\\two\\a.txt"}) {  // two wildcard siblings match
        EXPECT_EQ(topSubclient(*conf, path), 0);
        EXPECT_TRUE(log.has(1, "Path 'a.txt' matches wild cards '/two/*.txt' and '/two/a*'"));
        EXPECT_TRUE(log.has(-1, std::string("Internal error during createDirlist '") + path + "'")) << log.dump();
        EXPECT_EQ(conf->getDelim(), '/');
    }
}

}  // namespace
