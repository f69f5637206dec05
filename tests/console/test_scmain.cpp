// The test console's failures, logged messages and the handling of answers on
// standard input. Whole dialogues are checked as transcripts of scconsole.
#include "console/scMain.h"
#include "support/Capture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Runs the console on the definitions (null: no file) with the answers as standard input.
std::pair<int, std::string> runConsole(const char* definitions, const std::string& answers)
{
    TempDir dir;
    const std::string file = dir.write("definitions", definitions ? definitions : "");
    EXPECT_NE(freopen(dir.write("stdin", answers).c_str(), "r", stdin), nullptr);
    testing::internal::CaptureStdout();
    const int result = scMain(definitions ? file.c_str() : nullptr);
    fflush(stdout);
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

TEST(ScMain, RefusedDefinitionsEndTheConsoleBeforeTheListing)
{
    struct Case {
        const char* definitions;
        const char* error;
    } cases[] = {
        {nullptr, "Cannot open (null), errno 22"},
        {"/data\n", "/data failed"},                         // content before any subclient: the default's root
        {"\tdata\n\n", "\n failed"},                         // an empty line keeps its line feed
        {"\tdata\n\r\n", "\r failed"},                       // and of CR LF the CR stays
        {"\tdata\n\tDATA\n", "setName DATA failed"},         // names compare ignoring case
        {"\tdata\n/data\n/data/sub\n", "/data/sub failed"},  // descendant in the same subclient
    };
    for (const Case& c : cases) {
        CaptureLog log(0);
        const auto run = runConsole(c.definitions, "");
        EXPECT_EQ(run.first, 1) << c.error;
        EXPECT_TRUE(log.has(-1, c.error)) << log.dump();
        EXPECT_EQ(run.second.find("There are"), std::string::npos) << run.second;
    }
    // Both the input and the console report a file that cannot be opened.
    CaptureLog log(0);
    ASSERT_NE(freopen("/dev/null", "r", stdin), nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(scMain("/nonexistent/definitions"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Press CR to begin...");
    EXPECT_EQ(count(log.dump(), "Cannot open /nonexistent/definitions, errno 2"), 2u) << log.dump();
}

// How often the console asked for a directory, a first pattern and a content path.
std::string prompts(const std::string& out)
{
    return std::to_string(count(out, "Enter a directory")) + " " + std::to_string(count(out, "Enter first pattern")) +
           " " + std::to_string(count(out, "Enter content path"));
}

TEST(ScMain, Dialogues)
{
    const struct {
        std::string answers;
        const char* prompts;
        std::vector<std::string> shown;
    } cases[] = {
        // End of input ends each phase (before the first answer: a transcript of scconsole).
        {"\n/data", "2 1 1", {}},
        {"\nq\n*.log\n", "1 1 1", {}},
        {"\nq\nq\n/data\n", "1 1 1", {}},
        // Answers lose their line end, CR LF too.
        {"\r\n/data/tmp\r\n/data\r\nq\r\n*.LOG\r\n*.log\nq\n/data\r\n/data/tmp/x\r\nq\n",
         "3 2 2",
         {"\n*** Creating dir1 for '/data/tmp'\n", "\n*** Merging dir2 into dir1\n",
          "'*.LOG' contains '*.log' (case insensitive)\n", "'/data' could contain '/data/tmp/x'\n",
          "pathTest '/data/tmp/x' in sc 3 returns 1\n"}},
        // Q quits the directory phase only; at the pattern prompt it is a pattern.
        {"\nQ\nQ\nx\nq\nq\n", "1 2 1", {"'Q' does not contain 'x' (case sensitive)"}},
        // The rest of a line beyond 1024 characters must not become the next directory.
        {"\n/" + std::string(1100, 'a') + "\nq\nq\nq\n",
         "2 1 1",
         {"Creating dir1 for '/" + std::string(1023, 'a') + "'\n"}},
        {"\nq\n*.log\n\nq\nq\n", "1 2 1", {"Enter second pattern: Cannot parse ''\n"}},  // an empty pattern
    };
    for (const auto& c : cases) {
        CaptureLog log(192);
        const auto run = runConsole(kTwoSubclients, c.answers);
        EXPECT_EQ(run.first, 0) << c.answers;
        EXPECT_TRUE(log.has(192, "/data/tmp success")) << log.dump();
        EXPECT_EQ(prompts(run.second), c.prompts) << c.answers;
        for (const std::string& text : c.shown)
            EXPECT_NE(run.second.find(text), std::string::npos) << text << "\n" << run.second;
    }
}

}  // namespace
