#include "ScanListFixture.h"
#include "platform/CXDirectory.h"
#include "support/Capture.h"
#include "support/TempDir.h"
#include "wildcard/TPathMatch.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

typedef std::vector<std::string> Lines;

const std::string kMarker = "\\/\\/";

// The names of a folder in the order the reader gives them, dot entries left out.
Lines listFolder(const std::string& folder)
{
    Lines names;
    CXDirectory dir;
    EXPECT_EQ(dir.open(folder.c_str()), 0) << folder;
    while (const char* name = dir.read())
        if (std::string(name) != "." && std::string(name) != "..")
            names.push_back(name);
    return names;
}

// The expected "+" lines: the folder's entries, in reader order, that keep() accepts.
template <class Keep>
Lines plusLines(const std::string& folder, Keep keep)
{
    Lines lines;
    std::string prefix = "+" + folder + (folder == "/" ? "" : "/");
    for (const std::string& name : listFolder(folder))
        if (keep(name))
            lines.push_back(prefix + name);
    return lines;
}

std::unique_ptr<FSSubclientConf> ifindConf(const std::vector<ContentLine>& content)
{
    auto conf = buildConf(content);
    conf->setIfindMode(true);
    return conf;
}

TEST(WildcardExpansion, WritesEachMatchingEntryOnceInReaderOrder)
{
    TempDir dir;
    dir.make("logs/");
    // A name that is not UTF-8 must not drop out of the scan.
    for (const char* name : {"a.log", "b.log", "a.txt", "c.txt", "sub/", "caf\xe9.log"})
        dir.make(std::string("logs/") + name);
    std::string logs = dir.file("logs");
    auto conf = ifindConf({{"A", logs + "/*.log" + kMarker}, {"A", logs + "/a*" + kMarker}});
    RecordingCallback cb;
    EXPECT_EQ(conf->dirnames(&cb, 2), 0);
    EXPECT_EQ(cb.lines, plusLines(logs, [](const std::string& n) { return n != "c.txt" && n != "sub"; }));
    EXPECT_EQ(cb.lines.size(), 4u);
}

TEST(WildcardExpansion, FollowsTheCaseModeOfTheConfiguration)
{
    TempDir dir;
    dir.make("logs/");
    dir.make("logs/A.LOG");
    dir.make("logs/b.log");
    std::string logs = dir.file("logs");
    for (bool sensitive : {true, false}) {
        auto conf = ifindConf({{"A", logs + "/*.log" + kMarker}});
        if (sensitive)
            conf->caseSensitive();
        else
            conf->caseInsensitive();
        RecordingCallback cb;
        EXPECT_EQ(conf->dirnames(&cb, 2), 0);
        EXPECT_EQ(cb.lines, plusLines(logs, [&](const std::string& n) { return !sensitive || n == "b.log"; }))
            << (sensitive ? "case sensitive" : "case insensitive");
    }
}

TEST(WildcardExpansion, ExpandsAfterTheLiteralSiblingsAndTheirDescendants)
{
    TempDir dir;
    dir.make("logs/");
    dir.make("logs/x.log");
    std::string logs = dir.file("logs");
    auto conf = ifindConf({{"A", logs + "/*.log" + kMarker}, {"A", logs + "/keep/deep"}});
    for (ScanRun run : {ScanRun::dirnames, ScanRun::treeOutput}) {
        RecordingCallback cb;
        EXPECT_EQ(runOutput(*conf, run, 2, &cb), 0);
        EXPECT_EQ(cb.lines, Lines({logs + "/keep/deep", "+" + logs + "/x.log"})) << runName(run);
    }
}

TEST(WildcardExpansion, ExpandsTheRootFolderWithOneDelimiter)
{
    auto conf = ifindConf({{"A", "/*" + kMarker}});
    RecordingCallback cb;
    EXPECT_EQ(conf->dirnames(&cb, 2), 0);
    EXPECT_EQ(cb.lines, plusLines("/", [](const std::string&) { return true; }));
    EXPECT_FALSE(cb.lines.empty());
}

TEST(WildcardExpansion, AMissingFolderGivesNoLinesAndNoError)
{
    CaptureLog log(1);
    TempDir dir;
    std::string missing = dir.file("missing");
    auto conf = ifindConf({{"A", missing + "/*.log" + kMarker}, {"A", dir.file("file/*") + kMarker}});
    dir.make("file", "not a folder");
    RecordingCallback cb;
    EXPECT_EQ(conf->dirnames(&cb, 2), 0);
    EXPECT_TRUE(cb.lines.empty());
    EXPECT_TRUE(log.has(1, "Cannot open '" + missing + "', code " + std::to_string(ENOENT))) << log.dump();
    for (const LogRecord& r : log.records())
        EXPECT_NE(r.level, -1) << r.text;
}

// Content that exists but cannot be read must not vanish from the scan unnoticed.
TEST(WildcardExpansion, AnUnreadableFolderIsReportedAsAnError)
{
    CaptureLog log(1);
    TempDir dir;
    std::string loop = dir.file("loop");
    ASSERT_EQ(symlink("loop", loop.c_str()), 0);
    auto conf = ifindConf({{"A", loop + "/*" + kMarker}});
    RecordingCallback cb;
    EXPECT_EQ(conf->dirnames(&cb, 2), 0);
    EXPECT_TRUE(cb.lines.empty());
    EXPECT_TRUE(log.has(1, "Cannot open '" + loop + "', code " + std::to_string(ELOOP))) << log.dump();
    EXPECT_TRUE(log.has(-1, "Folder '" + loop + "' cannot be scanned, its wildcard content is left out: " +
                                std::system_category().message(ELOOP) + " (errno " + std::to_string(ELOOP) + ")"))
        << log.dump();
}

TEST(WildcardExpansion, AFailingCallbackEndsTheExpansionWithItsResult)
{
    TempDir dir;
    dir.make("logs/");
    dir.make("logs/a.log");
    dir.make("logs/b.log");
    std::string logs = dir.file("logs");
    auto conf = ifindConf({{"A", logs + "/*.log" + kMarker}, {"B", "/b"}});
    for (ScanRun run : {ScanRun::dirnames, ScanRun::nodirs}) {
        RecordingCallback cb;
        cb.failAt = 0;
        cb.failResult = -7;
        EXPECT_EQ(runOutput(*conf, run, run == ScanRun::dirnames ? 2 : 1, &cb), -7) << runName(run);
        EXPECT_EQ(cb.attempts, 1);
    }
}

struct NodirCase {
    std::vector<ContentLine> content;
    int scNum;
    Lines expected;
};

void PrintTo(const NodirCase& c, std::ostream* out)
{
    *out << c.content.back().path << ": nodirs(" << c.scNum << ")";
}

class IfindNodirs : public ::testing::TestWithParam<NodirCase> {};

TEST_P(IfindNodirs, AreWrittenAsEscapedPatterns)
{
    const NodirCase& c = GetParam();
    auto conf = ifindConf(c.content);
    RecordingCallback cb;
    EXPECT_EQ(conf->nodirs(&cb, c.scNum), 0);
    EXPECT_EQ(cb.lines, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Escaping, IfindNodirs,
    ::testing::Values(NodirCase{{{"A", "/x[1]"}, {"B", "/x[1]/a*b"}}, 2, {"/x\\[1]/a\\*b"}},
                      NodirCase{{{"A", "/x[1]"}, {"B", "/x[1]/*.tmp" + kMarker}}, 2, {"/x\\[1]/*.tmp"}},
                      NodirCase{{{"A", "/p\\q?"}, {"B", "/p\\q?/r\\s[t"}}, 2, {"/p\\\\q\\?/r\\\\s\\[t"}},
                      // With the backslash as delimiter the slash escapes.
                      NodirCase{{{"A", "\\x[1]"}, {"B", "\\x[1]\\a*b"}}, 2, {"\\x/[1]\\a/*b"}},
                      NodirCase{{{"A", "/a"}, {"B", "/b"}}, 1, {"/a", "/b"}},
                      NodirCase{{{"A", "/logs/*.log" + kMarker}, {"B", "/logs/a.log"}}, 2, {"/logs/a.log"}},
                      NodirCase{{{"A", "/logs/*.log" + kMarker}, {"B", "/logs/a.log"}}, 1, {"/logs/*.log"}}));

// A wildcard nodir has its escape characters doubled; its pattern characters stay active.
TEST(IfindWildcardNodir, EscapesOnlyTheEscapeCharacter)
{
    auto conf = ifindConf({{"A", "/w"}, {"B", "/w/a\\*b*" + kMarker}});
    RecordingCallback cb;
    EXPECT_EQ(conf->nodirs(&cb, 2), 0);
    ASSERT_EQ(cb.lines, Lines({"/w/a\\\\*b*"}));
    TPathMatch matcher;
    ASSERT_EQ(matcher.compilePattern(cb.lines[0].substr(3), 1, 0), 0);
    EXPECT_TRUE(matcher.matchName("a\\xbc"));
    EXPECT_FALSE(matcher.matchName("a*bc"));
}

}  // namespace
