// Wildcard content: insertion below wildcard siblings, covering links, overlap messages and events.
#include "TreeView.h"
#include "subclient/FSSubclientConfPrivate.h"
#include "support/Capture.h"

#include "wildcard/WCSubclients.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const unsigned long kOverlapEvent = 0x11000046;
const unsigned long kFilteredTwiceEvent = 0x11000047;

std::string wild(const std::string& path)
{
    return path + "\\/\\/";
}

// Texts and integers of an event's arguments, in order.
std::vector<std::string> argumentsOf(const EvRecord& event)
{
    std::vector<std::string> args;
    for (const EvArgument& a : event.args)
        args.push_back(a.type == 11 ? a.text : "#" + std::to_string(a.value));
    return args;
}

class Overlap : public ::testing::Test {
protected:
    void add(const char* name, const std::string& path, int rc = 0)
    {
        if (conf.nameToNumber(name) < 0) {
            ASSERT_EQ(0, conf.setName(name));
        }
        ASSERT_EQ(conf.nameToNumber(name), conf.getNumSubclients()) << "content goes to the subclient named last";
        ASSERT_EQ(rc, conf.setPath(path.c_str())) << path << "\n" << log.dump();
    }
    // The literals a wildcard node covers, front first; stops on a circle.
    Lines covered(const std::string& path)
    {
        Lines lines;
        FSSubclientNode* w = findNode(conf, path);
        for (FSSubclientNode* n = w ? w->firstCovered : nullptr; n && lines.size() < 10; n = n->nextCovered)
            lines.push_back(conf.nodeToPath(n));
        return lines;
    }

    CaptureLog log{255};
    CaptureEvents events;
    FSSubclientConf conf;
};

TEST_F(Overlap, IntermediateBelowAWildcardIsCovered)
{
    add("A", wild("/logs/*.tmp"));
    add("B", "/logs/x.tmp/deeper");
    EXPECT_EQ((Lines{"/logs -1", "/logs/*.tmp 2", "/logs/x.tmp -1 ~/logs/*.tmp", "/logs/x.tmp/deeper 3"}),
              treeView(conf));
    EXPECT_EQ((Lines{"/logs/x.tmp"}), covered("/logs/*.tmp"));
}

// An intermediate node has no subclient of its own: the message names the one of the content below it.
TEST_F(Overlap, WildcardAfterAnIntermediateNamesTheSubclientBelowIt)
{
    add("B", "/logs/x.tmp/deeper");
    add("A", wild("/logs/*.tmp"));
    EXPECT_TRUE(
        log.has(0, "'/logs/*.tmp' (wildcard) and '/logs/x.tmp' (non-wildcard) overlap (subclients [A] and [B])"))
        << log.dump();
}

TEST_F(Overlap, ComponentFilteredByTwoWildcards)
{
    add("A", wild("/logs/*.tmp"));
    add("B", wild("/logs/x.*"));
    log.clear();
    add("C", "/logs/x.tmp/more", -1);
    EXPECT_EQ(FS_DUPLICATE, conf.getErrCode());
    EXPECT_TRUE(log.has(1, "Parent '/logs' child 'x.tmp/more' filters both '/logs/*.tmp' (2) and '/logs/x.*' (3)"))
        << log.dump();
    EXPECT_EQ(nullptr, findNode(conf, "/logs/x.tmp"));
}

TEST_F(Overlap, LiteralCoveredByWildcardOfAnotherSubclient)
{
    add("A", wild("/data*"));
    add("B", "/data1");
    EXPECT_EQ((Lines{"/data* 2", "/data1 3 ~/data*"}), treeView(conf));
    EXPECT_TRUE(log.has(0, "'/data1' (non-wildcard) and '/data*' (wildcard) overlap (subclients [B] and [A])"))
        << log.dump();
    ASSERT_EQ(1u, events.events().size());
    const EvRecord e = events.events()[0];
    EXPECT_EQ(kOverlapEvent, e.id);
    EXPECT_FALSE(e.major);
    EXPECT_EQ((Lines{"/data1", "B", "/data*", "A"}), argumentsOf(e));
}

TEST_F(Overlap, SecondWildcardMeetsACoveredLiteral)
{
    add("B", "/data1");
    add("A", wild("/data*"));
    EXPECT_EQ((Lines{"/data1"}), covered("/data*"));
    const size_t before = events.events().size();
    add("C", wild("/d*"));
    EXPECT_TRUE(log.has(1, "'/data1' filters both 3 and 4 (wildcard '/d*')")) << log.dump();
    ASSERT_EQ(before + 1, events.events().size());
    const EvRecord e = events.events().back();
    EXPECT_EQ(kFilteredTwiceEvent, e.id);
    EXPECT_EQ((Lines{"/data1", "#3", "#4", "/d*"}), argumentsOf(e));
}

TEST_F(Overlap, TwoWildcardsOfDifferentSubclients)
{
    add("A", wild("/data*"));
    add("B", "/data1");
    const size_t before = events.events().size();
    add("C", wild("/d*"));
    EXPECT_TRUE(log.has(1, "'/d*' (wildcard) and '/data*' (wildcard) overlap (subclients [C] and [A])")) << log.dump();
    ASSERT_EQ(before + 1, events.events().size());
    EXPECT_EQ(kOverlapEvent, events.events().back().id);
    EXPECT_EQ((Lines{"/data1 3 ~/data*"}), Lines{treeView(conf)[1]}) << "the check stopped at the first wildcard";
}

TEST_F(Overlap, LiteralSiblingsAndTheRootAreNotCompared)
{
    add("A", "/data1");
    add("B", "/data*");  // no marker: a literal name
    EXPECT_FALSE(log.contains("overlap")) << log.dump();
    EXPECT_TRUE(events.events().empty());
}

TEST_F(Overlap, SameSubclientOverlapIsLoggedWithoutEvent)
{
    add("A", wild("/a*"));
    add("A", wild("/ab*"));
    EXPECT_TRUE(log.has(1, "'/ab*' (wildcard) and '/a*' (wildcard) overlap (subclients [A] and [A])")) << log.dump();
    EXPECT_TRUE(events.events().empty());
    log.clear();
    add("A", wild("/x*.txt"));
    add("A", wild("/y*.txt"));
    EXPECT_FALSE(log.contains("overlap (")) << "disjoint patterns say nothing";
    add("A", wild("/m*"));
    add("A", "/mx");
    EXPECT_TRUE(log.has(1, "'/mx' (non-wildcard) and '/m*' (wildcard) overlap (subclients [A] and [A])")) << log.dump();
    EXPECT_TRUE(events.events().empty());
}

// A literal that an insertion already linked under its covering wildcard
// becomes content later: it must stay in that covered list once.
TEST_F(Overlap, CoveredListNeverRunsInACircle)
{
    add("A", wild("/logs/*.tmp"));
    add("B", "/logs/x.tmp/deeper");
    add("C", "/logs/x.tmp");
    EXPECT_EQ((Lines{"/logs/x.tmp"}), covered("/logs/*.tmp"));
    EXPECT_EQ("/logs/*.tmp", conf.nodeToPath(findNode(conf, "/logs/x.tmp")->coveringNode));
}

TEST_F(Overlap, LiteralMovesBetweenWildcardsOfOneSubclient)
{
    add("B", "/ab");
    add("A", wild("/a*"));
    EXPECT_EQ((Lines{"/ab"}), covered("/a*"));
    add("A", wild("/ab*"));  // same subclient as the covering /a*: /ab moves over
    EXPECT_EQ((Lines{}), covered("/a*")) << "a literal stands in one covered list";
    EXPECT_EQ((Lines{"/ab"}), covered("/ab*"));
}

}  // namespace
