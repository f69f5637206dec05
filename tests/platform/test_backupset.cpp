#include "TempFiles.h"
#include "platform/ApplicationId.h"
#include "platform/BackupsetContent.h"
#include "platform/BackupsetStore.h"
#include "platform/KXTextFile.h"
#include "platform/SubclientConfSummary.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

const char kSignature[] = "#subclientconf-backupset 1\n";
const char kHeader[] = "#subclientconf-backupset 1\n"
                       "backupset id=12 appType=29 fleet=2 onDemand=0\n"
                       "subclient id=1 appId=1001 default=1 name=default\n";

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string parseError(const std::string& text)
{
    BackupsetStore store;
    std::string error;
    if (store.parse("t", splitLines(text), error) == 0)
        return "(accepted)";
    return error;
}

std::string examplePath()
{
    // The shipped example, found beside tests/ without relying on tests/data existing.
    std::string data = SUBCLIENTCONF_TEST_DATA;
    return data.substr(0, data.rfind("/tests/")) + "/examples/workstation.backupset";
}

// Makes the example the current store for one test.
class ExampleStore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(kxOpenBackupsetStore(examplePath().c_str(), nullptr), 0); }
    void TearDown() override { kxCloseBackupsetStore(); }
};

TEST(BackupsetStoreParse, RejectsEveryMalformedInputNamingTheLine)
{
    struct Case {
        std::string text;
        const char* error;
    } cases[] = {
        {"", "Backup set store 't', line 1: not a backup set store (no '#subclientconf-backupset 1' line)"},
        {"#subclientconf-backupset 2\n", "Backup set store 't', line 1: unsupported format version '2'"},
        {kSignature, "Backup set store 't': no backupset line"},
        {std::string(kSignature) + "subclient id=1 appId=1 default=1 name=d\n",
         "Backup set store 't', line 2: 'subclient' before the backupset line"},
        {std::string(kSignature) + "backupset id=1 appType=1 fleet=1 onDemand=0\n",
         "Backup set store 't': no default subclient"},
        {std::string(kHeader) + "backupset id=1 appType=1 fleet=1 onDemand=0\n",
         "Backup set store 't', line 4: second backupset line"},
        {std::string(kSignature) + "backupset id=-1 appType=1 fleet=1 onDemand=0\n",
         "Backup set store 't', line 2: bad number '-1' for 'id'"},
        {std::string(kSignature) + "backupset id=1 appType=1 fleet=4294967296 onDemand=0\n",
         "Backup set store 't', line 2: bad number '4294967296' for 'fleet'"},
        {std::string(kSignature) + "backupset id=1 appType=1 fleet=1\n",
         "Backup set store 't', line 2: missing field 'onDemand'"},
        {std::string(kSignature) + "backupset id=1 appType=1 fleet=1 onDemand=yes\n",
         "Backup set store 't', line 2: bad flag 'yes' for 'onDemand' (expected 0 or 1)"},
        {std::string(kSignature) + "backupset id=1 id=2 appType=1 fleet=1 onDemand=0\n",
         "Backup set store 't', line 2: field 'id' given twice"},
        {std::string(kSignature) + "backupset id=1 appType=1 fleet=1 onDemand=0 color=red\n",
         "Backup set store 't', line 2: unknown field 'color'"},
        {std::string(kHeader) + "subclients id=2 appId=2 name=x\n",
         "Backup set store 't', line 4: unknown line kind 'subclients'"},
        {std::string(kHeader) + "subclient id=1 appId=2 name=x\n",
         "Backup set store 't', line 4: subclient id 1 given twice"},
        {std::string(kHeader) + "subclient id=2147483648 appId=2 name=x\n",
         "Backup set store 't', line 4: subclient id 2147483648 out of range (1 to 2147483647)"},
        {std::string(kHeader) + "subclient id=2 appId=1001 name=x\n",
         "Backup set store 't', line 4: application id 1001 given twice"},
        {std::string(kHeader) + "subclient id=2 appId=0 name=x\n",
         "Backup set store 't', line 4: application id 0 designates the backup set"},
        {std::string(kHeader) + "subclient id=2 appId=2 name=default\n",
         "Backup set store 't', line 4: subclient name 'default' given twice"},
        {std::string(kHeader) + "subclient id=2 appId=2 name=Db\n\nsubclient id=3 appId=3 name=dB\n",
         "Backup set store 't', line 6: subclient name 'dB' differs only in case from 'Db' on line 4"},
        {"\xEF\xBB\xBF" + std::string(kHeader), "(accepted)"},
        {std::string(kHeader) + "subclient id=2 appId=2 default=1 name=x\n",
         "Backup set store 't', line 4: second default subclient"},
        {std::string(kHeader) + "subclient id=2 appId=2 name=\n", "Backup set store 't', line 4: empty 'name'"},
        {std::string(kHeader) + "content subclient=9 created=1 path=/x\n",
         "Backup set store 't', line 4: unknown subclient 9"},
        {std::string(kHeader) + "content subclient=1 path=/x\n",
         "Backup set store 't', line 4: missing field 'created'"},
        {std::string(kHeader) + "content subclient=1 created=5 modified=4 path=/x\n",
         "Backup set store 't', line 4: modified before created"},
        {std::string(kHeader) + "content subclient=1 created=5 modified=5 path=/x\n", "(accepted)"},
        {std::string(kHeader) + "content subclient=1 created=1 path=/a" + std::string(1, '\0') + "b\n",
         "Backup set store 't', line 4: NUL byte in line"},
        {std::string(kHeader) + "content subclient=1 created=1 path=/a b\r\r\n",
         "Backup set store 't', line 4: line ends in a carriage return"},
        {std::string(kHeader) + "display Home\n",
         "Backup set store 't', line 4: display line not right after a content line"},
        {std::string(kHeader) + "content subclient=1 created=1 path=/x\ndisplay \n",
         "Backup set store 't', line 5: empty display name"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseError(c.text), c.error) << c.text;
}

TEST(BackupsetStoreParse, TextFieldsRunToTheEndOfTheLine)
{
    BackupsetStore store;
    std::string error;
    ASSERT_EQ(store.parse("t",
                          splitLines(std::string(kHeader) + "subclient   id=2  appId=2   name= My  docs path=x \n"
                                                            "content created=1 subclient=2 path=/a b/c d=e \n"
                                                            "# a comment between\n"
                                                            "\n"
                                                            "display  Spaced  name\n"),
                          error),
              0)
        << error;
    ASSERT_EQ(store.subclients.size(), 2u);
    EXPECT_EQ(store.subclients[1].name, " My  docs path=x ");
    ASSERT_EQ(store.content.size(), 1u);
    EXPECT_EQ(store.content[0].path, "/a b/c d=e ");
    EXPECT_EQ(store.content[0].displayName, " Spaced  name");
    EXPECT_EQ(store.content[0].modified, 0u);
}

TEST(BackupsetStoreParse, RoundTripsThroughItsText)
{
    std::vector<std::string> lines;
    ASSERT_EQ(kxReadTextLines(examplePath().c_str(), lines), 0);
    BackupsetStore first, second;
    std::string error;
    ASSERT_EQ(first.parse("a", lines, error), 0) << error;
    ASSERT_EQ(second.parse("b", splitLines(first.toText()), error), 0) << error;
    EXPECT_EQ(second.toText(), first.toText());
    EXPECT_EQ(second.content.size(), 5u);
    EXPECT_EQ(second.content[3].path, "/var/log/*.log\\/\\/");
    EXPECT_EQ(second.content[2].displayName, "Customer database");
}

TEST(BackupsetStoreOpen, AFailedOpenLogsAndKeepsTheCurrentStore)
{
    TempDir dir;
    ASSERT_EQ(kxOpenBackupsetStore(examplePath().c_str(), nullptr), 0);
    std::string bad = dir.write("bad.backupset", std::string(kHeader) + "content subclient=1 created=x path=/x\n");
    CaptureLog log(0);
    std::string error;
    EXPECT_EQ(kxOpenBackupsetStore(bad.c_str(), &error), -1);
    EXPECT_EQ(error, "Backup set store '" + bad + "', line 4: bad number 'x' for 'created'");
    EXPECT_TRUE(log.has(-1, error));
    EXPECT_EQ(kxOpenBackupsetStore((dir.path() + "/missing").c_str(), &error), -1);
    EXPECT_EQ(error, "Cannot read backup set store '" + dir.path() + "/missing': No such file or directory");
    EXPECT_EQ(kxCurrentBackupsetStore()->id, 12u);
    kxCloseBackupsetStore();
}

TEST(BackupsetStoreOpen, TheEnvironmentNamesTheDefaultStore)
{
    kxCloseBackupsetStore();
    {
        ScopedEnv env("SUBCLIENTCONF_BACKUPSET", nullptr);
        ApplicationId app(2, 12);
        unsigned long n;
        EXPECT_EQ(app.getAppId(n, nullptr), KX_CONFIG_NO_STORE);
        std::list<SubclientContentInfo> list;
        EXPECT_EQ(BackupsetContent().getContent(12, KX_FILTERS_TYPE_CONTENT, list, nullptr), KX_CONFIG_NO_STORE);
        EXPECT_EQ(SubclientIdFromName().getSubclientId("default", n, nullptr), KX_CONFIG_NO_STORE);
    }
    ScopedEnv env("SUBCLIENTCONF_BACKUPSET", examplePath().c_str());
    ApplicationId app(2, 1002);
    ASSERT_NE(app.getSubclient(nullptr), nullptr);
    std::string name;
    EXPECT_EQ(app.getSubclient(nullptr)->getName(name, nullptr), 0);
    EXPECT_EQ(name, "Database");
    kxCloseBackupsetStore();
}

std::string summaryText(ApplicationId& app, long time, std::vector<unsigned long>* ids = nullptr)
{
    SubclientConfSummary summary(app, time);
    std::vector<unsigned long> appIds;
    EXPECT_EQ(summary.lookupAppIds(appIds, nullptr, nullptr), 0);
    if (ids)
        *ids = appIds;
    std::istream* in = summary.getConfigStream(nullptr);
    return std::string(std::istreambuf_iterator<char>(*in), std::istreambuf_iterator<char>());
}

TEST_F(ExampleStore, SummaryHoldsWhatIsPresentAtTheTime)
{
    ApplicationId app(2, 12);
    const std::string before = "\tdefault\n\tDatabase\n\tLogs\n\tDownloads\n";
    const std::string home = "\tdefault\n/home\n\x12Home folders\n";
    const std::string rest = "\tDatabase\n/var/lib/postgresql\n\x12"
                             "Customer database\n\tLogs\n/var/log/*.log\\/\\/\n";
    struct Case {
        long time;
        std::string text;
    } cases[] = {
        {1699999999, before},
        {1700000000, home + "/home/alice/Downloads\n" + rest + "\tDownloads\n"},
        {1701000000, home + "/home/alice/Downloads\n" + rest + "\tDownloads\n/home/alice/Downloads\n"},
        {1701000001, home + rest + "\tDownloads\n/home/alice/Downloads\n"},
        {-1, home + rest + "\tDownloads\n/home/alice/Downloads\n"},  // the latest time
    };
    for (const Case& c : cases) {
        std::vector<unsigned long> ids;
        EXPECT_EQ(summaryText(app, c.time, &ids), c.text) << c.time;
        EXPECT_EQ(ids, (std::vector<unsigned long>{1001, 1002, 1003, 1004}));
    }
}

TEST_F(ExampleStore, ApplicationIdsDesignateTheBackupSetOrOneSubclient)
{
    struct Case {
        unsigned long fleet, app;
        int32_t subclientId;
        const char* subclientName;
    } cases[] = {
        {2, 12, 0, nullptr},
        {0, 0, 0, nullptr},
        {0, 1003, 3, "Logs"},
        {2, 1001, 1, "default"},
    };
    for (const Case& c : cases) {
        ApplicationId app(c.fleet, c.app);
        EXPECT_EQ(app.getAppIdInfo().appType, 29);
        EXPECT_EQ(app.getAppIdInfo().subclientId, c.subclientId);
        unsigned long n = 0;
        EXPECT_EQ(app.getAppId(n, nullptr), 0);
        EXPECT_EQ(n, c.app);
        std::string name;
        if (c.subclientName) {
            ASSERT_NE(app.getSubclient(nullptr), nullptr);
            EXPECT_EQ(app.getSubclient(nullptr)->getName(name, nullptr), 0);
            EXPECT_EQ(name, c.subclientName);
        } else {
            EXPECT_EQ(app.getSubclient(nullptr), nullptr);
        }
        Subclient sc(static_cast<unsigned long>(c.subclientId));
        EXPECT_EQ(app.getDefaultSubClient(sc), 0);
        EXPECT_EQ(sc.getName(name, nullptr), 0);
        EXPECT_EQ(name, "default");
    }
}

TEST_F(ExampleStore, UnknownApplicationsFailEverywhere)
{
    struct Case {
        unsigned long fleet, app;
    };
    std::vector<Case> cases = {{3, 12}, {2, 999}};
    if (sizeof(unsigned long) > 4)  // must not wrap onto application id 1001
        cases.push_back({2, static_cast<unsigned long>(0x100000000ull + 1001)});
    for (const Case& c : cases) {
        CaptureLog log(1);
        ApplicationId app(c.fleet, c.app);
        EXPECT_TRUE(log.has(1, "Application " + std::to_string(c.app) + " of fleet " + std::to_string(c.fleet) +
                                   " is not in backup set store '" + examplePath() + "'"))
            << log.dump();
        EXPECT_EQ(app.getAppIdInfo().subclientId, -1);
        unsigned long n;
        EXPECT_EQ(app.getAppId(n, nullptr), KX_CONFIG_NOT_FOUND);
        EXPECT_EQ(app.getSubclient(nullptr), nullptr);
        SubclientConfSummary summary(app, 1700000000);
        std::vector<unsigned long> ids;
        EXPECT_EQ(summary.lookupAppIds(ids, nullptr, nullptr), KX_CONFIG_NOT_FOUND);
        EXPECT_EQ(summary.getConfigStream(nullptr)->peek(), EOF);
    }
    Subclient missing(99);
    std::string name;
    EXPECT_EQ(missing.getName(name, nullptr), KX_CONFIG_NOT_FOUND);
}

TEST_F(ExampleStore, ContentHistoryAndIdsByName)
{
    BackupsetContent content;
    std::list<SubclientContentInfo> list(3);
    ASSERT_EQ(content.getContent(12, KX_FILTERS_TYPE_CONTENT, list, nullptr), 0);
    ASSERT_EQ(list.size(), 5u);
    const SubclientContentInfo& downloads = *std::next(list.begin());
    EXPECT_EQ(downloads.subclientId, 1u);
    EXPECT_EQ(downloads.created, 1700000000u);
    EXPECT_EQ(downloads.modified, 1701000000u);
    EXPECT_EQ(downloads.path, "/home/alice/Downloads");
    EXPECT_EQ(content.getContent(13, KX_FILTERS_TYPE_CONTENT, list, nullptr), KX_CONFIG_NOT_FOUND);
    EXPECT_EQ(content.getContent(12, static_cast<KX_FILTERS_TYPES>(2), list, nullptr), KX_CONFIG_BAD_ARGUMENT);

    SubclientIdFromName byName;
    EXPECT_EQ(byName.getBackupSet(), 12u);
    unsigned long id = 0;
    EXPECT_EQ(byName.getSubclientId("Downloads", id, nullptr), 0);
    EXPECT_EQ(id, 4u);
    EXPECT_EQ(byName.getSubclientId("downloads", id, nullptr), KX_CONFIG_NOT_FOUND);
}

TEST_F(ExampleStore, ObjectsKeepTheStoreTheyWereMadeIn)
{
    TempDir dir;
    std::string other = dir.write("other.backupset", std::string(kHeader));
    ApplicationId app(2, 1002);
    SubclientIdFromName byName;
    ASSERT_EQ(kxOpenBackupsetStore(other.c_str(), nullptr), 0);
    std::string text = summaryText(app, 1700000000);
    EXPECT_NE(text.find("/var/lib/postgresql"), std::string::npos);
    unsigned long id;
    EXPECT_EQ(byName.getSubclientId("Database", id, nullptr), 0);
    EXPECT_EQ(SubclientIdFromName().getSubclientId("Database", id, nullptr), KX_CONFIG_NOT_FOUND);
}

}  // namespace
