// Directory lists built from configurations (search, owner, nodirs, prefixes, depth) and browsed: the
// root's children that lead to other subclients' content.
#include "DirlistKit.h"

namespace {

// One line per entry in whole-list order: name, suffix, subclient, wildcard
// flag, to-time, app id, parent and display name.
Strings describe(FSSubclientDirlist* list)
{
    Strings lines;
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
    EXPECT_EQ(describe(FSSubclientConf().createDirlist("/", false)), Strings{"/ [] sc1"});
    auto conf = loadConf("\tdefault\n\tA\n/a/b\n/q\n\tB\n/a/b/c\n/a/two\n\x12Two\n");
    const std::pair<const char*, Strings> cases[] = {
        {"/",
         {"/ [] sc1", "/a/b [a/b] sc2 </", "/a/b/c [a/b/c] sc3 </a/b", "/a/two [a/two] sc3 </ 'Two'", "/q [q] sc2 </"}},
        {":500:/a",
         {"/a [] sc1 t500", "/a/b [/b] sc2 t500 </a", "/a/b/c [/b/c] sc3 t500 </a/b",
          "/a/two [/two] sc3 t500 </a 'Two'"}},
        {";500;42;/a/b", {"/a/b [] sc2 t500 app42", "/a/b/c [/c] sc3 t500 </a/b"}},
        {"//a///b/", {"/a/b [] sc2", "/a/b/c [/c] sc3 </a/b"}},
        {"/a/b/x", {"/a/b/x [] sc2"}},  // the search stops short below /a/b
        {"/a/two", {"/a/two [] sc3 'Two'"}},
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

// Doubled delimiters are found sixteen bytes at a time: one at each place, across block edges too.
TEST_F(BuildTest, ADoubledDelimiterAnywhereInALongPathIsNormalized)
{
    auto conf = buildConf("A /ab");
    const std::string path = "/ab/cd/ef/gh/ij/kl/mn/op/qr/st/uv/wx";
    for (std::size_t at = 0; at <= path.size(); at += 3)
        EXPECT_EQ(describe(conf->createDirlist((path.substr(0, at) + "/" + path.substr(at)).c_str(), false)),
                  (Strings{path + " [] sc2"}))
            << at;
}

TEST_F(BuildTest, TheSearchDecidesTheTopSubclient)
{
    // Names of one word, two words and longer; deeper than a search reads ahead.
    auto conf = buildConf("A /data B /w/b*" + kWild + " /m/x C /two/*.txt" + kWild + " /p/b*" + kWild + " /q/b*" +
                          kWild + " /d/cache*" + kWild + " D /two/a*" + kWild + " /p/b/x /q/b /d/cache1/x /p/b/a*" +
                          kWild + " E /p/b/*.c" + kWild +
                          " /abcdefgh/12345678abcdefgh/q /a-name-longer-than-sixteen/x "
                          "/1/2/3/4/5/6/7/8/9/10/11/12/13/14/15/16/17/18");
    // /p/b has no subclient of its own, so the wildcard b* decides, where /q/b is content itself; below
    // /d/cache1, a literal folder covered by a wildcard, the wildcard's subclient.
    const std::pair<const char*, int> cases[] = {
        {"/DATA/deep", 2},
        {"/w/bee/deeper", 3},
        {"/w/c", 1},
        {"/m", 1},
        {"/two/b.txt", 4},
        {"/p/b", 4},
        {"/q/b", 5},
        {"/d/cache1/y/z", 4},
        {"/d/cache1/x/q", 5},
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
              (Strings{"/d/cache1 [] sc4", "/d/cache1/x [/x] sc5 </d/cache1"}));
    // Outside the strict tree mode a covered literal hangs below its wildcard.
    EXPECT_EQ(describe(conf->createDirlist("/q", false)),
              (Strings{"/q [] sc1", "/q/b* [/b*] sc4 wc </q", "/q/b [/b] sc5 </q/b*"}));

    // Two wildcard siblings match; the message names the component, also one level below wildcards.
    const std::pair<const char*, const char*> ambiguous[] = {
        {"/two/a.txt", "Path 'a.txt' matches wild cards '/two/*.txt' and '/two/a*'"},
        {"\\two\\a.txt", "Path 'a.txt' matches wild cards '/two/*.txt' and '/two/a*'"},
        {"/p/b/a.c", "Path 'a.c' matches wild cards '/p/b/a*' and '/p/b/*.c'"},
    };
    for (const auto& [path, message] : ambiguous) {
        EXPECT_EQ(topSubclient(*conf, path), 0);
        EXPECT_TRUE(log.has(1, message)) << log.dump();
        EXPECT_TRUE(log.has(-1, std::string("Internal error during createDirlist '") + path + "'")) << log.dump();
        EXPECT_EQ(conf->getDelim(), '/');
    }
}

// The children as "path below wc subclient", through both forms of the walk, which must agree.
Strings browse(FSSubclientDirlist& list)
{
    Strings texts, items;
    TBrowseItem c;
    auto describe = [&c] {
        return c.path + (c.hasNodirsBelow ? " below" : "") + (c.isWildcard ? " wc" : "") + " " +
               std::to_string(c.subclient);
    };
    for (char* path = list.getFirstBrowseChild(&c.hasNodirsBelow, &c.isWildcard, &c.subclient, nullptr); path;
         path = list.getNextBrowseChild(&c.hasNodirsBelow, &c.isWildcard, &c.subclient, nullptr)) {
        c.path = path;
        texts.push_back(describe());
    }
    for (bool more = list.getFirstBrowseItem(c, nullptr); more; more = list.getNextBrowseItem(c, nullptr))
        items.push_back(describe());
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
    const std::pair<std::string, Strings> cases[] = {
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
    Strings excluded = {"stale"};
    ASSERT_STREQ(list->getFirstBrowseChild(nullptr, nullptr, nullptr, &excluded), "/home/a*");
    EXPECT_EQ(excluded, (Strings{"/home/a2", "/home/a1"}));  // covered-list order
    // Trimmed children exclude nothing, though the wildcard below one covers a literal.
    TBrowseItem item;
    Strings trimmed;
    while (list->getNextBrowseItem(item, &excluded)) {
        trimmed.push_back(item.path);
        EXPECT_TRUE(excluded.empty()) << item.path;
    }
    EXPECT_EQ(trimmed, (Strings{"/home/y", "/home/z"}));
}

// Very deep content and many nested subclients go through lists and scan lists without recursion per level.
TEST(Limits, AHundredThousandComponentsAndAThousandNestedSubclients)
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
    EXPECT_EQ(chainOf(*whole, 2), Strings{deep});  // the entries below it are duplicates
    bool hasNodirsBelow = false;
    EXPECT_STREQ(whole->getFirstBrowseChild(&hasNodirsBelow, nullptr, nullptr, nullptr), "/d");
    EXPECT_TRUE(hasNodirsBelow);
    for (Output run : {kDirnames, kNodirs, kTree})
        EXPECT_EQ(output(*conf, run, run == kNodirs ? 1 : 2), Strings{deep});

    std::string path, content;
    for (int i = 0; i < 1000; ++i)
        content += " S" + std::to_string(i) + " " + (path += "/n");
    auto nested = buildConf(content);
    std::unique_ptr<FSSubclientDirlist> list(nested->createDirlist("/", false));
    ASSERT_TRUE(list);
    EXPECT_EQ(chainOf(*list, 1001), Strings{path});
    EXPECT_EQ(output(*nested, kNodirs, 1000), Strings{path});
}

}  // namespace
