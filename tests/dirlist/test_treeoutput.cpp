#include "ScanListFixture.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Lines;

const std::string kMarker = "\\/\\/";

struct OutputCase {
    const char* what;
    std::vector<ContentLine> content;
    bool allowOverlap;
    ScanRun run;
    int scNum;
    Lines expected;
};

void PrintTo(const OutputCase& c, std::ostream* out)
{
    *out << c.what << ": " << runName(c.run) << "(" << c.scNum << ")";
}

class TreeOutputCases : public ::testing::TestWithParam<OutputCase> {};

TEST_P(TreeOutputCases, WriteTheExpectedLines)
{
    const OutputCase& c = GetParam();
    auto conf = buildConf(c.content, c.allowOverlap);
    RecordingCallback cb;
    EXPECT_EQ(runOutput(*conf, c.run, c.scNum, &cb), 0);
    EXPECT_EQ(cb.lines, c.expected);
}

const std::vector<ContentLine> kNested = {{"A", "/a/b"}, {"B", "/a/b/c"}};
const std::vector<ContentLine> kThreeDeep = {{"A", "/a"}, {"B", "/a/b"}, {"C", "/a/b/c"}};
const std::vector<ContentLine> kOwnBelowNodir = {{"A", "/a"}, {"A", "/a/b/c"}, {"B", "/a/b"}};
const std::vector<ContentLine> kSameSubclientNested = {{"A", "/a/b"}, {"A", "/a/b/x"}};
const std::vector<ContentLine> kWildcard = {{"A", "/logs/*.log" + kMarker}};
const std::vector<ContentLine> kCovered = {{"A", "/logs/*.log" + kMarker}, {"B", "/logs/a.log"}};
// A covered literal, then a sibling that no wildcard covers.
const std::vector<ContentLine> kCoveredThenSibling = {
    {"A", "/logs/*.tmp" + kMarker}, {"B", "/logs/x.tmp"}, {"C", "/logs/y"}, {"D", "/logs/y/z"}};
const std::vector<ContentLine> kCoveredDeeper = {{"A", "/logs/*.tmp" + kMarker}, {"B", "/logs/x.tmp/deeper"}};
const std::vector<ContentLine> kDefaultOwn = {{nullptr, "/data"}, {"A", "/data/a"}};
const std::vector<ContentLine> kDefaultWildcard = {{nullptr, "/logs/*.log" + kMarker}};
const std::vector<ContentLine> kSiblings = {{"A", "/x"}, {"A", "/z"}, {"B", "/y"}};

INSTANTIATE_TEST_SUITE_P(
    Scenarios, TreeOutputCases,
    ::testing::Values(
        OutputCase{"default only", {}, false, ScanRun::dirnames, 1, {"/"}},
        OutputCase{"default only", {}, false, ScanRun::treeOutput, 1, {"/"}},
        OutputCase{"nested", kNested, false, ScanRun::dirnames, 2, {"/a/b"}},
        OutputCase{"nested", kNested, false, ScanRun::nodirs, 2, {"/a/b/c"}},
        OutputCase{"nested", kNested, false, ScanRun::dirnames, 3, {"/a/b/c"}},
        OutputCase{"nested", kNested, false, ScanRun::dirnames, 4, {}},
        OutputCase{"three deep", kThreeDeep, false, ScanRun::nodirs, 2, {"/a/b"}},
        OutputCase{"three deep", kThreeDeep, false, ScanRun::nodirs, 3, {"/a/b/c"}},
        OutputCase{"own content below a nodir", kOwnBelowNodir, true, ScanRun::nodirs, 2, {"/a/b"}},
        OutputCase{"own content below a nodir", kOwnBelowNodir, true, ScanRun::dirnames, 2, {"/a", "/a/b/c"}},
        OutputCase{"own content below a nodir", kOwnBelowNodir, false, ScanRun::dirnames, 2, {"/a"}},
        OutputCase{"same subclient nested", kSameSubclientNested, true, ScanRun::dirnames, 2, {"/a/b", "/a/b/x"}},
        OutputCase{"same subclient nested", kSameSubclientNested, false, ScanRun::dirnames, 2, {"/a/b"}},
        OutputCase{"same subclient nested", kSameSubclientNested, false, ScanRun::treeOutput, 2, {"/a/b", "/a/b/x"}},
        OutputCase{"wildcard", kWildcard, false, ScanRun::dirnames, 2, {"/logs/*.log" + kMarker}},
        OutputCase{"wildcard", kWildcard, false, ScanRun::nodirs, 1, {"/logs/*.log" + kMarker}},
        OutputCase{"covered literal", kCovered, false, ScanRun::nodirs, 2, {"/logs/a.log"}},
        OutputCase{"covered literal", kCovered, false, ScanRun::dirnames, 3, {"/logs/a.log"}},
        OutputCase{"sibling after a covered one", kCoveredThenSibling, false, ScanRun::nodirs, 4, {"/logs/y/z"}},
        OutputCase{"sibling after a covered one",
                   kCoveredThenSibling,
                   false,
                   ScanRun::nodirs,
                   1,
                   {"/logs/*.tmp" + kMarker, "/logs/y"}},
        OutputCase{"covered intermediate", kCoveredDeeper, false, ScanRun::nodirs, 2, {"/logs/x.tmp/deeper"}},
        OutputCase{"covered intermediate", kCoveredDeeper, false, ScanRun::nodirs, 1, {"/logs/*.tmp" + kMarker}},
        OutputCase{"default content in the tree", kDefaultOwn, true, ScanRun::dirnames, 1, {"/", "/data/"}},
        OutputCase{"default content in the tree", kDefaultOwn, true, ScanRun::nodirs, 1, {"/data/a"}},
        OutputCase{
            "default wildcard", kDefaultWildcard, false, ScanRun::treeOutput, 1, {"/", "/logs/*.log/" + kMarker}},
        OutputCase{"sibling order", kSiblings, false, ScanRun::dirnames, 2, {"/x", "/z"}},
        OutputCase{"sibling order", kSiblings, false, ScanRun::nodirs, 1, {"/x", "/z", "/y"}}));

TEST(TreeOutput, DefaultContentReplacesTheWalkOfTheDefaultSubclient)
{
    auto conf = buildConf(kNested);
    addDefaultContent(*conf, "/home");
    addDefaultContent(*conf, "/");
    addDefaultContent(*conf, "/srv/");
    RecordingCallback dirs, nodirs, tree, others;
    EXPECT_EQ(conf->dirnames(&dirs, 1), 0);
    EXPECT_EQ(dirs.lines, Lines({"/home", "/", "/srv/"}));
    EXPECT_EQ(conf->nodirs(&nodirs, 1), 0);
    EXPECT_EQ(nodirs.lines, Lines({"/a/b"}));
    EXPECT_EQ(conf->treeOutput(&tree, 1), 0);
    EXPECT_EQ(tree.lines, Lines({"/"}));
    EXPECT_EQ(conf->dirnames(&others, 2), 0);
    EXPECT_EQ(others.lines, Lines({"/a/b"}));
}

TEST(TreeOutput, BareRootDefaultContentFallsBackToTheWalk)
{
    auto conf = buildConf({});
    addDefaultContent(*conf, "/");
    addDefaultContent(*conf, "\\");
    RecordingCallback cb;
    EXPECT_EQ(conf->dirnames(&cb, 1), 0);
    EXPECT_EQ(cb.lines, Lines({"/"}));
}

TEST(TreeOutput, StopsAtTheFirstFailingLine)
{
    auto conf = buildConf({{"A", "/x"}, {"A", "/z"}, {"B", "/x/w"}, {"B", "/z/y"}});
    addDefaultContent(*conf, "/home");
    addDefaultContent(*conf, "/srv");
    for (ScanRun run : {ScanRun::dirnames, ScanRun::nodirs, ScanRun::treeOutput}) {
        for (int scNum : {1, 2}) {
            RecordingCallback cb;
            cb.failAt = 0;
            cb.failResult = -7;
            EXPECT_EQ(runOutput(*conf, run, scNum, &cb), -1) << runName(run) << "(" << scNum << ")";
            EXPECT_EQ(cb.attempts, 1) << runName(run) << "(" << scNum << ")";
        }
    }
}

TEST(TreeOutput, NameFormsRunTheNumberForms)
{
    CaptureLog log(1);
    auto conf = buildConf(kNested);
    RecordingCallback dirs, nodirs, tree, unknown;
    EXPECT_EQ(conf->dirnames(&dirs, "A"), 0);
    EXPECT_EQ(conf->nodirs(&nodirs, "A"), 0);
    EXPECT_EQ(conf->treeOutput(&tree, "B"), 0);
    EXPECT_EQ(dirs.lines, Lines({"/a/b"}));
    EXPECT_EQ(nodirs.lines, Lines({"/a/b/c"}));
    EXPECT_EQ(tree.lines, Lines({"/a/b/c"}));
    log.clear();
    EXPECT_EQ(conf->dirnames(&unknown, "nobody"), -1);
    EXPECT_EQ(conf->nodirs(&unknown, "nobody"), -1);
    EXPECT_EQ(conf->treeOutput(&unknown, static_cast<const char*>(nullptr)), -1);
    EXPECT_TRUE(unknown.lines.empty());
    EXPECT_TRUE(log.records().empty()) << log.dump();
}

TEST(TreeOutput, RefusesToRunWithoutCallback)
{
    CaptureLog log(1);
    auto conf = buildConf(kNested);
    for (ScanRun run : {ScanRun::dirnames, ScanRun::nodirs, ScanRun::treeOutput}) {
        log.clear();
        EXPECT_EQ(runOutput(*conf, run, 2, nullptr), -1);
        EXPECT_TRUE(log.has(-1, "no output callback given")) << log.dump();
    }
}

TEST(TreeOutput, DeepContentDoesNotExhaustTheStack)
{
    std::string path;
    for (int i = 0; i < 100000; ++i)
        path += "/c";
    auto conf = buildConf({{"A", path}});
    for (ScanRun run : {ScanRun::dirnames, ScanRun::nodirs, ScanRun::treeOutput}) {
        RecordingCallback cb;
        int scNum = run == ScanRun::nodirs ? 1 : 2;
        EXPECT_EQ(runOutput(*conf, run, scNum, &cb), 0);
        ASSERT_EQ(cb.lines.size(), 1u) << runName(run);
        EXPECT_EQ(cb.lines[0], path);
    }
}

}  // namespace
