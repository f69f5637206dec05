// The configuration object, its subclient table and the case-sensitivity decision.
#include "subclient/FSSubclientConfPrivate.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"

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

TEST(SubclientTable, NewObject) {
    FSSubclientConf conf;
    EXPECT_EQ(1, conf.getNumSubclients());
    EXPECT_STREQ("default", conf.numberToName(1));
    EXPECT_TRUE(conf.isDefault(1));
    EXPECT_TRUE(conf.isDefault("DEFAULT"));
    EXPECT_FALSE(conf.isDefault(2));
    EXPECT_FALSE(conf.isDefault(static_cast<const char*>(nullptr)));
    EXPECT_EQ(nullptr, conf.numberToName(0));
    EXPECT_EQ(nullptr, conf.numberToName(2));
    EXPECT_EQ(FS_NO_ERROR, conf.getErrCode());
    EXPECT_EQ('/', conf.getDelim());
    EXPECT_FALSE(conf.isCaseSensitive());
    EXPECT_EQ("default", conf.getDefaultName());

    CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
    ASSERT_NE(nullptr, p.root);
    EXPECT_EQ(1, p.root->subclient);
    EXPECT_EQ(&p.sentinel, p.root->coveringNode);
    EXPECT_EQ("/", conf.nodeToPath(p.root));
    ASSERT_EQ(1u, p.replayVec.size());
    EXPECT_EQ(FSPlayback::kindName, p.replayVec[0].kind);
    EXPECT_EQ("default", p.replayVec[0].text);
}

TEST(SubclientTable, DefaultNameAndDuplicates) {
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
    EXPECT_EQ(2, conf.getNumSubclients());

    // A later success keeps the earlier failure's code.
    EXPECT_EQ(0, conf.setName("B"));
    EXPECT_EQ(FS_DUPLICATE_NAME, conf.getErrCode());
    EXPECT_EQ(3, conf.nameToNumber("b"));
}

TEST(SubclientTable, CaseSensitiveLookups) {
    FSSubclientConf conf(13);
    EXPECT_TRUE(conf.isCaseSensitive());
    ASSERT_EQ(0, conf.setName("A"));
    EXPECT_EQ(2, conf.nameToNumber("A"));
    EXPECT_EQ(-1, conf.nameToNumber("a"));
    EXPECT_EQ(-1, conf.setName("a")) << "names always compare ignoring case";
    EXPECT_FALSE(conf.isDefault("DEFAULT"));
}

TEST(SubclientTable, GrowsByThirtyTwoAndKeepsNumbers) {
    FSSubclientConf conf;
    for (int i = 2; i <= 70; ++i)
        ASSERT_EQ(0, conf.setName(("sc" + std::to_string(i)).c_str()));
    CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
    EXPECT_EQ(96, p.namesCapacity);
    for (int i = 2; i <= 70; ++i)
        EXPECT_EQ(i, conf.nameToNumber(("sc" + std::to_string(i)).c_str()));
    EXPECT_EQ(70u, p.replayVec.size());
}

TEST(SubclientTable, NoNamesAfterFree) {
    CaptureLog log(1);
    FSSubclientConf conf;
    CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
    p.freeAll();
    EXPECT_TRUE(p.needsInit);
    EXPECT_EQ(-1, conf.nameToNumber("x"));
    EXPECT_TRUE(log.has(1, "x: no names loaded")) << log.dump();
    EXPECT_EQ(-1, p.setDisplayName("shown"));

    EXPECT_EQ(0, conf.setName("A"));  // rebuilds tree and table first
    EXPECT_EQ(2, conf.nameToNumber("A"));
    ASSERT_NE(nullptr, p.root);
}

TEST(SubclientTable, DuplicatePostfix) {
    std::string postfix;
    setPostfixToAvoidDuplication(postfix, 2);
    EXPECT_EQ("[\t\t\t Duplicated for subclient #002]", postfix);
    setPostfixToAvoidDuplication(postfix, 1234);
    EXPECT_EQ("[\t\t\t Duplicated for subclient #1234]", postfix);
}

TEST(SubclientTable, SwitchesAndDelimiter) {
    FSSubclientConf conf;
    CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
    conf.setDelim('\\');
    EXPECT_EQ("\\", p.delimString);
    EXPECT_EQ('/', p.escapeChar);
    conf.setDelim('.');
    EXPECT_EQ('\\', p.escapeChar);
    conf.caseSensitive();
    EXPECT_TRUE(conf.isCaseSensitive());
    conf.caseInsensitive();
    EXPECT_FALSE(conf.isCaseSensitive());
    conf.setSCName("sc");
    conf.setOutputDelimiter(";");
    conf.SetPatternOptimization(true);
    conf.setCalledFromStartRestore(true);
    EXPECT_EQ("sc", p.scName);
    EXPECT_EQ(";", p.outputDelimiter);
    EXPECT_TRUE(p.patternOptimization);
    EXPECT_TRUE(p.calledFromStartRestore);
}

TEST(CaseSensitivity, FixedTableNeverAsksGlobalParameters) {
    int asked = 0;
    GlobalParamSource source([&](const int&, std::string& value) {
        ++asked;
        value = "1";
        return 0;
    });
    FSSubclientConf conf;
    bool flag = true;
    EXPECT_EQ(0, conf.checkCaseSensitivity(1, &flag));
    EXPECT_FALSE(flag);
    EXPECT_EQ(0, conf.checkCaseSensitivity(13, &flag));
    EXPECT_TRUE(flag);
    EXPECT_EQ(0, conf.checkCaseSensitivity(104, &flag));
    EXPECT_TRUE(flag);
    EXPECT_EQ(0, conf.checkCaseSensitivity(103, &flag));
    EXPECT_FALSE(flag);
    EXPECT_EQ(0, asked);
}

TEST(CaseSensitivity, OtherTypesAskWithTheStoredType) {
    struct {
        const char* value;
        int rc;
        bool expected;
    } cases[] = {{"0", 0, false}, {"1", 0, true}, {"17abc", 0, true}, {"abc", 0, false},
                 {"99999999999999999999", 0, true}};
    for (const auto& c : cases) {
        std::vector<int> types;
        GlobalParamSource source([&](const int& type, std::string& value) {
            types.push_back(type);
            value = c.value;
            return c.rc;
        });
        FSSubclientConf conf(70);
        EXPECT_EQ(c.expected, conf.isCaseSensitive()) << c.value;
        bool flag = !c.expected;
        EXPECT_EQ(0, conf.checkCaseSensitivity(0, &flag));
        EXPECT_EQ(c.expected, flag) << c.value;
        EXPECT_EQ((std::vector<int>{70, 70}), types) << "queries name the stored type";
    }
}

TEST(CaseSensitivity, FailuresAreCaughtAndReported) {
    CaptureLog log(1);
    FSSubclientConf conf(0);
    bool flag = true;
    {
        GlobalParamSource source([](const int&, std::string&) { return -1; });
        EXPECT_EQ(-1, conf.checkCaseSensitivity(0, &flag));
        EXPECT_TRUE(log.has(1, "getCaseSensitivity failed, appType 0")) << log.dump();
    }
    {
        GlobalParamSource source([](const int&, std::string&) -> int { throw "no parameters"; });
        EXPECT_EQ(-1, conf.checkCaseSensitivity(0, &flag));
        EXPECT_TRUE(log.has(-1, "Exception no parameters, appType 0")) << log.dump();
    }
    {
        GlobalParamSource source([](const int&, std::string&) -> int { throw 42; });
        EXPECT_EQ(-1, conf.checkCaseSensitivity(0, &flag));
        EXPECT_TRUE(log.has(-1, "Unknown exception, appType 0")) << log.dump();
    }
    EXPECT_TRUE(flag) << "failures leave the flag alone";
}

TEST(CaseSensitivity, ConstructorFallsBackToInsensitive) {
    GlobalParamSource source([](const int&, std::string&) -> int { throw std::string("boom"); });
    CaptureLog log(1);
    FSSubclientConf conf(85);
    EXPECT_FALSE(conf.isCaseSensitive());
    EXPECT_TRUE(log.has(1, "Cannot determine case sensitivity; assuming case insensitive")) << log.dump();
    EXPECT_EQ(1, conf.getNumSubclients());
}

}  // namespace
