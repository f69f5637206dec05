#include "platform/KXGlobalParam.h"
#include "support/Capture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const char kEnv[] = "SUBCLIENTCONF_GLOBAL_PARAMS";

// "=" and the value for an application type, or the failed result (the value left alone).
std::string ask(int appType)
{
    std::string value;
    const int rc = KXGlobalParam().getCaseSensitivity(appType, value, nullptr);
    return rc == 0 ? "=" + value : std::to_string(rc) + value;
}

TEST(GlobalParam, AnswersFromAWellFormedFileElseNothingLoggingFileAndLine)
{
    TempDir dir;
    const std::string file = dir.write("params", "# types the library does not know\n"
                                                 "\n"
                                                 "caseSensitive.0=1\n"
                                                 "  caseSensitive.65 = 0  \r\n"
                                                 "caseSensitive.-3=1");
    const struct {
        const char* path;  // null: the variable is unset
        int type;
        const char* answer;
    } cases[] = {
        {file.c_str(), 65, "=0"},
        {file.c_str(), -3, "=1"},
        {file.c_str(), 49, "-1"},
        {nullptr, 0, "-1"},
        {"", 0, "-1"},
        {"/nonexistent/subclientconf-params", 0, "-1"},
    };
    CaptureLog quiet(0);
    for (const auto& c : cases) {
        c.path ? setenv(kEnv, c.path, 1) : unsetenv(kEnv);
        EXPECT_EQ(ask(c.type), c.answer) << c.type;
    }
    EXPECT_TRUE(quiet.records().empty()) << quiet.dump();

    // An unreadable or malformed file is rejected whole.
    const struct {
        const char* text;
        const char* problem;
    } malformed[] = {
        {"caseSensitive.0=1\ncaseSensitive.1\n", "line 2: missing '='"},
        {"caseSensitive.0=1\ncasesensitive.1=1\n", "line 2: unknown key 'casesensitive.1'"},
        {"caseSensitive.=1\n", "line 1: bad application type ''"},
        {"caseSensitive.99999999999=1\n", "line 1: bad application type '99999999999'"},
        {"caseSensitive.0=yes\n", "line 1: bad value 'yes' (expected 0 or 1)"},
        {"caseSensitive.0=1\n# again\ncaseSensitive.00=0\n", "line 3: application type 0 given twice"},
    };
    for (const auto& c : malformed) {
        const std::string path = dir.write("params", c.text);
        setenv(kEnv, path.c_str(), 1);
        CaptureLog log(0);
        EXPECT_EQ(ask(0), "-1") << c.text;
        EXPECT_TRUE(log.has(-1, "Global parameters file '" + path + "', " + c.problem)) << log.dump();
    }
    setenv(kEnv, dir.path().c_str(), 1);  // a folder cannot be read as a file
    CaptureLog log(0);
    EXPECT_EQ(ask(0), "-1");
    EXPECT_TRUE(log.has(-1, "Cannot read global parameters file '" + dir.path() + "': Is a directory")) << log.dump();
    unsetenv(kEnv);
}

}  // namespace
