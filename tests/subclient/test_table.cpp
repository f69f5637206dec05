// The configuration object, its subclient table and the case-sensitivity decision.
#include "SubclientTest.h"
#include "platform/KXGlobalParam.h"

namespace {

TEST(SubclientTable, NamesCompareIgnoringCaseLookupsFollowTheMode)
{
    CaptureLog log(1);
    FSSubclientConf conf;
    EXPECT_EQ(Strings{"default: /"}, contentOf(conf));
    EXPECT_EQ(nullptr, conf.numberToName(0));
    EXPECT_EQ(-1, conf.nodeToSubclientNumber(nullptr));
    EXPECT_EQ("not set", conf.nodeToSubclientName(nullptr));
    EXPECT_EQ("0 0 -1 -1 0", fill(conf, {"\tDEFAULT", "\tA", "\tdefault", "\ta", "\tB"}))
        << "the default subclient may be named first";
    EXPECT_TRUE(log.has(1, "setName duplicate name default (subscripts 0 and 3)")) << log.dump();
    EXPECT_TRUE(log.has(1, "setName duplicate name a (subscripts 1 and 3)")) << log.dump();
    EXPECT_EQ(FS_DUPLICATE_NAME, conf.getErrCode()) << "a later success keeps the code";
    EXPECT_EQ((Strings{"default: /", "A:", "B:"}), contentOf(conf));
    EXPECT_EQ(3, conf.nameToNumber("b"));
    EXPECT_TRUE(conf.isDefault(1) && !conf.isDefault(2) && conf.isDefault("DEFAULT"));

    FSSubclientConf exact(13);
    EXPECT_EQ("0 -1", fill(exact, {"\tA", "\ta"}));
    EXPECT_EQ(-1, exact.nameToNumber("a"));
    EXPECT_FALSE(exact.isDefault("DEFAULT"));
}

// The global parameters answer for application types outside the fixed table:
// a number, or !fail, !text or !other for a failure, a thrown text or another throw.
TEST(CaseSensitivity, TableAndGlobalParameters)
{
    std::vector<int> asked;
    std::string answer;
    kxSetGlobalParamSource([&](const int& type, std::string& value) {
        asked.push_back(type);
        if (answer == "!text")
            throw "no parameters";
        if (answer == "!other")
            throw 42;
        value = answer;
        return answer == "!fail" ? -1 : 0;
    });
    const struct {
        int appType;
        const char* answer;
        bool expected;
        size_t asks;  // the constructor's and checkCaseSensitivity's
    } cases[] = {{1, "1", false, 0},     {13, "0", true, 0},     {103, "1", false, 0},
                 {104, "0", true, 0},    {0, "0", false, 2},     {70, "1", true, 2},
                 {-3, "17x", true, 2},   {105, "abc", false, 2}, {49, "99999999999999999999", true, 2},
                 {0, "!fail", false, 2}, {0, "!text", false, 2}, {0, "!other", false, 2}};
    CaptureLog log(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.appType) + " " + c.answer);
        asked.clear();
        answer = c.answer;
        FSSubclientConf conf(c.appType);
        EXPECT_EQ(c.expected, conf.isCaseSensitive());
        const bool failure = c.answer[0] == '!';
        bool flag = !c.expected;
        EXPECT_EQ(failure ? -1 : 0, conf.checkCaseSensitivity(c.appType, &flag));
        EXPECT_EQ(flag, failure ? !c.expected : c.expected) << "a failure leaves the flag alone";
        EXPECT_EQ(c.asks, asked.size());
    }
    for (const char* message :
         {"getCaseSensitivity failed, appType 0", "Exception no parameters, appType 0", "Unknown exception, appType 0",
          "Cannot determine case sensitivity; assuming case insensitive"})
        EXPECT_TRUE(log.has(message)) << message << "\n" << log.dump();
    FSSubclientConf conf(85);
    asked.clear();
    bool flag;
    conf.checkCaseSensitivity(0, &flag);
    EXPECT_EQ(std::vector<int>{85}, asked) << "the query names the stored type";
    // A load decides again.
    FSSubclientConf loaded(0);
    for (const char* a : {"1", "!fail"}) {
        answer = a;
        TextSummary summary("\tdefault\n", {1});
        log.clear();
        EXPECT_EQ(loaded.load(&summary), 0);
        EXPECT_EQ(loaded.isCaseSensitive(), answer == "1");
        EXPECT_EQ(log.has(1, "Cannot determine case sensitivity - assuming case insensitive"), answer == "!fail");
    }
    kxSetGlobalParamSource(nullptr);
}

}  // namespace
