// The summary load: header, content and display-name lines, tolerated refusals and failures.
#include "SubclientTest.h"

namespace {

using Ids = std::vector<unsigned long>;

const char* const kWholeSet = "\tdefault\n/home\n\tdata\n/data\n\x12"
                              "Data files\n/srv/db\n\n\tlogs\n/var/log\n";

Ids appIds(FSSubclientConf& conf)
{
    Ids ids;
    for (int n = 1; n <= conf.getNumSubclients() + 1; ++n)
        ids.push_back(conf.numberToAppId(n));
    return ids;
}

// Each load replaces what the object held; application ids are kept only with one per subclient.
TEST(SummaryLoad, WholeSetDefaultOnlyAndReloads)
{
    FSSubclientConf conf(8);
    // Reserved names are no subclients for their application types.
    TextSummary reserved("\tdefault\n/root2\n\tDo Not Backup\n/tmp\n\x12Temp\n\tother\n/o\n", {4, 5, 6});
    ASSERT_EQ(conf.load(&reserved), 0);
    EXPECT_EQ(contentOf(conf), (Strings{"default: /", "other: /o"}));
    EXPECT_EQ(appIds(conf), (Ids{4, 6, 0}));
    TextSummary whole(kWholeSet, {11, 22, 33});
    ASSERT_EQ(conf.load(&whole), 0);
    EXPECT_EQ(output(conf, kDirnames, 1), Strings{"/home"});
    EXPECT_EQ(contentOf(conf), (Strings{"default: /", "data: /data /srv/db", "logs: /var/log"}));
    EXPECT_EQ(appIds(conf), (Ids{11, 22, 33, 0}));
    EXPECT_EQ(conf.appIdToNumber(22), 2);
    EXPECT_EQ(conf.appIdToNumber(44), -1);
    TextSummary fewIds("\tdefault\n\tA\n\tB\n", {4, 5});
    ASSERT_EQ(conf.load(&fewIds), 0);
    EXPECT_EQ(appIds(conf), (Ids{0, 0, 0, 0}));
    const struct {
        int appType;
        const char* name;
        bool reserved;
    } cases[] = {{8, "Do Not Backup", true},   {8, "do not backup", false}, {45, "Do Not Migrate", true},
                 {67, "Do Not Archive", true}, {1, "Do Not Backup", false}, {8, nullptr, false}};
    for (const auto& c : cases)
        EXPECT_EQ(conf.isDoNotBackupSubclient(c.appType, c.name), c.reserved) << c.appType << " " << c.name;
}

// Below logs, with a wildcard child, x is first an intermediate node of /logs/x/y
// and is then accepted as it stands (no new node) for another subclient.
const std::string kLogsOfA = "\tdefault\n\tA\n" + wild("/logs/*.tmp") + "\n/logs/x/y\n";

// A line the tree refuses fails the load unless it is a duplicate, overlap is
// allowed, or the refused subclient is not the one being backed up.
TEST(SummaryLoad, RefusedContentLines)
{
    const std::string early = "/early\n\tdefault\n", nested = "\tdefault\n\tA\n/a\n/a/sub\n";
    const struct {
        std::string text;
        const char* scName;
        bool allowOverlap;
        bool defaultOnly;
        int result;
        const char* message;
        const char* content;  // of the last subclient afterwards
    } cases[] = {
        {early, "", false, false, -1, "/early failed", "default: /"},
        {early, "backup", false, false, 0,
         "/early failed. since SC  and backup SC backup are different, ignoring ancestor error", "default: /"},
        {early, "", true, false, 0, nullptr, "default: / /early/"},
        {early, "", false, true, 0, nullptr, "default: /"},
        {nested, "", false, false, -1, "/a/sub failed", "A: /a"},
        {nested, "A", false, false, -1, "/a/sub failed", "A: /a"},
        {kLogsOfA + "/logs/x\n", "", true, false, 0, "/logs/x failed - ignoring ancestor error",
         "A: /logs/*.tmp\\/\\/ /logs/x /logs/x/y"},
        {"\tdefault\n\tA\n/\n/a\n", "", false, false, 0, "/ failed - ignoring duplicate error", "A: /a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        FSSubclientConf conf;
        conf.setSCName(c.scName);
        conf.setAllowOverlapSCContent(c.allowOverlap);
        TextSummary summary(c.text, {1, 2});
        CaptureLog log(1);
        EXPECT_EQ(conf.load(&summary, c.defaultOnly), c.result) << log.dump();
        if (c.message) {
            EXPECT_TRUE(log.has(c.message)) << log.dump();
        }
        EXPECT_EQ(contentOf(conf).back(), c.content);
    }
}

// A display name names the content line just before it, never a node of an earlier line.
TEST(SummaryLoad, DisplayNameWithoutItsContentLineNamesNothing)
{
    for (const std::string& text :
         Strings{"\tdefault\n\tA\n/a\n\tB\n\x12Oops\n/b\n", "\tdefault\n\tA\n/a\n/a/sub\n\x12Oops\n",
                 kLogsOfA + "/a\n\tB\n/logs/x\n\x12Oops\n"}) {  // the last ends on an existing node
        FSSubclientConf conf;
        conf.setSCName("other");
        TextSummary summary(text, {1, 2, 3});
        CaptureLog log(1);
        ASSERT_EQ(conf.load(&summary), 0) << text << log.dump();
        EXPECT_EQ(displayNameOf(conf, "/a"), "") << text;
        EXPECT_EQ(displayNameOf(conf, "/logs/x"), "") << text;
        EXPECT_TRUE(log.has(1, "setDisplayName() failed for node(NULL), displayName(Oops)")) << text;
    }
}

TEST(SummaryLoad, FailuresKeepTheObjectOrStopTheLoad)
{
    const std::string complete = "\tdefault\n\tA\n/a\n";
    TextSummary lookupFails("\tdefault\n", {1}, 5), lookupThrows("\tdefault\n", {1}, -1);
    TextSummary unterminated(complete + "/b", {1, 2}), renamed(complete + "\ta\n", {1, 2, 3});
    TextSummary failing(complete, {1, 2}, 0, true);  // an I/O error is not the end of the text
    const struct {
        SubclientConfSummary* summary;
        const char* message;
        const char* content;  // the object as it was, or what loaded before the failure
    } cases[] = {{&lookupFails, "lookup failed, code 5", "keep:"},
                 {&lookupThrows, "exception: service down", "keep:"},
                 {nullptr, "NULL summary", "keep:"},
                 {&unterminated, "error: cannot read config", "A: /a"},
                 {&failing, "error: cannot read config", "default: /"},
                 {&renamed, "setName a failed", "A: /a"}};
    for (const auto& c : cases) {
        FSSubclientConf conf;
        ASSERT_EQ(conf.setName("keep"), 0);
        CaptureLog log(1);
        EXPECT_EQ(conf.load(c.summary), -1) << c.message;
        EXPECT_TRUE(log.has(-1, c.message)) << log.dump();
        EXPECT_EQ(contentOf(conf).back(), c.content) << c.message;
    }
}

}  // namespace
