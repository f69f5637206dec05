#include "LoadTestUtil.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

// default, then A with /data and /srv/db, then B with /var/log.
void fill(FSSubclientConf& conf)
{
    ASSERT_EQ(conf.setName("A"), 0);
    ASSERT_EQ(conf.setPath("/data"), 0);
    ASSERT_EQ(conf.setPath("/srv//db/"), 0);
    ASSERT_EQ(conf.setName("B"), 0);
    ASSERT_EQ(conf.setPath("/var/log"), 0);
}

const Strings kFilled = {"default", "A", "  /data", "  /srv/db", "B", "  /var/log"};

TEST(Replay, OntoAFreshObjectReproducesNamesAndContent)
{
    FSSubclientConf source(13);
    fill(source);
    FSSubclientConf target;
    CaptureLog log(1);
    ASSERT_EQ(source.replay(&target, "/elsewhere", "/unused"), 0) << log.dump();
    EXPECT_EQ(subclientNames(target), (Strings{"default", "A", "B"}));
    EXPECT_EQ(replayTexts(target), kFilled);
    EXPECT_EQ(target.nameToNumber("B"), 3);
    EXPECT_TRUE(target.isCaseSensitive());
    EXPECT_EQ(target.getErrCode(), FS_NO_ERROR);
    source.caseInsensitive();
    FSSubclientConf folding(13);
    ASSERT_EQ(source.replay(&folding, "/elsewhere", "/unused"), 0) << log.dump();
    EXPECT_FALSE(folding.isCaseSensitive()) << "the target takes the source's case mode";
}

TEST(Replay, TwiceOntoTheSameObjectStopsAtTheFirstKnownName)
{
    FSSubclientConf source;
    fill(source);
    FSSubclientConf target;
    ASSERT_EQ(source.replay(&target, "/elsewhere", "/unused"), 0);
    CaptureLog log(1);
    EXPECT_EQ(source.replay(&target, "/elsewhere", "/unused"), -1);
    EXPECT_TRUE(log.has(1, "setName 'default' (i=0) returns -1")) << log.dump();
    EXPECT_EQ(replayTexts(target), kFilled);
}

TEST(Replay, SubstitutesTheFromPath)
{
    FSSubclientConf source;
    fill(source);
    FSSubclientConf target;
    CaptureLog log(192);
    ASSERT_EQ(source.replay(&target, "//srv/db/", "/mnt/db"), 0) << log.dump();
    EXPECT_EQ(replayTexts(target), (Strings{"default", "A", "  /data", "  /mnt/db", "B", "  /var/log"}));
}

TEST(Replay, SubstitutedWildcardPathKeepsItsMarker)
{
    FSSubclientConf source;
    ASSERT_EQ(source.setName("A"), 0);
    ASSERT_EQ(source.setPath("/logs/*.tmp\\/\\/"), 0);
    ASSERT_EQ(source.setPath("/logs/*.bak\\/\\/"), 0);
    FSSubclientConf target;
    ASSERT_EQ(source.replay(&target, "/logs/*.tmp", "/archive/*.tmp"), 0);
    EXPECT_EQ(replayTexts(target), (Strings{"default", "A", "  /archive/*.tmp*", "  /logs/*.bak*"}));
    FSSubclientNode* node = findNode(target, "/archive/*.tmp");
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(node->pattern->isWildCard());
}

TEST(Replay, OntoItselfReplaysOnlyTheRecordsItStartedWith)
{
    FSSubclientConf conf;
    priv(conf).allowOverlapSCContent = true;
    ASSERT_EQ(conf.setPath("/data"), 0);
    // /data comes back as a duplicate of itself and adds a record while replaying.
    EXPECT_EQ(conf.replay(&conf, "/x", "/y"), 0);
    EXPECT_EQ(priv(conf).replayVec.size(), 3u);
}

TEST(Replay, Failures)
{
    struct Case {
        const char* what;
        bool content;
        const char* fromPath;
        const char* toPath;
        int level;
        const char* message;
        int targetCode;
    } cases[] = {
        {"no content", false, "/data", "/x", 1, "Nothing to replay", FS_NOTHING_TO_REPLAY},
        {"empty from path", true, "", "/x", 1, "Bad from path ''", FS_INVALID},
        {"null from path", true, nullptr, "/x", 1, "Bad from path '(null)'", FS_INVALID},
        {"ancestor refused by the target", true, "/x", "/y", -1, "Path failed: '/data/sub' (i=3) returns -1",
         FS_ANCESTOR},
        {"null to path", true, "/data", nullptr, -1, "Path failed: '(null)' (original='/data', i=2) returns -2",
         FS_INVALID},
    };
    for (const Case& c : cases) {
        FSSubclientConf source;
        ASSERT_EQ(source.setName("A"), 0);
        if (c.content) {
            priv(source).allowOverlapSCContent = true;
            ASSERT_EQ(source.setPath("/data"), 0);
            ASSERT_EQ(source.setPath("/data/sub"), 0);
        }
        FSSubclientConf target;
        CaptureLog log(1);
        EXPECT_EQ(source.replay(&target, c.fromPath, c.toPath), -1) << c.what;
        EXPECT_TRUE(log.has(c.level, c.message)) << c.what << log.dump();
        EXPECT_EQ(target.getErrCode(), c.targetCode) << c.what;
    }
    FSSubclientConf source;
    fill(source);
    EXPECT_EQ(source.replay(nullptr, "/data", "/x"), -1);
}

}  // namespace
