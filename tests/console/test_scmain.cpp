// The test console's failures, logged messages and the handling of answers on
// standard input. Whole dialogues are checked as transcripts of scconsole.
#include "console/scMain.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// Unique per process: ctest runs the tests of this program side by side.
std::string writeTempFile(const std::string& name, const std::string& text)
{
    std::string path = testing::TempDir() + "scmain_" + std::to_string(getpid()) + "_" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

struct ConsoleRun {
    int result;
    std::string out;
};

// Runs the console on the definitions with the answers as standard input.
ConsoleRun runConsole(const std::string& definitions, const std::string& answers)
{
    std::string file = writeTempFile("definitions", definitions);
    std::string input = writeTempFile("stdin", answers);
    EXPECT_NE(freopen(input.c_str(), "r", stdin), nullptr);
    testing::internal::CaptureStdout();
    int result = scMain(file.c_str());
    fflush(stdout);
    unlink(file.c_str());
    unlink(input.c_str());
    return {result, testing::internal::GetCapturedStdout()};
}

size_t count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

const char* const kTwoSubclients = "\tdata\n/data\n\ttmp\n/data/tmp\n";

TEST(ScMain, UnopenableFileIsReportedByTheInputAndTheConsole)
{
    CaptureLog log(0);
    const char* path = "/nonexistent/definitions";
    ASSERT_NE(freopen("/dev/null", "r", stdin), nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(scMain(path), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Press CR to begin...");
    size_t errors = 0;
    for (const LogRecord& record : log.records())
        errors += record.level == -1 && record.text == "Cannot open /nonexistent/definitions, errno 2";
    EXPECT_EQ(errors, 2u) << log.dump();
}

TEST(ScMain, NullPathIsRefused)
{
    CaptureLog log(0);
    ASSERT_NE(freopen("/dev/null", "r", stdin), nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(scMain(nullptr), 1);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(log.has(-1, "Cannot open (null), errno 22")) << log.dump();
}

TEST(ScMain, RejectedDefinitionEndsTheConsoleBeforeTheListing)
{
    struct Case {
        const char* definitions;
        const char* error;
    } cases[] = {
        {"/data\n", "/data failed"},                         // content before any subclient: the default's root
        {"\tdata\n\n", "\n failed"},                         // an empty line keeps its line feed
        {"\tdata\n\r\n", "\r failed"},                       // and of CR LF the CR stays
        {"\tdata\n\tDATA\n", "setName DATA failed"},         // names compare ignoring case
        {"\tdata\n/data\n/data/sub\n", "/data/sub failed"},  // descendant in the same subclient
    };
    for (const Case& c : cases) {
        CaptureLog log(0);
        ConsoleRun run = runConsole(c.definitions, "");
        EXPECT_EQ(run.result, 1) << c.definitions;
        EXPECT_TRUE(log.has(-1, c.error)) << c.definitions << log.dump();
        EXPECT_EQ(run.out.find("There are"), std::string::npos) << run.out;
    }
}

TEST(ScMain, AcceptedContentIsLoggedAtLevel192)
{
    CaptureLog log(192);
    ConsoleRun run = runConsole(kTwoSubclients, "");
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(log.has(192, "/data success")) << log.dump();
    EXPECT_TRUE(log.has(192, "/data/tmp success")) << log.dump();
}

TEST(ScMain, EndOfInputEndsEveryPhase)
{
    // Input ends at the directory prompt, after a first pattern, and at the first prompt.
    for (const char* answers : {"", "\n", "\n/data", "\nq\n*.log\n", "\nq\nq\n/data\n"}) {
        ConsoleRun run = runConsole(kTwoSubclients, answers);
        EXPECT_EQ(run.result, 0) << answers;
        EXPECT_EQ(count(run.out, "Enter a directory"), 1u + (std::string(answers) == "\n/data")) << answers;
        EXPECT_EQ(count(run.out, "Enter content path"), 1u) << answers;
    }
}

TEST(ScMain, AnswersLoseTheirLineEnd)
{
    ConsoleRun run =
        runConsole(kTwoSubclients, "\r\n/data/tmp\r\n/data\r\nq\r\n*.LOG\r\n*.log\nq\n/data\r\n/data/tmp/x\r\nq\n");
    EXPECT_EQ(run.result, 0);
    EXPECT_NE(run.out.find("\n*** Creating dir1 for '/data/tmp'\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\n*** Merging dir2 into dir1\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("'*.LOG' contains '*.log' (case insensitive)\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("'/data' could contain '/data/tmp/x'\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("pathTest '/data/tmp/x' in sc 3 returns 1\n"), std::string::npos) << run.out;
    EXPECT_EQ(count(run.out, "Enter first pattern"), 2u) << "q with CR LF quits";
}

TEST(ScMain, QuitAnswers)
{
    // Q quits the directory phase only; at the pattern prompt it is a pattern.
    ConsoleRun run = runConsole(kTwoSubclients, "\nQ\nQ\nx\nq\nq\n");
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(count(run.out, "Enter a directory"), 1u);
    EXPECT_NE(run.out.find("'Q' does not contain 'x' (case sensitive)"), std::string::npos) << run.out;
}

TEST(ScMain, OverlongAnswerIsCutNotSplit)
{
    // The rest of a line beyond 1024 characters must not become the next directory.
    std::string longDirectory = "/" + std::string(1100, 'a');
    ConsoleRun run = runConsole(kTwoSubclients, "\n" + longDirectory + "\nq\nq\nq\n");
    EXPECT_EQ(run.result, 0);
    EXPECT_NE(run.out.find("Creating dir1 for '/" + std::string(1023, 'a') + "'\n"), std::string::npos);
    EXPECT_EQ(run.out.find("Creating dir2"), std::string::npos);
}

TEST(ScMain, UnparsablePatternNamesTheAnswerThatFailed)
{
    // An empty pattern does not parse.
    ConsoleRun run = runConsole(kTwoSubclients, "\nq\n*.log\n\nq\nq\n");
    EXPECT_NE(run.out.find("Enter second pattern: Cannot parse ''\n"), std::string::npos) << run.out;
}

}  // namespace
