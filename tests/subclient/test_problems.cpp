// Refusals and conflicts reach the caller's sink as data, with the message the log writer gets.
#include "LoadTestUtil.h"
#include "TextSummary.h"
#include "subclient/FSSubclientConf.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

struct Collected : FSProblemSink {
    void problem(const FSContentProblem& p) override { got.push_back(p); }
    std::vector<FSContentProblem> got;
};

// kind, stands/passedOver/refused, content, subclient, conflict and its subclient
std::string describe(const FSContentProblem& p)
{
    const char* outcome = p.stands ? "stands" : p.passedOver ? "passed over" : "refused";
    return std::to_string(p.kind) + " " + outcome + " '" + p.content + "' " + std::to_string(p.subclient) + " '" +
           p.conflict + "' " + std::to_string(p.conflictSubclient) + " '" + p.secondConflict + "' " +
           std::to_string(p.secondConflictSubclient);
}

TEST(ProblemSink, EachRefusalAndConflictAsData)
{
    const struct {
        std::vector<std::string> lines;  // a TAB line names a subclient
        bool overlapAllowed;
        std::vector<std::string> expected;
    } cases[] = {
        {{"\tA", "/x", "\tB", "/x"}, false, {"4 stands '/x' 3 '/x' 2 '' 0"}},
        {{"\tA", "/x", "/x/y"}, false, {"5 refused '/x/y' 2 '' 0 '' 0"}},
        {{"\tA", "/x", "/x/y"}, true, {"5 stands '/x/y' 2 '' 0 '' 0"}},
        {{"\tA", "/"}, false, {"3 refused '/' 2 '' 0 '' 0"}},
        {{"\tA", "\\/\\/"}, false, {"1 refused '\\/\\/' 2 '' 0 '' 0"}},
        {{"\tA", "/x/\xc3"}, false, {"2 refused '/x/\xc3' 2 '' 0 '' 0"}},
        {{"\tA", "/d/a*\\/\\/", "\tB", "/d/*b\\/\\/", "\tC", "/d/ab/c"},
         false,
         {"7 stands '/d/*b\\/\\/' 3 '/d/a*' 2 '' 0", "6 refused '/d/ab/c' 4 '/d/a*' 2 '/d/*b' 3"}},
        {{"\tB", "/d/abc", "\tA", "/d/a*\\/\\/", "\tC", "/d/*c\\/\\/"},
         false,
         {"7 stands '/d/a*\\/\\/' 3 '/d/abc' 2 '' 0", "8 stands '/d/*c\\/\\/' 4 '/d/a*' 3 '/d/*c' 4"}},
        {{"\tA", "\ta"}, false, {"9 refused 'a' 0 'A' 2 '' 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.back());
        FSSubclientConf conf;
        conf.setAllowOverlapSCContent(c.overlapAllowed);
        Collected sink;
        conf.setProblemSink(&sink);
        CaptureLog log(1);
        for (const std::string& line : c.lines)
            line[0] == '\t' ? conf.setName(line.c_str() + 1) : conf.setPath(line.c_str());
        std::vector<std::string> got;
        for (const FSContentProblem& p : sink.got) {
            got.push_back(describe(p));
            EXPECT_TRUE(log.has(p.message)) << p.message << "\n" << log.dump();
        }
        EXPECT_EQ(got, c.expected);
    }
}

// A load passes over the root's duplicate and stops at the first line it cannot take.
TEST(ProblemSink, LoadSaysWhatItPassedOver)
{
    FSSubclientConf conf;
    Collected sink;
    conf.setProblemSink(&sink);
    TextSummary summary(headerLine("default") + headerLine("A") + "/x\n/\n/x/y\n/later\n", {1, 2});
    EXPECT_NE(conf.load(&summary), 0);
    std::vector<std::string> got;
    for (const FSContentProblem& p : sink.got)
        got.push_back(describe(p));
    EXPECT_EQ(got, (std::vector<std::string>{"3 passed over '/' 2 '' 0 '' 0", "5 refused '/x/y' 2 '' 0 '' 0"}));
}

}  // namespace
