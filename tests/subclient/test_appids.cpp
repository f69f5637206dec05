// Translations between subclient numbers and application ids.
#include "subclient/FSSubclientConf.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"

#include <gtest/gtest.h>

class AppIdTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        conf.setName("A");
        conf.setName("B");
    }
    std::vector<unsigned long>& appIds() { return FSSubclientConfTestAccess::priv(conf).appIds; }
    FSSubclientConf conf;
    CaptureLog log{255};
};

TEST_F(AppIdTest, TranslatesBothWaysWithinTheTable)
{
    appIds() = {11, 22, 33};
    EXPECT_EQ(conf.numberToAppId(3), 33ul);
    EXPECT_EQ(conf.appIdToNumber(22), 2);
    EXPECT_EQ(conf.appIdToNumber(44), -1);
    EXPECT_TRUE(log.has(1, "44 not found in appIdMap"));
    EXPECT_EQ(conf.numberToAppId(4), 0ul);
    EXPECT_TRUE(log.has(1, "Illegal number 4 (numSubclients=3)"));
}

TEST_F(AppIdTest, NeedsOneIdPerSubclient)
{
    appIds() = {11, 22};
    EXPECT_EQ(conf.numberToAppId(2), 0ul);
    EXPECT_TRUE(log.has(1, "There are 3 subclients but 2 app ids"));
    EXPECT_TRUE(log.has(1, "appIds[1] is 22"));
    EXPECT_EQ(conf.appIdToNumber(11), -1);
    // Each translation reports the table as its own.
    for (const char* function : {"FSSubclientConf::numberToAppId(int)", "FSSubclientConf::appIdToNumber("})
        for (const char* text : {"There are 3 subclients but 2 app ids", "appIds[1] is 22"})
            EXPECT_TRUE(log.reportedBy(text, function)) << text << " " << function;
}

TEST_F(AppIdTest, DuplicateIdLeavesAPartialMap)
{
    appIds() = {11, 22, 11};
    EXPECT_EQ(conf.appIdToNumber(22), -1);
    EXPECT_TRUE(log.has(1, "appIdMap add 11 failed - already in map"));
    EXPECT_TRUE(log.has(1, "appIds[2] is 11"));
    EXPECT_EQ(conf.appIdToNumber(11), 1);
}

