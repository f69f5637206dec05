#include "TempFiles.h"
#include "platform/KXGlobalParam.h"
#include "platform/KXTextFile.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

const char kEnv[] = "SUBCLIENTCONF_GLOBAL_PARAMS";

int ask(int appType, std::string& value)
{
    KXGlobalParam params;
    return params.getCaseSensitivity(appType, value, nullptr);
}

TEST(GlobalParam, AnswersFromTheFile)
{
    TempDir dir;
    ScopedEnv env(kEnv, dir.write("params", "# types the library does not know\n"
                                            "\n"
                                            "caseSensitive.0=1\n"
                                            "  caseSensitive.65 = 0  \r\n"
                                            "caseSensitive.-3=1")
                            .c_str());
    struct Case {
        int type;
        int result;
        const char* value;
    } cases[] = {{0, 0, "1"}, {65, 0, "0"}, {-3, 0, "1"}, {49, -1, "unchanged"}};
    for (const Case& c : cases) {
        std::string value = "unchanged";
        EXPECT_EQ(ask(c.type, value), c.result) << c.type;
        EXPECT_EQ(value, c.value) << c.type;
    }
}

TEST(GlobalParam, NoVariableOrNoFileIsANegativeResultWithoutError)
{
    CaptureLog log(0);
    std::string value;
    {
        ScopedEnv env(kEnv, nullptr);
        EXPECT_EQ(ask(0, value), -1);
    }
    {
        ScopedEnv env(kEnv, "/nonexistent/subclientconf-params");
        EXPECT_EQ(ask(0, value), -1);
    }
    EXPECT_TRUE(log.records().empty()) << log.dump();
}

TEST(GlobalParam, AnUnreadableFileIsAnError)
{
    TempDir dir;
    ScopedEnv env(kEnv, dir.path().c_str());  // a folder cannot be read as a file
    CaptureLog log(0);
    std::string value;
    EXPECT_EQ(ask(0, value), -1);
    EXPECT_TRUE(log.has(-1, "Cannot read global parameters file '" + dir.path() + "': Is a directory")) << log.dump();
}

TEST(GlobalParam, AMalformedFileIsRejectedWholeNamingFileAndLine)
{
    struct Case {
        const char* text;
        const char* problem;
    } cases[] = {
        {"caseSensitive.0=1\ncaseSensitive.1\n", "line 2: missing '='"},
        {"caseSensitive.0=1\ncasesensitive.1=1\n", "line 2: unknown key 'casesensitive.1'"},
        {"caseSensitive.=1\n", "line 1: bad application type ''"},
        {"caseSensitive.x=1\n", "line 1: bad application type 'x'"},
        {"caseSensitive.99999999999=1\n", "line 1: bad application type '99999999999'"},
        {"caseSensitive.0=yes\n", "line 1: bad value 'yes' (expected 0 or 1)"},
        {"caseSensitive.0=\n", "line 1: bad value '' (expected 0 or 1)"},
        {"caseSensitive.0=1\n# again\ncaseSensitive.00=0\n", "line 3: application type 0 given twice"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        std::string path = dir.write("params", c.text);
        ScopedEnv env(kEnv, path.c_str());
        CaptureLog log(0);
        std::string value = "unchanged";
        EXPECT_EQ(ask(0, value), -1) << c.text;
        EXPECT_EQ(value, "unchanged");
        EXPECT_TRUE(log.has(-1, "Global parameters file '" + path + "', " + c.problem)) << log.dump();
    }
}

TEST(GlobalParam, ASourceReplacesTheFileUntilCleared)
{
    TempDir dir;
    ScopedEnv env(kEnv, dir.write("params", "caseSensitive.0=0\n").c_str());
    kxSetGlobalParamSource([](const int& type, std::string& value) {
        if (type == 7)
            throw "no parameters service";
        value = "42";
        return 0;
    });
    std::string value;
    EXPECT_EQ(ask(0, value), 0);
    EXPECT_EQ(value, "42");
    EXPECT_THROW(ask(7, value), const char*);
    kxSetGlobalParamSource(nullptr);
    EXPECT_EQ(ask(0, value), 0);
    EXPECT_EQ(value, "0");
}

TEST(TextFile, StrictNumbers)
{
    struct Case {
        const char* text;
        bool isInt;
        int intValue;
        bool isU32;
        uint32_t u32Value;
    } cases[] = {
        {"0", true, 0, true, 0},
        {"-2147483648", true, INT32_MIN, false, 0},
        {"2147483647", true, INT32_MAX, true, 2147483647u},
        {"2147483648", false, 0, true, 2147483648u},
        {"4294967295", false, 0, true, 4294967295u},
        {"4294967296", false, 0, false, 0},
        {"", false, 0, false, 0},
        {"-", false, 0, false, 0},
        {"+1", false, 0, false, 0},
        {" 1", false, 0, false, 0},
        {"1x", false, 0, false, 0},
    };
    for (const Case& c : cases) {
        int i = 7;
        uint32_t u = 7;
        EXPECT_EQ(kxParseInt(c.text, i), c.isInt) << c.text;
        EXPECT_EQ(i, c.isInt ? c.intValue : 7) << c.text;
        EXPECT_EQ(kxParseUnsigned32(c.text, u), c.isU32) << c.text;
        EXPECT_EQ(u, c.isU32 ? c.u32Value : 7u) << c.text;
    }
}

}  // namespace
