// The configuration object, its subclient table and the case-sensitivity decision.
#include "subclient/FSSubclientConfPrivate.h"
#include "support/Capture.h"

#include "platform/KXGlobalParam.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Answers global-parameter queries for the duration of a test.
class GlobalParamSource {
public:
    explicit GlobalParamSource(KXGlobalParamSource source) { kxSetGlobalParamSource(std::move(source)); }
    ~GlobalParamSource() { kxSetGlobalParamSource(nullptr); }
};

TEST(SubclientTable, NewObject)
{
    FSSubclientConf conf;
    EXPECT_EQ(1, conf.getNumSubclients());
    EXPECT_STREQ("default", conf.numberToName(1));
    EXPECT_TRUE(conf.isDefault(1));
    EXPECT_FALSE(conf.isDefault(2));
    EXPECT_EQ(nullptr, conf.numberToName(0));
    EXPECT_EQ(nullptr, conf.numberToName(2));
    EXPECT_EQ(FS_NO_ERROR, conf.getErrCode());
    EXPECT_EQ('/', conf.getDelim());
}

TEST(SubclientTable, NamesCompareIgnoringCaseLookupsFollowTheMode)
{
    CaptureLog log(1);
    FSSubclientConf conf;
    EXPECT_EQ(0, conf.setName("DEFAULT"));
    EXPECT_EQ(1, conf.getNumSubclients());
    EXPECT_EQ(0, conf.setName("A"));
    EXPECT_EQ(-1, conf.setName("default"));
    EXPECT_EQ(FS_DUPLICATE_NAME, conf.getErrCode());
    EXPECT_TRUE(log.has(1, "setName duplicate name default (subscripts 0 and 3)")) << log.dump();
    EXPECT_EQ(-1, conf.setName("a"));
    EXPECT_TRUE(log.has(1, "setName duplicate name a (subscripts 1 and 3)")) << log.dump();
    EXPECT_EQ(0, conf.setName("B"));
    EXPECT_EQ(FS_DUPLICATE_NAME, conf.getErrCode()) << "a later success keeps the code";
    EXPECT_EQ(3, conf.nameToNumber("b"));

    FSSubclientConf exact(13);
    ASSERT_EQ(0, exact.setName("A"));
    EXPECT_EQ(-1, exact.nameToNumber("a"));
    EXPECT_EQ(-1, exact.setName("a"));
    EXPECT_FALSE(exact.isDefault("DEFAULT"));
}

TEST(CaseSensitivity, TableAndGlobalParameters)
{
    std::vector<int> asked;
    std::string answer;
    GlobalParamSource source([&](const int& type, std::string& value) {
        asked.push_back(type);
        value = answer;
        return 0;
    });
    struct {
        int appType;
        const char* answer;  // of the global parameters, asked outside the fixed table
        bool expected;
        bool asks;
    } cases[] = {{1, "1", false, false},  {13, "0", true, false},    {103, "1", false, false},
                 {104, "0", true, false}, {0, "0", false, true},     {70, "1", true, true},
                 {-3, "17x", true, true}, {105, "abc", false, true}, {49, "99999999999999999999", true, true}};
    for (const auto& c : cases) {
        asked.clear();
        answer = c.answer;
        FSSubclientConf conf(c.appType);
        EXPECT_EQ(c.expected, conf.isCaseSensitive()) << c.appType << " " << c.answer;
        bool flag = !c.expected;
        EXPECT_EQ(0, conf.checkCaseSensitivity(c.appType, &flag));
        EXPECT_EQ(c.expected, flag);
        EXPECT_EQ(c.asks ? 2u : 0u, asked.size()) << c.appType;
    }
    FSSubclientConf conf(85);
    asked.clear();
    bool flag;
    conf.checkCaseSensitivity(0, &flag);
    EXPECT_EQ(std::vector<int>{85}, asked) << "the query names the stored type";
}

TEST(CaseSensitivity, FailuresAreCaughtAndReported)
{
    CaptureLog log(1);
    struct {
        KXGlobalParamSource source;
        int level;
        const char* message;
    } cases[] = {
        {[](const int&, std::string&) { return -1; }, 1, "getCaseSensitivity failed, appType 0"},
        {[](const int&, std::string&) -> int { throw "no parameters"; }, -1, "Exception no parameters, appType 0"},
        {[](const int&, std::string&) -> int { throw 42; }, -1, "Unknown exception, appType 0"},
    };
    for (const auto& c : cases) {
        GlobalParamSource source(c.source);
        FSSubclientConf conf(0);
        EXPECT_FALSE(conf.isCaseSensitive());
        EXPECT_TRUE(log.has(1, "Cannot determine case sensitivity; assuming case insensitive")) << log.dump();
        bool flag = true;
        EXPECT_EQ(-1, conf.checkCaseSensitivity(0, &flag));
        EXPECT_TRUE(flag) << "a failure leaves the flag alone";
        EXPECT_TRUE(log.has(c.level, c.message)) << log.dump();
    }
}

}  // namespace
