// Path classification: does a subclient back up a path (pathTest), and do directory lists agree.
#include "SubclientTest.h"

#include <algorithm>
#include <random>

namespace {

TEST(PathTest, Scenarios)
{
    const struct {
        int appType;
        bool allowOverlap;
        Strings lines;
        Strings answers;  // a path, then what pathTest answers for each subclient
        Strings nodirsOfA{};
    } cases[] = {
        // The default application type ignores case; /data could hold /d*, its nodir /data/tmp not all of it.
        {1,
         false,
         {"\ttwo", "/data", "\tthree", "/data/tmp"},
         {"/data/x 010", "/data 010", "/DATA/X 010", "//data//x/ 010", "/data/tmp/y 001", "/data/tmp 001", "/other 100",
          "/ 100", "/database 100", "/d* 110", "/data/t* 011", "/data/tmp/* 001", "/** 111", "\\data\\x 010",
          "\\other 100"}},
        // Subclient 4 has no entry: the history decides.
        {106,
         false,
         {"\ttwo", "/data", "\tthree", "/data/tmp", "\tfour"},
         {"/other 1110", "/data/tmp/x 0110", "/data/x 0110"}},
        // A scan start point's marker reads as the path's delimiter; the same entry
        // as a nodir of another subclient keeps it.
        {65,
         false,
         {"\ttwo", "/v", "\tthree", "/v/x\x12y\x13rest"},
         {"/v/x/y/z 011", "/v/x/other 010", "\\v\\x\\y 011", "/v/x\x12y\x13rest/z 000"}},
        // A deeper start point inside another subclient's content claims the paths
        // below it, though an earlier entry's nodir holds them too.
        {1,
         true,
         {"/a/b/c", "\ttwo", "/a", "/a/b/c/d/e", "\tthree", "/a/b/c/d"},
         {"/a/b/c/x 100", "/a/x 010", "/a/b/x 010", "/a/b/c/d/e/f 010", "/a/b/c/d/x 001"}},
        // A wildcard below a subclient's own content leaves a covered literal to its subclient.
        {1, true, {"\ttwo", "/a", wild("/a/*"), "\tthree", "/a/b"}, {"/a/b/x 001", "/a/b 001", "/a/c/x 010"}},
        // A wildcard takes the paths it matches, except those below a literal of another subclient.
        {1,
         false,
         {"\tA", wild("/logs/*.tmp"), "\tB", "/logs/x.tmp/deeper"},
         {"/logs/x.tmp/f 010", "/logs/x.tmp/deeper/f 001", "/logs/y.tmp 010", "/logs/x.txt 100"},
         {"/logs/x.tmp/deeper"}},
        // A literal that an insertion already linked under its covering wildcard becomes content later.
        {1,
         false,
         {"\tA", wild("/logs/*.tmp"), "\tB", "/logs/x.tmp/deeper", "\tC", "/logs/x.tmp"},
         {"/logs/x.tmp/f 0001", "/logs/x.tmp/deeper/f 0010", "/logs/y.tmp 0100"},
         {"/logs/x.tmp"}},
        // A second wildcard of the covering subclient takes the literal over: it stands in one list.
        {1, false, {"\tB", "/ab", "\tA", wild("/a*"), wild("/ab*")}, {"/ac 001"}, {"/ab"}},
        // Pattern characters in the first and in the last block of a path of sixteen bytes and more: no key
        // predicts their tests.
        {1,
         false,
         {"\ttwo", "/data/0123456789abcdefgh/x"},
         {"/data/0123456789abcdef*/x 11", "/data/0123456789abcdefgh/x?y 10", "/da*/0123456789abcdefgh/x 11"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.back());
        FSSubclientConf conf(c.appType);
        conf.setAllowOverlapSCContent(c.allowOverlap);
        fill(conf, c.lines);
        for (int round = 0; round < 2; ++round)  // the second round asks the kept list
            expectAnswers(conf, c.answers);
        EXPECT_EQ('/', conf.getDelim()) << "a question leaves the delimiter alone";
        LineSink nodirs;
        conf.nodirs(&nodirs, "A");
        if (!c.nodirsOfA.empty()) {
            EXPECT_EQ(nodirs.lines, c.nodirsOfA);
        }
    }
}

// A parent's lookups go through its child index (from eight children on),
// which serves only the case mode it was built in; the first searches after a
// change of a large tree walk the tree itself. The list pathTest keeps between
// calls answers in the case mode of its time.
TEST(PathTest, SearchesAfterAChangeOfALargeTree)
{
    FSSubclientConf conf(13);
    ASSERT_EQ(0, conf.setName("A"));
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(0, conf.setPath(("/q/c" + std::to_string(i)).c_str()));
    fill(conf, {"\tB", "/r/s", wild("/p/x*")});
    expectAnswers(conf, {"/q/C3/f 100", "/r/s/t 001", "/p/xyz 001", "/q/c3 010"});
    conf.caseInsensitive();
    expectAnswers(conf, {"/q/C3/f 010", "/r/s/t 001", "/p/xyz 001", "/q/c3 010"});
}

TEST(PathTest, BadSubclientsAndPaths)
{
    FSSubclientConf conf;
    fill(conf, {"\ttwo", "/data"});
    CaptureLog log(1);
    for (int scNum : {0, -1, 3}) {
        EXPECT_EQ(-1, conf.pathTest("", scNum));
        EXPECT_TRUE(log.has(1, "('', " + std::to_string(scNum) + "): bad subclient number")) << log.dump();
    }
    EXPECT_EQ(-1, conf.pathTest("", 2));
    EXPECT_TRUE(log.has(1, "(, 2): invalid path")) << log.dump();
    EXPECT_EQ(-1, conf.pathTest(nullptr, 2));
    log.clear();
    EXPECT_EQ(1, conf.pathTest("/data/x", "two"));
    EXPECT_EQ(1, conf.pathTest("/other", "default"));
    EXPECT_EQ(-1, conf.pathTest("/data/x", "nobody"));
    EXPECT_EQ(-1, conf.pathTest("/data/x", static_cast<const char*>(nullptr)));
    EXPECT_TRUE(log.records().empty()) << "the name form fails quietly\n" << log.dump();
}

// Without history, exactly one subclient backs up a path: the one that
// createDirlist puts on the path's top entry. With the trace on, pathTest
// walks every entry of its kept list; without, it asks the list's index.
TEST(PathTest, OneSubclientPerPathAgreesWithCreateDirlist)
{
    std::vector<const char*> content = {
        "/a",          "/a/b",        "/a/b/c",           "/b",       "/b/a",      "/c/d/e", "/d/cache*\\/\\/",
        "/d/cache1/x", "/b/x*\\/\\/", "/a/b/*.log\\/\\/", "/A/b/C/d", "/c/d/e/f/g"};
    const std::vector<const char*> questions = {
        "/a",       "/a/b", "/a/b/x", "/a/b/c/d",   "/a/q",        "/b/xy/z",       "/b",        "/a/b/x.log", "/c",
        "/c/d/e/f", "/x",   "/",      "/a/B/c/d/e", "/d/cache1/y", "/d/cache1/x/z", "/d/cache2", "/d"};
    std::mt19937 random(8);
    for (int round = 0; round < 40; ++round) {
        // Each content path goes to one subclient at most: duplicates are not what this is about.
        std::shuffle(content.begin(), content.end(), random);
        FSSubclientConf conf;
        for (size_t next = 0, name = 2; name <= 5; ++name) {
            ASSERT_EQ(0, conf.setName(("sc" + std::to_string(name)).c_str()));
            for (int n = random() % 4; n > 0 && next < content.size(); --n)
                conf.setPath(content[next++]);
        }
        for (const char* path : questions) {
            std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist(path, false));
            ASSERT_TRUE(list) << path;
            std::string expected(static_cast<size_t>(conf.getNumSubclients()), '0');
            expected[static_cast<size_t>(list->getRoot()->subclient) - 1] = '1';
            EXPECT_EQ(answers(conf, path), expected) << "round " << round << ": " << path;
            CaptureLog trace(3);
            EXPECT_EQ(answers(conf, path), expected) << "the walk, round " << round << ": " << path;
        }
    }
}

}  // namespace
