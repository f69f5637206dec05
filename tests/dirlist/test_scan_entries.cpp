// Scan lists written from a subclient's entries must be those of the walk
// through the whole tree, line for line and in the same order.
#include "ScanListFixture.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"
#include "support/RandomSteps.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> wholeTreeWalk(CFSSubclientConfPrivate& p, ScanRun run, int scNum)
{
    RecordingCallback out;
    p.outputSink = &out;
    p.dirlistSubclient = scNum;
    p.outputDirs = run != ScanRun::nodirs;
    p.outputDescend = run == ScanRun::treeOutput || (run == ScanRun::dirnames && p.allowOverlapSCContent);
    EXPECT_EQ(0, p.recursiveOutput(p.root, 0));
    return out.lines;
}

// Random configurations grown step by step: nested content of several
// subclients, wildcards in the last and in inner components with the
// literals they cover, content below covered literals, the overlap switch
// and the case mode changing in between.
TEST(ScanEntries, WriteTheLinesOfTheWholeTreeWalk)
{
    const std::vector<std::string> content = {
        "/a", "/a/b", "/a/b/c", "/a/b/c/d", "/a/x*\\/\\/", "/a/xy", "/a/xy/z", "/a/xy/z/q", "/a*/b\\/\\/",
        "/w/*.txt\\/\\/", "/w/a.txt", "/w/a.txt/deep", "/w/A.TXT/x", "/w/b", "/w/b/c*\\/\\/", "/w/b/cc/d",
        "/s/[a-c]x\\/\\/", "/s/bx/y", "/s/bx", "/m/*\\/\\/", "/m/n", "/m/n/o", "/m/n/o/p", "/m/n/o/*\\/\\/",
        "/d/e/f/g", "/d/e", "/d/e/f/*\\/\\/"};
    CaptureLog quiet(-1);
    CaptureEvents events;
    std::mt19937 random(20261207);
    int compared = 0;
    for (int round = 0; round < 40 && !testing::Test::HasFailure(); ++round) {
        FSSubclientConf conf;
        CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
        for (int step = 0; step < 30; ++step) {
            randomStep(conf, random, content);
            for (int scNum = 1; scNum <= conf.getNumSubclients(); ++scNum) {
                for (ScanRun run : {ScanRun::dirnames, ScanRun::nodirs, ScanRun::treeOutput}) {
                    RecordingCallback out;
                    ASSERT_EQ(0, runOutput(conf, run, scNum, &out));
                    ASSERT_EQ(wholeTreeWalk(p, run, scNum), out.lines)
                        << "round " << round << " step " << step << ": " << runName(run) << " " << scNum;
                    compared += !out.lines.empty();
                }
            }
        }
    }
    EXPECT_GT(compared, 5000);
}

// A callback may change the configuration while a run writes its lines.
TEST(ScanEntries, ACallbackMayAddContent)
{
    struct Adding : RecordingCallback {
        int putLine(const char* line) override
        {
            conf->setPath(("/added/" + std::to_string(lines.size())).c_str());
            return RecordingCallback::putLine(line);
        }
        FSSubclientConf* conf = nullptr;
    };
    CaptureLog quiet(-1);
    FSSubclientConf conf;
    conf.setName("two");
    for (const char* path : {"/a", "/b", "/c/d", "/c/e"})
        ASSERT_EQ(0, conf.setPath(path));
    Adding out;
    out.conf = &conf;
    EXPECT_EQ(0, conf.dirnames(&out, 2));
    EXPECT_EQ((std::vector<std::string>{"/a", "/b", "/c/d", "/c/e"}), out.lines);
}

}  // namespace
