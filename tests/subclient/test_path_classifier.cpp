#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConfPrivate.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

namespace {

struct Content {
    const char* subclient;
    const char* path;
};

// One content path for each new subclient, in order.
void fill(FSSubclientConf& conf, std::initializer_list<Content> content)
{
    for (const Content& c : content) {
        ASSERT_EQ(0, conf.setName(c.subclient)) << c.subclient;
        ASSERT_EQ(0, conf.setPath(c.path)) << c.path;
    }
}

struct Question {
    const char* path;
    int scNum;
    int expected;
};

void expectAnswers(FSSubclientConf& conf, std::initializer_list<Question> questions)
{
    for (const Question& q : questions)
        EXPECT_EQ(q.expected, conf.pathTest(q.path, q.scNum)) << q.path << " for subclient " << q.scNum;
}

// A parent's lookups go through its child index (from eight children on),
// which serves only the case mode it was built in; the first searches after a
// change of a large tree walk the tree itself.
TEST(PathTest, SearchesAfterAChangeOfALargeTree)
{
    FSSubclientConf conf(13);
    ASSERT_EQ(0, conf.setName("A"));
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(0, conf.setPath(("/q/c" + std::to_string(i)).c_str()));
    ASSERT_EQ(0, conf.setName("B"));
    ASSERT_EQ(0, conf.setPath("/r/s"));
    ASSERT_EQ(0, conf.setPath("/p/x*\\/\\/"));
    for (bool caseSensitive : {true, false}) {
        if (!caseSensitive)
            conf.caseInsensitive();
        const std::pair<const char*, int> owners[] = {
            {"/q/C3/f", caseSensitive ? 1 : 2}, {"/r/s/t", 3}, {"/p/xyz", 3}, {"/q/c3", 2}};
        for (const auto& owner : owners) {
            std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist(owner.first, false));
            ASSERT_TRUE(list);
            EXPECT_EQ(owner.second, list->getRoot()->subclient) << owner.first;
        }
    }
}

// The list pathTest keeps between calls answers in the case mode of its time.
TEST(PathTest, KeptListFollowsACaseModeChange)
{
    FSSubclientConf conf(13);
    fill(conf, {{"A", "/Data"}});
    expectAnswers(conf, {{"/data/x", 2, 0}, {"/Data/x", 2, 1}});
    conf.caseInsensitive();
    expectAnswers(conf, {{"/data/x", 2, 1}});
    conf.caseSensitive();
    expectAnswers(conf, {{"/data/x", 2, 0}});
}

TEST(PathTest, ContentOfNestedSubclients)
{
    FSSubclientConf conf;
    fill(conf, {{"two", "/data"}, {"three", "/data/tmp"}});
    // /DATA/X: the default application type ignores case. Patterns: /data could hold /d*, and
    // its nodir /data/tmp does not hold all of it.
    expectAnswers(conf, {{"/data/x", 2, 1},
                         {"/data", 2, 1},
                         {"/DATA/X", 2, 1},
                         {"//data//x/", 2, 1},
                         {"/data/tmp/y", 2, 0},
                         {"/data/tmp", 2, 0},
                         {"/other", 2, 0},
                         {"/", 2, 0},
                         {"/data/tmp/y", 3, 1},
                         {"/data/x", 3, 0},
                         {"/other", 1, 1},
                         {"/", 1, 1},
                         {"/database", 1, 1},
                         {"/data/x", 1, 0},
                         {"/data/tmp/y", 1, 0},
                         {"/d*", 2, 1},
                         {"/data/t*", 2, 1},
                         {"/data/tmp/*", 2, 0},
                         {"/**", 1, 1}});
}

TEST(PathTest, BadSubclientNumbersComeBeforeThePath)
{
    FSSubclientConf conf;
    fill(conf, {{"two", "/data"}});
    CaptureLog log(1);
    for (int scNum : {0, -1, 3}) {
        log.clear();
        EXPECT_EQ(-1, conf.pathTest("", scNum));
        EXPECT_TRUE(log.has(1, "('', " + std::to_string(scNum) + "): bad subclient number")) << log.dump();
    }
    log.clear();
    EXPECT_EQ(-1, conf.pathTest("", 2));
    EXPECT_TRUE(log.has(1, "(, 2): invalid path")) << log.dump();
    EXPECT_EQ(-1, conf.pathTest(nullptr, 2));
}

TEST(PathTest, NameForm)
{
    FSSubclientConf conf;
    fill(conf, {{"two", "/data"}});
    CaptureLog log(1);
    EXPECT_EQ(1, conf.pathTest("/data/x", "two"));
    EXPECT_EQ(1, conf.pathTest("/other", "default"));
    EXPECT_EQ(-1, conf.pathTest("/data/x", "nobody"));
    EXPECT_EQ(-1, conf.pathTest("/data/x", static_cast<const char*>(nullptr)));
    EXPECT_TRUE(log.records().empty()) << log.dump();
}

TEST(PathTest, BackslashPathsUseABackslashList)
{
    FSSubclientConf conf;
    fill(conf, {{"two", "/data"}});
    EXPECT_EQ(1, conf.pathTest("\\data\\x", 2));
    EXPECT_EQ(0, conf.pathTest("\\other", 2));
    EXPECT_EQ(0, conf.pathTest("\\data\\x", 1));
    EXPECT_EQ(1, conf.pathTest("/data/x", 2));  // back to the slash list
    EXPECT_EQ('/', conf.getDelim());
}

TEST(PathTest, NodirsFallBackToHistory)
{
    FSSubclientConf conf;
    fill(conf, {{"two", "/data"}, {"three", "/data/tmp"}});
    CFSSubclientConfPrivate& d = FSSubclientConfTestAccess::priv(conf);
    FSHistory past;
    past.path = "/data/tmp/old";
    d.historyList.push_back(past);
    d.historyStart = {0, 0};  // the past content belongs to subclient 2
    d.historyToTime = 200;
    d.historyFromTime = 100;
    expectAnswers(conf, {{"/data/tmp/old/x", 2, 1}, {"/data/tmp/new", 2, 0}});
    // Content that appeared during the window did not take the path from subclient 2 for all of it.
    for (FSPlayback& record : d.replayVec)
        if (record.text == "/data/tmp")
            record.created = 150;
    expectAnswers(conf, {{"/data/tmp/new", 2, 1}, {"/data/tmp/new", 3, 1}});
}

TEST(PathTest, ApplicationType106AnswersYesForEveryEntry)
{
    FSSubclientConf conf(106);
    fill(conf, {{"two", "/data"}, {"three", "/data/tmp"}});
    ASSERT_EQ(0, conf.setName("four"));
    // Subclient 4 has no entry: the history decides.
    expectAnswers(conf, {{"/other", 2, 1}, {"/data/tmp/x", 2, 1}, {"/other", 4, 0}, {"/data/x", 1, 0}});
}

// A scan start point's marker reads as the path's delimiter; the same entry
// as a nodir of another subclient keeps it, also on later calls.
TEST(PathTest, ImageVolumeNamesTakeThePathsDelimiter)
{
    FSSubclientConf conf(65);
    fill(conf, {{"two", "/v"}, {"three", "/v/x\x12y\x13rest"}});
    for (int round = 0; round < 2; ++round)
        expectAnswers(conf, {{"/v/x/y/z", 3, 1},
                             {"/v/x/other", 3, 0},
                             {"\\v\\x\\y", 3, 1},
                             {"/v/x/y/z", 2, 1},
                             {"/v/x\x12y\x13rest/z", 2, 0}});
}

// A subclient's deeper scan start point inside another subclient's content
// claims the paths below it, though an earlier entry's nodir holds them too.
TEST(PathTest, NestedScanStartPointsOfOneSubclient)
{
    FSSubclientConf conf;
    conf.setAllowOverlapSCContent(true);   // lets a subclient list content below its own
    ASSERT_EQ(0, conf.setPath("/a/b/c"));  // the default subclient's own content
    fill(conf, {{"two", "/a"}});
    ASSERT_EQ(0, conf.setPath("/a/b/c/d/e"));
    fill(conf, {{"three", "/a/b/c/d"}});
    expectAnswers(conf, {{"/a/b/c/x", 1, 1},
                         {"/a/x", 1, 0},
                         {"/a/b/c/x", 2, 0},
                         {"/a/b/x", 2, 1},
                         {"/a/b/c/d/e/f", 2, 1},
                         {"/a/b/c/d/x", 2, 0},
                         {"/a/b/c/d/x", 3, 1},
                         {"/a/b/c/d/e/f", 3, 0}});
}

// With overlapping content allowed a subclient may hold a wildcard below its
// own content; another subclient's literal that the wildcard covers stays
// that subclient's, in the whole-tree list as in createDirlist.
TEST(PathTest, WildcardBelowOwnContentLeavesACoveredLiteralToItsSubclient)
{
    FSSubclientConf conf;
    conf.setAllowOverlapSCContent(true);
    fill(conf, {{"two", "/a"}});
    ASSERT_EQ(0, conf.setPath("/a/*\\/\\/"));
    fill(conf, {{"three", "/a/b"}});
    expectAnswers(
        conf, {{"/a/b/x", 3, 1}, {"/a/b/x", 2, 0}, {"/a/b", 3, 1}, {"/a/b", 2, 0}, {"/a/c/x", 2, 1}, {"/a/c/x", 3, 0}});
    std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist("/a/b/x", false));
    ASSERT_TRUE(list);
    EXPECT_EQ(3, list->getRoot()->subclient);
}

// The kept list must answer exactly like a list built afresh for every call.
// The answers of the kept list's index must be those of the walk through the
// whole chain, which a call takes when level-3 records are on (and which the
// kept list's reuse must not change either). Content goes to the subclient
// named last, so each round grows a few subclients from scratch while
// changes, past content and questions interleave.
class IndexedAnswers : public ::testing::Test {
protected:
    // The same step on both configurations, with the same result.
    template <typename Step>
    void both(Step step)
    {
        ASSERT_EQ(step(*walked), step(*indexed));
    }
    void round(std::mt19937& random, int steps, int appType);
    void addPast(std::mt19937& random, const std::string& path);
    std::string question(std::mt19937& random);
    void ask(const std::string& path, int scNum, bool byName, int step);

    std::unique_ptr<FSSubclientConf> indexed;
    std::unique_ptr<FSSubclientConf> walked;
    std::vector<std::pair<int, std::string>> past;  // subclient, content text
    int answered[3] = {0, 0, 0};                    // how often -1, 0 and 1 came back
};

const std::vector<const char*> kContent = {
    "/a",     "/a/b",      "/a/b/c",           "/a/c",           "/b",         "/b/a/c",      "/c",
    "/A/B",   "\\a\\b",    "/a/b/c/d",         "/b/d",           "/a/*\\/\\/", "/b/x*\\/\\/", "/a/b/*.log\\/\\/",
    "/v",     "/v/x\x12y", "/v/x\x12y\x13z/w", "/caf\xc3\xa9/b", "/d/e/f/g/h", "/d/e",        "/d/e/f/g/h/i*\\/\\/",
    "./al*vo"};  // a name with an empty component, which no test can parse

// Content of the rounds, a component more or less, another case, another
// delimiter; some with pattern characters, which the index does not serve.
std::string IndexedAnswers::question(std::mt19937& random)
{
    static const std::vector<std::string> fixed = {"/a/b/*.log", "/x/y",     "/",         "/a/B/c",  "/**",
                                                   "/a/b/x.log", "/v/x/y/z", "\\v\\x\\y", "/b/xy/z", "/d/e/f/g/h/ix"};
    if (random() % 4 == 0)
        return fixed[random() % fixed.size()];
    std::string path = kContent[random() % kContent.size()];
    if (path.size() > 4 && path.compare(path.size() - 4, 4, "\\/\\/") == 0)
        path = path.substr(0, path.rfind(path[0]));
    static const std::vector<std::string> more = {"", "", "q", "x.log", "c", "B", "cache", "CAF\xc3\xa9"};
    for (unsigned n = random() % 3; n > 0; --n)
        path += path.substr(0, 1) + more[random() % more.size()];
    if (random() % 4 == 0)
        for (char& c : path)
            c = c == '/' ? '\\' : c;
    if (random() % 5 == 0)
        std::transform(path.begin(), path.end(), path.begin(), [](char c) { return std::toupper(c); });
    return path;
}

// Past content of a subclient, and times on the records of content now
// held, so that nodirs hold a path for the whole window or not.
void IndexedAnswers::addPast(std::mt19937& random, const std::string& path)
{
    past.emplace_back(static_cast<int>(random() % 4) + 1, path);
    std::stable_sort(past.begin(), past.end());
    std::vector<uint32_t> times;
    for (size_t i = 0; i < FSSubclientConfTestAccess::priv(*indexed).replayVec.size(); ++i)
        times.push_back(random() % 3 * 100 + 50);
    both([&](FSSubclientConf& c) {
        CFSSubclientConfPrivate& d = FSSubclientConfTestAccess::priv(c);
        d.historyList.clear();
        d.historyStart.assign(5, static_cast<int>(past.size()));
        for (size_t i = past.size(); i-- > 0;)
            d.historyStart[static_cast<size_t>(past[i].first) - 1] = static_cast<int>(i);
        for (const auto& entry : past) {
            std::string text;
            bool wild = isWildCardContent(entry.second, text);
            d.historyList.push_back(FSHistory{wild, text});
        }
        for (size_t i = 0; i < times.size(); ++i)
            d.replayVec[i].created = times[i] % 200, d.replayVec[i].modified = times[i] > 200 ? times[i] : 0;
        d.historyFromTime = 100;
        d.historyToTime = 200;
        d.historyIndex.drop();
        return 0;
    });
}

void IndexedAnswers::ask(const std::string& path, int scNum, bool byName, int step)
{
    const std::string name = scNum == 1 ? "default" : "sc" + std::to_string(scNum);
    auto pathTest = [&](FSSubclientConf& c) {
        return byName && scNum > 1 ? c.pathTest(path.c_str(), name.c_str()) : c.pathTest(path.c_str(), scNum);
    };
    FSSubclientConfTestAccess::priv(*walked).dropPathTestDirlist();
    std::vector<LogRecord> walkRecords;
    int expected;
    {
        CaptureLog trace(3);
        expected = pathTest(*walked);
        walkRecords = trace.records();
    }
    EXPECT_EQ(expected, pathTest(*indexed)) << "step " << step << ": " << path << " for subclient " << scNum;
    ++answered[expected + 1];
    if (step % 16 == 0) {  // with the trace on, the kept list writes the records the fresh one does
        CaptureLog trace(3);
        pathTest(*indexed);
        std::vector<LogRecord> records = trace.records();
        ASSERT_EQ(walkRecords.size(), records.size()) << path;
        for (size_t i = 0; i < records.size(); ++i)
            EXPECT_EQ(walkRecords[i].text, records[i].text);
    }
}

void IndexedAnswers::round(std::mt19937& random, int steps, int appType)
{
    indexed.reset(new FSSubclientConf(appType));
    walked.reset(new FSSubclientConf(appType));
    past.clear();
    for (int step = 0, names = 1; step < steps && !HasFatalFailure(); ++step) {
        unsigned choice = random() % 100;
        if (choice < 5 && names < 6) {
            std::string name = "sc" + std::to_string(++names);
            both([&](FSSubclientConf& c) { return c.setName(name.c_str()); });
        } else if (choice < 20) {
            const char* path = kContent[random() % kContent.size()];
            both([&](FSSubclientConf& c) { return c.setPath(path); });
        } else if (choice < 22) {
            char delim = random() % 2 ? '/' : '\\';
            both([&](FSSubclientConf& c) { return c.setDelim(delim), 0; });
        } else if (choice < 24) {
            bool sensitive = random() % 2;
            both([&](FSSubclientConf& c) { return sensitive ? c.caseSensitive() : c.caseInsensitive(), 0; });
        } else if (choice < 25) {
            bool allow = random() % 2;
            both([&](FSSubclientConf& c) { return c.setAllowOverlapSCContent(allow), 0; });
        } else if (choice < 27) {
            addPast(random, kContent[random() % kContent.size()]);
        } else {
            std::string path = question(random);
            ask(path, static_cast<int>(random() % (names + 1)) + 1, random() % 4 == 0, step);
        }
    }
}

TEST_F(IndexedAnswers, RandomChangesPastContentAndQuestions)
{
    CaptureLog quiet(-1);
    std::mt19937 random(20261206);
    for (int r = 0; r < 60 && !HasFailure(); ++r)
        round(random, 300, std::vector<int>{1, 65, 106}[r % 3]);  // 65 converts image-volume names
    // The sequences must reach every kind of answer to prove anything.
    EXPECT_GT(answered[1], 500);
    EXPECT_GT(answered[2], 500);
}

// Without history, exactly one subclient backs up a path: the one that
// createDirlist puts on the path's top entry.
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
            std::vector<int> yes;
            for (int scNum = 1; scNum <= conf.getNumSubclients(); ++scNum)
                if (conf.pathTest(path, scNum) == 1)
                    yes.push_back(scNum);
            EXPECT_EQ(std::vector<int>{list->getRoot()->subclient}, yes) << "round " << round << ": " << path;
        }
    }
}

}  // namespace
