// Scan lists written from a configuration: the lines each subclient gets.
#include "DirlistKit.h"
#include "support/Capture.h"

namespace {

TEST(TreeOutput, WritesEachSubclientsLines)
{
    const std::string nested = "A /a/b B /a/b/c", ownBelowNodir = "A /a /a/b/c B /a/b", sameNested = "A /a/b /a/b/x";
    const std::string wild = "A /logs/*.log" + kWild, covered = wild + " B /logs/a.log";
    // A covered literal, then a sibling that no wildcard covers; a covered intermediate.
    const std::string coveredThenSibling = "A /logs/*.tmp" + kWild + " B /logs/x.tmp C /logs/y D /logs/y/z";
    const std::string coveredDeeper = "A /logs/*.tmp" + kWild + " B /logs/x.tmp/deeper";
    const struct {
        std::string content;
        bool allowOverlap;
        Output run;
        int scNum;
        Lines expected;
    } cases[] = {
        {"", false, kDirnames, 1, {"/"}},
        {"", false, kTree, 1, {"/"}},
        {nested, false, kDirnames, 2, {"/a/b"}},
        {nested, false, kNodirs, 2, {"/a/b/c"}},
        {nested, false, kDirnames, 3, {"/a/b/c"}},
        {nested, false, kDirnames, 4, {}},
        {"A /a B /a/b C /a/b/c", false, kNodirs, 3, {"/a/b/c"}},
        {ownBelowNodir, true, kNodirs, 2, {"/a/b"}},
        {ownBelowNodir, true, kDirnames, 2, {"/a", "/a/b/c"}},
        {ownBelowNodir, false, kDirnames, 2, {"/a"}},
        {sameNested, true, kDirnames, 2, {"/a/b", "/a/b/x"}},
        {sameNested, false, kDirnames, 2, {"/a/b"}},
        {sameNested, false, kTree, 2, {"/a/b", "/a/b/x"}},
        {wild, false, kDirnames, 2, {"/logs/*.log" + kWild}},
        {wild, false, kNodirs, 1, {"/logs/*.log" + kWild}},
        {covered, false, kNodirs, 2, {"/logs/a.log"}},
        {covered, false, kDirnames, 3, {"/logs/a.log"}},
        {coveredThenSibling, false, kNodirs, 4, {"/logs/y/z"}},
        {coveredThenSibling, false, kNodirs, 1, {"/logs/*.tmp" + kWild, "/logs/y"}},
        {coveredDeeper, false, kNodirs, 2, {"/logs/x.tmp/deeper"}},
        {coveredDeeper, false, kNodirs, 1, {"/logs/*.tmp" + kWild}},
        {"/data A /data/a", true, kDirnames, 1, {"/", "/data/"}},
        {"/data A /data/a", true, kNodirs, 1, {"/data/a"}},
        {"/logs/*.log" + kWild, false, kTree, 1, {"/", "/logs/*.log/" + kWild}},
        {"A /x /z B /y", false, kDirnames, 2, {"/x", "/z"}},
        {"A /x /z B /y", false, kNodirs, 1, {"/x", "/z", "/y"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(output(*buildConf(c.content, c.allowOverlap), c.run, c.scNum), c.expected)
            << c.content << " (" << c.scNum << ")";
}

// The default subclient's loaded content lines are its start points; a bare root falls back to the walk.
TEST(TreeOutput, DefaultContentReplacesTheDefaultSubclientsWalk)
{
    auto conf = loadConf("\tdefault\n/home\n/\n/srv/\n\tA\n/a/b\n\tB\n/a/b/c\n");
    EXPECT_EQ(output(*conf, kDirnames, 1), (Lines{"/home", "/", "/srv/"}));
    EXPECT_EQ(output(*conf, kNodirs, 1), Lines{"/a/b"});
    EXPECT_EQ(output(*conf, kTree, 1), Lines{"/"});
    EXPECT_EQ(output(*conf, kDirnames, 2), Lines{"/a/b"});
    EXPECT_EQ(output(*loadConf("\tdefault\n/\n\\\n"), kDirnames, 1), Lines{"/"});
}

// Names run as their numbers; a failing line stops the run at once; without a callback nothing runs.
TEST(TreeOutput, NamesAndCallbacks)
{
    auto conf = loadConf("\tdefault\n/home\n/srv\n\tA\n/x\n/z\n\tB\n/x/w\n/z/y\n");
    CaptureLog log(1);
    RecordingCallback dirs, unknown;
    EXPECT_EQ(conf->dirnames(&dirs, "A"), 0);
    EXPECT_EQ(dirs.lines, (Lines{"/x", "/z"}));
    EXPECT_EQ(conf->nodirs(&unknown, "nobody"), -1);
    EXPECT_EQ(conf->treeOutput(&unknown, static_cast<const char*>(nullptr)), -1);
    EXPECT_TRUE(unknown.lines.empty());
    EXPECT_TRUE(log.records().empty()) << log.dump();
    for (Output run : {kDirnames, kNodirs, kTree})
        for (int scNum : {1, 2}) {
            RecordingCallback cb;
            cb.failAt = 0;
            EXPECT_EQ((conf.get()->*run)(&cb, scNum), -1) << scNum;
            EXPECT_EQ(cb.attempts, 1);
            log.clear();
            EXPECT_EQ((conf.get()->*run)(nullptr, scNum), -1);
            EXPECT_TRUE(log.has(-1, "no output callback given")) << log.dump();
        }
}

}  // namespace
