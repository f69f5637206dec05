// Scan lists written from a configuration: the lines each subclient gets.
#include "DirlistKit.h"
#include "support/Capture.h"

namespace {

TEST(TreeOutput, WritesEachSubclientsLines)
{
    using Run = std::tuple<Output, int, Lines>;
    const struct {
        std::vector<ContentLine> content;
        bool allowOverlap;
        std::vector<Run> runs;
    } cases[] = {
        {{}, false, {Run{kDirnames, 1, {"/"}}, Run{kTree, 1, {"/"}}}},
        {{{"A", "/a/b"}, {"B", "/a/b/c"}},
         false,
         {Run{kDirnames, 2, {"/a/b"}}, Run{kNodirs, 2, {"/a/b/c"}}, Run{kDirnames, 3, {"/a/b/c"}},
          Run{kDirnames, 4, {}}}},
        {{{"A", "/a"}, {"B", "/a/b"}, {"C", "/a/b/c"}}, false, {Run{kNodirs, 3, {"/a/b/c"}}}},
        {{{"A", "/a"}, {"A", "/a/b/c"}, {"B", "/a/b"}},
         true,
         {Run{kNodirs, 2, {"/a/b"}}, Run{kDirnames, 2, {"/a", "/a/b/c"}}}},
        {{{"A", "/a"}, {"A", "/a/b/c"}, {"B", "/a/b"}}, false, {Run{kDirnames, 2, {"/a"}}}},
        {{{"A", "/a/b"}, {"A", "/a/b/x"}}, true, {Run{kDirnames, 2, {"/a/b", "/a/b/x"}}}},
        {{{"A", "/a/b"}, {"A", "/a/b/x"}}, false, {Run{kDirnames, 2, {"/a/b"}}, Run{kTree, 2, {"/a/b", "/a/b/x"}}}},
        {{{"A", "/logs/*.log" + kWild}},
         false,
         {Run{kDirnames, 2, {"/logs/*.log" + kWild}}, Run{kNodirs, 1, {"/logs/*.log" + kWild}}}},
        {{{"A", "/logs/*.log" + kWild}, {"B", "/logs/a.log"}},
         false,
         {Run{kNodirs, 2, {"/logs/a.log"}}, Run{kDirnames, 3, {"/logs/a.log"}}}},
        // A covered literal, then a sibling that no wildcard covers.
        {{{"A", "/logs/*.tmp" + kWild}, {"B", "/logs/x.tmp"}, {"C", "/logs/y"}, {"D", "/logs/y/z"}},
         false,
         {Run{kNodirs, 4, {"/logs/y/z"}}, Run{kNodirs, 1, {"/logs/*.tmp" + kWild, "/logs/y"}}}},
        {{{"A", "/logs/*.tmp" + kWild}, {"B", "/logs/x.tmp/deeper"}},
         false,
         {Run{kNodirs, 2, {"/logs/x.tmp/deeper"}}, Run{kNodirs, 1, {"/logs/*.tmp" + kWild}}}},
        {{{nullptr, "/data"}, {"A", "/data/a"}},
         true,
         {Run{kDirnames, 1, {"/", "/data/"}}, Run{kNodirs, 1, {"/data/a"}}}},
        {{{nullptr, "/logs/*.log" + kWild}}, false, {Run{kTree, 1, {"/", "/logs/*.log/" + kWild}}}},
        {{{"A", "/x"}, {"A", "/z"}, {"B", "/y"}},
         false,
         {Run{kDirnames, 2, {"/x", "/z"}}, Run{kNodirs, 1, {"/x", "/z", "/y"}}}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        auto conf = buildConf(cases[i].content, cases[i].allowOverlap);
        for (const Run& run : cases[i].runs)
            EXPECT_EQ(output(*conf, std::get<0>(run), std::get<1>(run)), std::get<2>(run))
                << "case " << i << " subclient " << std::get<1>(run);
    }
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

TEST(TreeOutput, NamesRunAsTheirNumbers)
{
    CaptureLog log(1);
    auto conf = buildConf({{"A", "/a/b"}, {"B", "/a/b/c"}});
    RecordingCallback dirs, nodirs, tree, unknown;
    EXPECT_EQ(conf->dirnames(&dirs, "A") + conf->nodirs(&nodirs, "A") + conf->treeOutput(&tree, "B"), 0);
    EXPECT_EQ(dirs.lines, Lines{"/a/b"});
    EXPECT_EQ(nodirs.lines, Lines{"/a/b/c"});
    EXPECT_EQ(tree.lines, Lines{"/a/b/c"});
    log.clear();
    EXPECT_EQ(conf->dirnames(&unknown, "nobody"), -1);
    EXPECT_EQ(conf->nodirs(&unknown, "nobody"), -1);
    EXPECT_EQ(conf->treeOutput(&unknown, static_cast<const char*>(nullptr)), -1);
    EXPECT_TRUE(unknown.lines.empty());
    EXPECT_TRUE(log.records().empty()) << log.dump();
}

// A failing line stops the run at once; without a callback nothing runs.
TEST(TreeOutput, FailingOrMissingCallbackStopsTheRun)
{
    CaptureLog log(1);
    auto conf = loadConf("\tdefault\n/home\n/srv\n\tA\n/x\n/z\n\tB\n/x/w\n/z/y\n");
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
