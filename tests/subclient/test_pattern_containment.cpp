#include "subclient/FSSubclientConfPrivate.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"

#include <gtest/gtest.h>

namespace {

struct PatternCase {
    const char* dirname;
    bool isWildcard;
    const char* pattern;
    int expected;
};

std::string describe(const PatternCase& c)
{
    return std::string(c.dirname) + (c.isWildcard ? " (wild card) " : " (literal) ") + c.pattern;
}

TEST(DirnameTest, CouldTheDirectoryContainThePattern)
{
    const PatternCase cases[] = {
        {"/data", false, "/data/x/y", 1},
        {"/data", false, "/data", 1},
        {"/data/x", false, "/data", 0},
        {"/data", false, "/database", 0},
        {"/", false, "/anything/below", 1},
        {"/d*", true, "/data/x", 1},
        {"/d*", false, "/data/x", 0},  // the same text, taken literally
        {"/data", false, "/d*/x", 1},
        {"/data", false, "/**", 1},
        {"/a/b/c", false, "/a/**", 1},
        {"/data/*.log", true, "/data/x.txt", 0},
        {"\\c:\\data", false, "\\c:\\data\\x", 1},
        {"/DATA", false, "/data/x", 1},  // the default application type ignores case
    };
    FSSubclientConf conf, exact(13);
    for (const PatternCase& c : cases)
        EXPECT_EQ(c.expected, conf.dirnameTest(c.dirname, c.pattern, '/', c.isWildcard)) << describe(c);
    EXPECT_EQ(0, exact.dirnameTest("/DATA", "/data/x", '/', false));
}

TEST(CompletelyContains, DoesTheDirectoryHoldAllOfThePattern)
{
    const PatternCase cases[] = {
        {"/data", false, "/data/x", 1}, {"/data", false, "/data", 1},
        {"/data", false, "/d*", 0},  // the pattern may name paths outside /data
        {"/d*", true, "/data/x", 1},    {"/data", false, "/**/x", 0},
        {"/*", true, "/**/x", 0},       {"/data/x", false, "/data", 0},
        {"/", false, "/x/y", 1},
    };
    FSSubclientConf conf;
    for (const PatternCase& c : cases)
        EXPECT_EQ(c.expected, conf.completelyContains(c.dirname, c.pattern, '/', c.isWildcard)) << describe(c);
}

TEST(PatternTests, UnparsableTextsAreErrorsWithTheirMessages)
{
    FSSubclientConf conf;
    CaptureLog log(1);
    EXPECT_EQ(-1, conf.dirnameTest("", "/x", '/', false));
    EXPECT_TRUE(log.has(1, "Cannot parse dirname '' (literal)")) << log.dump();
    EXPECT_EQ(-1, conf.completelyContains("//a", "/x", '/', true));
    EXPECT_TRUE(log.has(1, "Cannot parse dirname '//a' (wild card)")) << log.dump();
    EXPECT_EQ(-1, conf.dirnameTest("/a", "/x//y", '/', false));
    EXPECT_TRUE(log.has(1, "Cannot parse pattern '/x//y'")) << log.dump();
    EXPECT_EQ(-1, conf.completelyContains(nullptr, "/x", '/', false));
    EXPECT_EQ(-1, conf.dirnameTest("/x", nullptr, '/', false));
}

// A configuration with a loaded history window from 100 to 200 and a path
// record /data of subclient 2 stamped with the given times.
class HistoryWindow : public ::testing::Test {
protected:
    HistoryWindow() : d(FSSubclientConfTestAccess::priv(conf))
    {
        d.historyFromTime = 100;
        d.historyToTime = 200;
        d.historyList.push_back(pastContent("/old", false));
        d.historyStart = {0, 0};
    }
    static FSHistory pastContent(const char* path, bool isWildcard)
    {
        FSHistory h;
        h.path = path;
        h.isWildcard = isWildcard;
        return h;
    }
    void addRecord(const char* text, uint32_t created, uint32_t modified)
    {
        FSPlayback record;
        record.kind = FSPlayback::kindPath;
        record.text = text;
        record.created = created;
        record.modified = modified;
        d.replayVec.push_back(record);
    }

    FSSubclientConf conf;
    CFSSubclientConfPrivate& d;
};

TEST_F(HistoryWindow, ContentMustStandThroughTheWholeWindow)
{
    struct {
        uint32_t created, modified;
        int expected;
        const char* message;  // the level-3 record that says why
    } const cases[] = {
        {100, 0, 1, nullptr},   // created exactly when the window begins
        {0, 0, 1, nullptr},     // never stamped
        {50, 201, 1, nullptr},  // modified after the window
        {101, 0, 0, "'/data/x' is NOT completely contained in '/data' as 101 > 100"},
        {50, 200, 0, "'/data/x' is NOT completely contained in '/data' as 200 <= 200"},
    };
    for (const auto& c : cases) {
        CaptureLog log(3);
        d.replayVec.clear();
        addRecord("/data", c.created, c.modified);
        EXPECT_EQ(c.expected, conf.completelyContains("/data", "/data/x", '/', false))
            << "created " << c.created << " modified " << c.modified;
        if (c.message) {
            EXPECT_TRUE(log.has(3, c.message)) << log.dump();
        }
    }
}

}  // namespace
