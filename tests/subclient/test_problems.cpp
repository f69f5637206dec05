// Refused and conflicting content: results, error codes, the problems the caller's
// sink gets (with the message the log writer gets) and the events raised.
#include "SubclientTest.h"

#include <cstdio>

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

// The event's id in hex, then its arguments (integers with '#').
std::string describe(const EvRecord& event)
{
    char id[16];
    snprintf(id, sizeof id, "%lx", event.id);
    std::string text = id;
    for (const EvArgument& a : event.args)
        text += " " + (a.type == 11 ? a.text : "#" + std::to_string(a.value));
    return text;
}

TEST(ProblemSink, EachRefusalAndConflictAsData)
{
    const struct {
        Strings lines;
        bool overlapAllowed;
        const char* results;  // of each line
        int errCode;
        Strings reports;  // problems, then events
    } cases[] = {
        {{"\tA", "/x", "\tB", "/x"}, false, "0 0 0 0", FS_NO_ERROR, {"4 stands '/x' 3 '/x' 2 '' 0"}},
        {{"\tA", "/x", "/x/y"}, false, "0 0 -1", FS_ANCESTOR, {"5 refused '/x/y' 2 '' 0 '' 0"}},
        {{"\tA", "/x", "/x/y"}, true, "0 0 0", FS_ANCESTOR, {"5 stands '/x/y' 2 '' 0 '' 0"}},
        {{"\tA", "//"}, false, "0 -1", FS_DUPLICATE, {"3 refused '//' 2 '' 0 '' 0"}},
        {{"\tA", "\\/\\/"}, false, "0 -1", FS_INVALID, {"1 refused '\\/\\/' 2 '' 0 '' 0"}},
        {{"\tA", "/x/\xc3/y"}, false, "0 -2", FS_INVALID, {"2 refused '/x/\xc3/y' 2 '' 0 '' 0"}},
        {{"\tA", "\ta"}, false, "0 -1", FS_DUPLICATE_NAME, {"9 refused 'a' 0 'A' 2 '' 0"}},
        // A component matched by two wildcard siblings.
        {{"\tA", wild("/d/a*"), "\tB", wild("/d/*b"), "\tC", "/d/ab/c"},
         false,
         "0 0 0 0 0 -1",
         FS_DUPLICATE,
         {"7 stands '/d/*b\\/\\/' 3 '/d/a*' 2 '' 0", "6 refused '/d/ab/c' 4 '/d/a*' 2 '/d/*b' 3",
          "11000046 /d/*b B /d/a* A"}},
        // A literal covered by a wildcard of one subclient meets one of another.
        {{"\tB", "/d/abc", "\tA", wild("/d/a*"), "\tC", wild("/d/*c")},
         false,
         "0 0 0 0 0 0",
         FS_NO_ERROR,
         {"7 stands '/d/a*\\/\\/' 3 '/d/abc' 2 '' 0", "8 stands '/d/*c\\/\\/' 4 '/d/a*' 3 '/d/*c' 4",
          "11000046 /d/a* A /d/abc B", "11000047 /d/abc #3 #4 /d/*c"}},
        // An intermediate node has no subclient: the conflict is the one of the content below it.
        {{"\tB", "/logs/x.tmp/deeper", "\tA", wild("/logs/*.tmp")},
         false,
         "0 0 0 0",
         FS_NO_ERROR,
         {"7 stands '/logs/*.tmp\\/\\/' 3 '/logs/x.tmp' 2 '' 0", "11000046 /logs/*.tmp A /logs/x.tmp B"}},
        {{"\tA", wild("/data*"), "\tB", "/data1", "\tC", wild("/d*")},
         false,
         "0 0 0 0 0 0",
         FS_NO_ERROR,
         {"7 stands '/data1' 3 '/data*' 2 '' 0", "7 stands '/d*\\/\\/' 4 '/data*' 2 '' 0", "11000046 /data1 B /data* A",
          "11000046 /d* C /data* A"}},
        // Literal siblings are not compared; within one subclient an overlap is noted in the log only.
        {{"\tA", "/data1", "\tB", "/data*", "\tC", wild("/a*"), wild("/ab*"), "/ax"},
         false,
         "0 0 0 0 0 0 0 0",
         FS_NO_ERROR,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.back());
        FSSubclientConf conf;
        conf.setAllowOverlapSCContent(c.overlapAllowed);
        Collected sink;
        conf.setProblemSink(&sink);
        CaptureLog log(1);
        CaptureEvents events;
        EXPECT_EQ(fill(conf, c.lines), c.results);
        EXPECT_EQ(conf.getErrCode(), c.errCode);
        Strings got;
        for (const FSContentProblem& p : sink.got) {
            got.push_back(describe(p));
            EXPECT_TRUE(log.has(p.message)) << p.message << "\n" << log.dump();
        }
        for (const EvRecord& e : events.events())
            got.push_back(describe(e));
        EXPECT_EQ(got, c.reports);
    }
}

// A load passes over the root's duplicate, with a major event, and stops at the first line it cannot take.
TEST(ProblemSink, LoadSaysWhatItPassedOver)
{
    FSSubclientConf conf;
    Collected sink;
    conf.setProblemSink(&sink);
    TextSummary summary("\tdefault\n\tA\n/x\n/\n/x/y\n/later\n", {1, 2});
    CaptureEvents events;
    EXPECT_NE(conf.load(&summary), 0);
    Strings got;
    for (const FSContentProblem& p : sink.got)
        got.push_back(describe(p));
    for (const EvRecord& e : events.events())
        got.push_back(describe(e) + (e.major ? " major" : ""));
    EXPECT_EQ(got, (Strings{"3 passed over '/' 2 '' 0 '' 0", "5 refused '/x/y' 2 '' 0 '' 0", "e00005a / major"}));
}

}  // namespace
