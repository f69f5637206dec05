#include "LoadTestUtil.h"
#include "TextSummary.h"
#include "platform/KXGlobalParam.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;
using Ids = std::vector<unsigned long>;

const std::string kWholeSet = headerLine("default") + "/home\n" + headerLine("data") + "/data\n" +
                              displayLine("Data files") + "/srv/db\n" + "\n" + headerLine("logs") + "/var/log\n";

TEST(SummaryLoad, WholeSetNamesSubclientsInTextOrder)
{
    FSSubclientConf conf;
    TextSummary summary(kWholeSet, {11, 22, 33});
    CaptureLog log(3);
    ASSERT_EQ(conf.load(&summary), 0) << log.dump();
    EXPECT_EQ(subclientNames(conf), (Strings{"default", "data", "logs"}));
    EXPECT_EQ(defaultContent(conf), Strings{"/home"});
    EXPECT_EQ(replayTexts(conf), (Strings{"default", "data", "  /data", "  /srv/db", "logs", "  /var/log"}));
    EXPECT_EQ(priv(conf).appIds, (Ids{11, 22, 33}));
    EXPECT_TRUE(priv(conf).pathSet);
    EXPECT_FALSE(conf.getLoadedDefaultOnly());
    EXPECT_EQ(displayNameOf(conf, "/data"), "Data files");
    EXPECT_EQ(displayNameOf(conf, "/srv/db"), "(none)");
    for (const char* text : {"myAppIds[2] is 33", "1: default 'default'", "SC_DEBUG default content '/home'",
                             "SC_DEBUG subclient 'data'", "3: NONdefault 'logs'", "SC_DEBUG content '/srv/db'",
                             "Ignore empty string"})
        EXPECT_TRUE(log.has(3, text)) << text;
    EXPECT_TRUE(log.has(1, "setDisplayName() successful for basename: 'data', displayName: 'Data files'"));
}

TEST(SummaryLoad, DefaultOnlyTakesTheDefaultContentAlone)
{
    FSSubclientConf conf;
    TextSummary summary(kWholeSet, {11, 22, 33});
    CaptureLog log(3);
    ASSERT_EQ(conf.load(&summary, true), 0) << log.dump();
    EXPECT_EQ(subclientNames(conf), Strings{"default"});
    EXPECT_EQ(defaultContent(conf), Strings{"/home"});
    EXPECT_EQ(replayTexts(conf), Strings{"default"});
    EXPECT_TRUE(conf.getLoadedDefaultOnly());
    EXPECT_TRUE(priv(conf).appIds.empty());
    EXPECT_FALSE(log.contains("SC_DEBUG content '/data'"));
    EXPECT_TRUE(log.has(1, "setDisplayName() failed for node(NULL), displayName(Data files)"));
    EXPECT_TRUE(log.has(3, "There are 3 app ids but 1 subclient characteristics, will log detailed information"));
    EXPECT_TRUE(log.has(3, "sc 0 default NOT ignored"));
}

TEST(SummaryLoad, DoNotBackupSubclientIsIgnored)
{
    FSSubclientConf conf(8);
    TextSummary summary(headerLine("default") + headerLine("Do Not Backup") + "/tmp\n" + displayLine("Temp") +
                            headerLine("X") + "/x\n",
                        {1, 2, 3});
    CaptureLog log(3);
    ASSERT_EQ(conf.load(&summary), 0) << log.dump();
    EXPECT_EQ(subclientNames(conf), (Strings{"default", "X"}));
    EXPECT_EQ(priv(conf).appIds, (Ids{1, 3}));
    EXPECT_EQ(findNode(conf, "/tmp"), nullptr);
    EXPECT_TRUE(log.has(3, "SC_DEBUG ignore_subclient 'Do Not Backup'"));
    EXPECT_TRUE(log.has(3, "2: NONdefault 'Do Not Backup' ignored"));
    EXPECT_TRUE(log.has(3, "SC_DEBUG ignore_content '/tmp'"));
    EXPECT_TRUE(log.has(3, "SC_DEBUG ignore_content '\x12Temp'"));
}

TEST(SummaryLoad, ReservedNamesFollowTheApplicationType)
{
    struct Case {
        int appType;
        const char* name;
        bool reserved;
    } cases[] = {
        {8, "Do Not Backup", true},    {8, "do not backup", false},  {8, "Do Not Migrate", false},
        {45, "Do Not Migrate", true},  {67, "Do Not Archive", true}, {1, "Do Not Backup", false},
        {8, nullptr, false},
    };
    FSSubclientConf conf;
    for (const Case& c : cases)
        EXPECT_EQ(conf.isDoNotBackupSubclient(c.appType, c.name), c.reserved) << c.appType << " " << c.name;
}

TEST(SummaryLoad, ApplicationIdBookkeepingNeedsOneDefaultAndMatchingCounts)
{
    struct Case {
        std::string text;
        Ids ids;
        const char* report;
        const char* record;
    } cases[] = {
        {"", {}, "There are 0 default subclient(s), will log detailed information", nullptr},
        {headerLine("default") + headerLine("default"), {1, 2},
         "There are 2 default subclient(s), will log detailed information", "sc 1 default NOT ignored"},
        {headerLine("default") + headerLine("A") + headerLine("B"), {1, 2},
         "There are 2 app ids but 3 subclient characteristics, will log detailed information",
         "sc 2 NON-default NOT ignored"},
    };
    for (const Case& c : cases) {
        FSSubclientConf conf;
        TextSummary summary(c.text, c.ids);
        CaptureLog log(1);
        ASSERT_EQ(conf.load(&summary), 0) << log.dump();
        EXPECT_TRUE(priv(conf).appIds.empty());
        EXPECT_TRUE(priv(conf).pathSet);
        EXPECT_TRUE(log.has(1, c.report)) << log.dump();
        if (c.record) {
            EXPECT_TRUE(log.has(1, c.record)) << log.dump();
        }
        if (!c.ids.empty()) {
            EXPECT_TRUE(log.has(1, "myAppIds[1] is 2")) << log.dump();
        }
    }
}

TEST(SummaryLoad, DefaultNameFollowedByABlankIsAnotherSubclient)
{
    FSSubclientConf conf;
    TextSummary summary(headerLine("default") + headerLine("default ") + "/a\n", {5, 6});
    ASSERT_EQ(conf.load(&summary), 0);
    EXPECT_EQ(subclientNames(conf), (Strings{"default", "default "}));
    EXPECT_EQ(priv(conf).appIds, (Ids{5, 6}));
}

TEST(SummaryLoad, ContentBeforeTheFirstHeader)
{
    struct Case {
        const char* what;
        std::string scName;
        bool allowOverlap;
        bool defaultOnly;
        int result;
        const char* message;
    } cases[] = {
        {"rejected", "", false, false, -1, "/early failed"},
        {"tolerated for another subclient", "backup", false, false, 0,
         "/early failed. since SC  and backup SC backup are different, ignoring ancestor error"},
        {"accepted with overlap allowed", "", true, false, 0, nullptr},
        {"skipped when default only", "", false, true, 0, nullptr},
    };
    for (const Case& c : cases) {
        FSSubclientConf conf;
        conf.setSCName(c.scName);
        priv(conf).allowOverlapSCContent = c.allowOverlap;
        TextSummary summary("/early\n" + headerLine("default"), {1});
        CaptureLog log(1);
        EXPECT_EQ(conf.load(&summary, c.defaultOnly), c.result) << c.what << log.dump();
        if (c.message) {
            EXPECT_TRUE(log.has(c.result < 0 ? -1 : 0, c.message)) << c.what << log.dump();
        }
        EXPECT_EQ(findNode(conf, "/early") != nullptr, c.allowOverlap) << c.what;
    }
}

TEST(SummaryLoad, DuplicateContentIsToleratedAndRaised)
{
    FSSubclientConf conf;
    priv(conf).fleetId = 7;
    priv(conf).appId = 9;
    TextSummary summary(headerLine("default") + headerLine("A") + "/\n" + "/a\n", {1, 2});
    CaptureLog log(1);
    CaptureEvents events;
    ASSERT_EQ(conf.load(&summary), 0) << log.dump();
    EXPECT_TRUE(log.has(-1, "/ failed - ignoring duplicate error"));
    ASSERT_EQ(events.events().size(), 1u);
    const EvRecord event = events.events()[0];
    EXPECT_TRUE(event.major);
    EXPECT_EQ(event.id, 0x0E00005Aul);
    EXPECT_EQ(event.fleetId, 7ul);
    EXPECT_EQ(event.appId, 9ul);
    ASSERT_EQ(event.args.size(), 1u);
    EXPECT_EQ(event.args[0].text, "/");
    EXPECT_NE(findNode(conf, "/a"), nullptr);
}

TEST(SummaryLoad, AncestorInTheSameSubclient)
{
    const std::string text = headerLine("default") + headerLine("A") + "/a\n" + "/a/sub\n" + displayLine("Sub");
    {
        FSSubclientConf conf;
        TextSummary summary(text, {1, 2});
        CaptureLog log(1);
        EXPECT_EQ(conf.load(&summary), -1);
        EXPECT_TRUE(log.has(-1, "/a/sub failed")) << log.dump();
        EXPECT_NE(findNode(conf, "/a"), nullptr) << "nothing is rolled back";
    }
    {
        FSSubclientConf conf;
        conf.setSCName("A");
        TextSummary summary(text, {1, 2});
        EXPECT_EQ(conf.load(&summary), -1) << "the backup subclient itself is not tolerated";
    }
}

// Below logs, with a wildcard child, x is first an intermediate node of /logs/x/y
// and is then accepted as it stands (no new node) for B, or refused for A.
const std::string kLogsOfA = headerLine("default") + headerLine("A") + "/logs/*.tmp\\/\\/\n" + "/logs/x/y\n";

TEST(SummaryLoad, AncestorFoundAmongWildcardSiblingsIsToleratedWithOverlapAllowed)
{
    FSSubclientConf conf;
    priv(conf).allowOverlapSCContent = true;
    TextSummary summary(kLogsOfA + "/logs/x\n", {1, 2});
    CaptureLog log(1);
    ASSERT_EQ(conf.load(&summary), 0) << log.dump();
    EXPECT_TRUE(log.has(1, "/logs/x failed - ignoring ancestor error")) << log.dump();
}

// A display name names the content line just before it, never a node of an earlier line.
TEST(SummaryLoad, DisplayNameWithoutItsContentLineNamesNothing)
{
    struct Case {
        const char* what;
        std::string text;
    } cases[] = {
        {"after a header", headerLine("default") + headerLine("A") + "/a\n" + headerLine("B") + displayLine("Oops") +
                               "/b\n"},
        {"after a tolerated failure", headerLine("default") + headerLine("A") + "/a\n" + "/a/sub\n" +
                                          displayLine("Oops")},
        {"after a line that ended on an existing node", kLogsOfA + "/a\n" + headerLine("B") + "/logs/x\n" +
                                                             displayLine("Oops")},
    };
    const char* endedOnAnExistingNode = cases[2].what;
    for (const Case& c : cases) {
        FSSubclientConf conf;
        conf.setSCName("other");
        TextSummary summary(c.text, {1, 2, 3});
        CaptureLog log(1);
        ASSERT_EQ(conf.load(&summary), 0) << c.what << log.dump();
        EXPECT_EQ(displayNameOf(conf, "/a"), "(none)") << c.what;
        EXPECT_EQ(displayNameOf(conf, "/logs/x"), "(none)") << c.what;
        if (c.what == endedOnAnExistingNode) {
            EXPECT_EQ(conf.nodeToSubclientNumber(findNode(conf, "/logs/x")), 3) << "B took the node as it stood";
        }
        EXPECT_TRUE(log.has(1, "setDisplayName() failed for node(NULL), displayName(Oops)")) << c.what;
    }
}

TEST(SummaryLoad, FailuresBeforeReadingKeepTheObject)
{
    struct Case {
        const char* what;
        int lookupResult;
        bool throwOnLookup;
        const char* message;
    } cases[] = {
        {"lookup fails", 5, false, "lookup failed, code 5"},
        {"service throws", 0, true, "exception: service down"},
    };
    for (const Case& c : cases) {
        FSSubclientConf conf;
        ASSERT_EQ(conf.setName("keep"), 0);
        TextSummary summary(headerLine("default"), {1});
        summary.lookupResult = c.lookupResult;
        summary.throwOnLookup = c.throwOnLookup;
        CaptureLog log(1);
        EXPECT_EQ(conf.load(&summary), -1) << c.what;
        EXPECT_TRUE(log.has(-1, c.message)) << c.what << log.dump();
        EXPECT_EQ(subclientNames(conf), (Strings{"default", "keep"})) << c.what;
    }
    FSSubclientConf conf;
    EXPECT_EQ(conf.load(static_cast<SubclientConfSummary*>(nullptr)), -1);
}

TEST(SummaryLoad, UnreadableTextFails)
{
    const std::string complete = headerLine("default") + headerLine("A") + "/a\n";
    {
        FSSubclientConf conf;
        TextSummary summary(complete + "/b", {1, 2});
        CaptureLog log(1);
        EXPECT_EQ(conf.load(&summary), -1);
        EXPECT_TRUE(log.has(-1, "error: cannot read config"));
        EXPECT_EQ(findNode(conf, "/b"), nullptr);
    }
    {
        FSSubclientConf conf;
        FailingSummary summary(complete);
        CaptureLog log(1);
        EXPECT_EQ(conf.load(&summary), -1) << "an I/O error is not the end of the text";
        EXPECT_TRUE(log.has(-1, "error: cannot read config"));
        EXPECT_FALSE(conf.getLoadedDefaultOnly());
    }
}

TEST(SummaryLoad, SetNameFailureStopsTheLoad)
{
    FSSubclientConf conf;
    TextSummary summary(headerLine("default") + headerLine("A") + headerLine("a"), {1, 2, 3});
    CaptureLog log(1);
    EXPECT_EQ(conf.load(&summary), -1);
    EXPECT_TRUE(log.has(-1, "setName a failed"));
}

TEST(SummaryLoad, ReloadReplacesEverything)
{
    FSSubclientConf conf;
    TextSummary first(kWholeSet, {11, 22, 33});
    ASSERT_EQ(conf.load(&first, true), 0);
    TextSummary second(headerLine("default") + "/root2\n" + headerLine("other") + "/o\n", {4, 5});
    ASSERT_EQ(conf.load(&second), 0);
    EXPECT_EQ(subclientNames(conf), (Strings{"default", "other"}));
    EXPECT_EQ(defaultContent(conf), Strings{"/root2"});
    EXPECT_EQ(replayTexts(conf), (Strings{"default", "other", "  /o"}));
    EXPECT_EQ(priv(conf).appIds, (Ids{4, 5}));
    EXPECT_FALSE(conf.getLoadedDefaultOnly());
}

// Whichever step writes a message of the load, its origin is the load; no store
// is open here, so the backup set's flags cannot be read.
TEST(SummaryLoad, MessagesNameTheLoadAsOrigin)
{
    FSSubclientConf conf(8);
    conf.setSCName("other");
    TextSummary summary("/early\n" + headerLine("default") + headerLine("Do Not Backup") + headerLine("A") + "/a\n" +
                            displayLine("A files") + "/\n",
                        {1, 2});
    CaptureLog log(192);
    ASSERT_EQ(conf.load(&summary), 0) << log.dump();
    for (const char* text : {"Failed to get the BackupSet", "myAppIds[1] is 2", "SC_DEBUG subclient 'A'",
                             "3: NONdefault 'A'", "/a success",
                             "setDisplayName() successful for basename: 'a', displayName: 'A files'",
                             "/early failed. since SC  and backup SC other are different, ignoring ancestor error",
                             "/ failed - ignoring duplicate error",
                             "There are 2 app ids but 3 subclient characteristics, will log detailed information",
                             "sc 1 NON-default ignored"})
        EXPECT_NE(originOf(log, text).find("FSSubclientConf::load(SubclientConfSummary"), std::string::npos)
            << text << "\n"
            << log.dump();
}

TEST(SummaryLoad, DecidesCaseSensitivityAgain)
{
    std::string answer = "0";
    kxSetGlobalParamSource([&](const int&, std::string& value) {
        value = answer;
        return answer.empty() ? -1 : 0;
    });
    FSSubclientConf conf(0);
    EXPECT_FALSE(conf.isCaseSensitive());
    for (const std::string a : {"1", ""}) {
        answer = a;
        TextSummary summary(headerLine("default"), {1});
        CaptureLog log(1);
        ASSERT_EQ(conf.load(&summary), 0);
        EXPECT_EQ(conf.isCaseSensitive(), a == "1");
        EXPECT_EQ(log.has(1, "Cannot determine case sensitivity - assuming case insensitive"), a.empty());
    }
    kxSetGlobalParamSource(KXGlobalParamSource());
}

}  // namespace
