#include "LoadTestUtil.h"
#include "TextSummary.h"
#include "platform/KXGlobalParam.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

const std::string kWholeSet = headerLine("default") + "/home\n" + headerLine("data") + "/data\n" +
                              displayLine("Data files") + "/srv/db\n" + "\n" + headerLine("logs") + "/var/log\n";

std::vector<unsigned long> appIds(FSSubclientConf& conf)
{
    std::vector<unsigned long> ids;
    for (int n = 1; n <= conf.getNumSubclients(); ++n)
        ids.push_back(conf.numberToAppId(n));
    return ids;
}

TEST(SummaryLoad, WholeSetOrDefaultOnly)
{
    for (bool defaultOnly : {false, true}) {
        FSSubclientConf conf;
        TextSummary summary(kWholeSet, {11, 22, 33});
        CaptureLog log(1);
        ASSERT_EQ(conf.load(&summary, defaultOnly), 0) << log.dump();
        EXPECT_EQ(defaultContent(conf), Strings{"/home"});
        EXPECT_EQ(conf.getLoadedDefaultOnly(), defaultOnly);
        if (defaultOnly) {
            EXPECT_EQ(replayTexts(conf), Strings{"default"});
            EXPECT_TRUE(log.has(1, "setDisplayName() failed for node(NULL), displayName(Data files)"));
            continue;
        }
        EXPECT_EQ(replayTexts(conf), (Strings{"default", "data", "  /data", "  /srv/db", "logs", "  /var/log"}));
        EXPECT_EQ(appIds(conf), (std::vector<unsigned long>{11, 22, 33}));
        EXPECT_EQ(conf.appIdToNumber(22), 2);
        EXPECT_EQ(conf.appIdToNumber(44), -1);
        EXPECT_EQ(conf.numberToAppId(4), 0ul);
        EXPECT_EQ(displayNameOf(conf, "/data"), "Data files");
        EXPECT_EQ(displayNameOf(conf, "/srv/db"), "(none)");
    }
}

TEST(SummaryLoad, ReservedSubclientsAreIgnored)
{
    FSSubclientConf conf(8);
    TextSummary summary(headerLine("default") + headerLine("Do Not Backup") + "/tmp\n" + displayLine("Temp") +
                            headerLine("X") + "/x\n",
                        {1, 2, 3});
    ASSERT_EQ(conf.load(&summary), 0);
    EXPECT_EQ(subclientNames(conf), (Strings{"default", "X"}));
    EXPECT_EQ(appIds(conf), (std::vector<unsigned long>{1, 3}));
    EXPECT_EQ(findNode(conf, "/tmp"), nullptr);
    const struct {
        int appType;
        const char* name;
        bool reserved;
    } cases[] = {
        {8, "Do Not Backup", true},   {8, "do not backup", false}, {45, "Do Not Migrate", true},
        {67, "Do Not Archive", true}, {1, "Do Not Backup", false}, {8, nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(conf.isDoNotBackupSubclient(c.appType, c.name), c.reserved) << c.appType << " " << c.name;
}

TEST(SummaryLoad, ContentBeforeTheFirstHeader)
{
    const struct {
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
    for (const auto& c : cases) {
        FSSubclientConf conf;
        conf.setSCName(c.scName);
        conf.setAllowOverlapSCContent(c.allowOverlap);
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

// Below logs, with a wildcard child, x is first an intermediate node of /logs/x/y
// and is then accepted as it stands (no new node) for B, or refused for A.
const std::string kLogsOfA = headerLine("default") + headerLine("A") + "/logs/*.tmp\\/\\/\n" + "/logs/x/y\n";

TEST(SummaryLoad, AncestorInTheSameSubclient)
{
    const std::string text = headerLine("default") + headerLine("A") + "/a\n" + "/a/sub\n" + displayLine("Sub");
    for (const char* scName : {"", "A"}) {
        FSSubclientConf conf;
        conf.setSCName(scName);
        TextSummary summary(text, {1, 2});
        CaptureLog log(1);
        EXPECT_EQ(conf.load(&summary), -1) << "the backup subclient itself is not tolerated";
        EXPECT_TRUE(log.has(-1, "/a/sub failed")) << log.dump();
        EXPECT_NE(findNode(conf, "/a"), nullptr) << "nothing is rolled back";
    }
    FSSubclientConf conf;
    conf.setAllowOverlapSCContent(true);
    TextSummary summary(kLogsOfA + "/logs/x\n", {1, 2});
    CaptureLog log(1);
    ASSERT_EQ(conf.load(&summary), 0) << log.dump();
    EXPECT_TRUE(log.has(1, "/logs/x failed - ignoring ancestor error")) << log.dump();
}

// A display name names the content line just before it, never a node of an earlier line.
TEST(SummaryLoad, DisplayNameWithoutItsContentLineNamesNothing)
{
    const std::string cases[] = {
        headerLine("default") + headerLine("A") + "/a\n" + headerLine("B") + displayLine("Oops") + "/b\n",
        headerLine("default") + headerLine("A") + "/a\n" + "/a/sub\n" + displayLine("Oops"),
        kLogsOfA + "/a\n" + headerLine("B") + "/logs/x\n" + displayLine("Oops"),  // ends on an existing node
    };
    for (const std::string& text : cases) {
        FSSubclientConf conf;
        conf.setSCName("other");
        TextSummary summary(text, {1, 2, 3});
        CaptureLog log(1);
        ASSERT_EQ(conf.load(&summary), 0) << text << log.dump();
        EXPECT_EQ(displayNameOf(conf, "/a"), "(none)") << text;
        EXPECT_EQ(displayNameOf(conf, "/logs/x"), "(none)") << text;
        EXPECT_TRUE(log.has(1, "setDisplayName() failed for node(NULL), displayName(Oops)")) << text;
    }
}

TEST(SummaryLoad, FailuresKeepOrStopTheLoad)
{
    const struct {
        int lookupResult;
        bool throwOnLookup;
        const char* message;
    } cases[] = {{5, false, "lookup failed, code 5"}, {0, true, "exception: service down"}};
    for (const auto& c : cases) {
        FSSubclientConf conf;
        ASSERT_EQ(conf.setName("keep"), 0);
        TextSummary summary(headerLine("default"), {1});
        summary.lookupResult = c.lookupResult;
        summary.throwOnLookup = c.throwOnLookup;
        CaptureLog log(1);
        EXPECT_EQ(conf.load(&summary), -1) << c.message;
        EXPECT_TRUE(log.has(-1, c.message)) << log.dump();
        EXPECT_EQ(subclientNames(conf), (Strings{"default", "keep"})) << "the object is kept";
    }
    FSSubclientConf conf;
    EXPECT_EQ(conf.load(static_cast<SubclientConfSummary*>(nullptr)), -1);
    const std::string complete = headerLine("default") + headerLine("A") + "/a\n";
    TextSummary unterminated(complete + "/b", {1, 2});
    FailingSummary failing(complete);  // an I/O error is not the end of the text
    TextSummary renamed(complete + headerLine("a"), {1, 2, 3});
    for (SubclientConfSummary* summary : std::initializer_list<SubclientConfSummary*>{&unterminated, &failing}) {
        CaptureLog log(1);
        EXPECT_EQ(conf.load(summary), -1);
        EXPECT_TRUE(log.has(-1, "error: cannot read config"));
        EXPECT_EQ(findNode(conf, "/b"), nullptr);
    }
    CaptureLog log(1);
    EXPECT_EQ(conf.load(&renamed), -1);
    EXPECT_TRUE(log.has(-1, "setName a failed"));
}

TEST(SummaryLoad, ReloadReplacesEverything)
{
    FSSubclientConf conf;
    TextSummary first(kWholeSet, {11, 22, 33});
    ASSERT_EQ(conf.load(&first, true), 0);
    TextSummary second(headerLine("default") + "/root2\n" + headerLine("other") + "/o\n", {4, 5});
    ASSERT_EQ(conf.load(&second), 0);
    EXPECT_EQ(defaultContent(conf), Strings{"/root2"});
    EXPECT_EQ(replayTexts(conf), (Strings{"default", "other", "  /o"}));
    EXPECT_EQ(appIds(conf), (std::vector<unsigned long>{4, 5}));
    EXPECT_FALSE(conf.getLoadedDefaultOnly());
    // Ids are kept only with one per subclient.
    TextSummary third(headerLine("default") + headerLine("A") + headerLine("B"), {4, 5});
    ASSERT_EQ(conf.load(&third), 0);
    EXPECT_EQ(conf.numberToAppId(2), 0ul);
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
