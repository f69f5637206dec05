// Replay of names and content onto another object, with one content path substituted.
#include "SubclientTest.h"

namespace {

const Strings kLines = {"\tA", "/data", "/srv//db/", wild("/logs/*.tmp"), "\tB", "/var/log"};

TEST(Replay, OntoAnotherObject)
{
    const struct {
        Strings source;
        const char* fromPath;
        const char* toPath;
        int targetCode;
        const char* outcome;  // A's content on the target, or the failure's message
    } cases[] = {
        {kLines, "/elsewhere", "/unused", FS_NO_ERROR, "A: /data /srv/db /logs/*.tmp\\/\\/"},
        {kLines, "//srv/db/", "/mnt/db", FS_NO_ERROR, "A: /data /mnt/db /logs/*.tmp\\/\\/"},
        {kLines, "/logs/*.tmp", "/archive/*.tmp", FS_NO_ERROR, "A: /data /srv/db /archive/*.tmp\\/\\/"},
        {{"\tA"}, "/data", "/x", FS_NOTHING_TO_REPLAY, "Nothing to replay"},
        {kLines, "", "/x", FS_INVALID, "Bad from path ''"},
        {kLines, nullptr, "/x", FS_INVALID, "Bad from path '(null)'"},
        {kLines, "/data", nullptr, FS_INVALID, "Path failed: '(null)' (original='/data', i=2) returns -2"},
        {{"\tA", "/data", "/data/sub"}, "/x", "/y", FS_ANCESTOR, "Path failed: '/data/sub' (i=3) returns -1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outcome);
        FSSubclientConf source(13), target;
        source.setAllowOverlapSCContent(true);  // the target refuses what this lets the source hold
        fill(source, c.source);
        CaptureLog log(1);
        const bool replayed = c.targetCode == FS_NO_ERROR;
        EXPECT_EQ(source.replay(&target, c.fromPath, c.toPath), replayed ? 0 : -1);
        EXPECT_EQ(target.getErrCode(), c.targetCode);
        if (!replayed) {
            EXPECT_TRUE(log.has(c.outcome)) << log.dump();
            continue;
        }
        EXPECT_EQ(contentOf(target), (Strings{"default: /", c.outcome, "B: /var/log"}));
        EXPECT_TRUE(target.isCaseSensitive()) << "the target takes the source's case mode";
        // A second replay onto the same object stops at the first known name.
        EXPECT_EQ(source.replay(&target, c.fromPath, c.toPath), -1);
        EXPECT_TRUE(log.has(1, "setName 'default' (i=0) returns -1")) << log.dump();
    }
    FSSubclientConf source(13), folding(13);
    source.caseInsensitive();
    fill(source, kLines);
    ASSERT_EQ(source.replay(&folding, "/elsewhere", "/unused"), 0);
    EXPECT_FALSE(folding.isCaseSensitive());
    EXPECT_EQ(source.replay(nullptr, "/data", "/x"), -1);
}

TEST(Replay, OntoItselfReplaysOnlyTheRecordsItStartedWith)
{
    FSSubclientConf conf;
    conf.setAllowOverlapSCContent(true);
    ASSERT_EQ(conf.setPath("/data"), 0);
    EXPECT_EQ(conf.replay(&conf, "/x", "/y"), 0);
    LineSink tree;
    conf.treeOutput(&tree, 1);
    EXPECT_EQ(tree.lines.size(), 3u) << "the root, /data and its duplicate, but no duplicate of that";
}

}  // namespace
