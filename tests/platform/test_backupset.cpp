#include "platform/ApplicationId.h"
#include "platform/BackupsetContent.h"
#include "platform/BackupsetStore.h"
#include "platform/SubclientConfSummary.h"
#include "support/Capture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <sstream>
#include <tuple>

namespace {

const std::string kSignature = "#subclientconf-backupset 1\n";
const std::string kHeader = kSignature + "backupset id=12 appType=29 fleet=2 onDemand=0\n"
                                         "subclient id=1 appId=1001 default=1 name=default\n";

// "(accepted)" or the error of parsing the text into store.
std::string parse(const std::string& text, BackupsetStore& store)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::string error;
    return store.parse("t", lines, error) == 0 ? "(accepted)" : error;
}

// The shipped example.
const std::string kExample = SUBCLIENTCONF_TEST_DATA "/../../examples/workstation.backupset";

TEST(BackupsetStoreParse, RejectsEveryMalformedInputNamingTheLine)
{
    const std::string s = kSignature, h = kHeader;
    const struct {
        std::string text;
        int line;  // 0: the store as a whole
        const char* problem;
    } cases[] = {
        {"", 1, "not a backup set store (no '#subclientconf-backupset 1' line)"},
        {"#subclientconf-backupset 2\n", 1, "unsupported format version '2'"},
        {s, 0, "no backupset line"},
        {s + "subclient id=1 appId=1 default=1 name=d\n", 2, "'subclient' before the backupset line"},
        {s + "backupset id=1 appType=1 fleet=1 onDemand=0\n", 0, "no default subclient"},
        {h + "backupset id=1 appType=1 fleet=1 onDemand=0\n", 4, "second backupset line"},
        {s + "backupset id=1 appType=1 fleet=4294967296 onDemand=0\n", 2, "bad number '4294967296' for 'fleet'"},
        {s + "backupset id=1 appType=+1 fleet=1 onDemand=0\n", 2, "bad number '+1' for 'appType'"},
        {s + "backupset id=1 appType=1 fleet=1\n", 2, "missing field 'onDemand'"},
        {s + "backupset id=1 appType=1 fleet=1 onDemand=yes\n", 2, "bad flag 'yes' for 'onDemand' (expected 0 or 1)"},
        {s + "backupset id=1 id=2 appType=1 fleet=1 onDemand=0\n", 2, "field 'id' given twice"},
        {s + "backupset id=1 appType=1 fleet=1 onDemand=0 color=red\n", 2, "unknown field 'color'"},
        {h + "subclients id=2 appId=2 name=x\n", 4, "unknown line kind 'subclients'"},
        {h + "subclient id=1 appId=2 name=x\n", 4, "subclient id 1 given twice"},
        {h + "subclient id=2147483648 appId=2 name=x\n", 4, "subclient id 2147483648 out of range (1 to 2147483647)"},
        {h + "subclient id=2 appId=1001 name=x\n", 4, "application id 1001 given twice"},
        {h + "subclient id=2 appId=0 name=x\n", 4, "application id 0 designates the backup set"},
        {h + "subclient id=2 appId=2 name=default\n", 4, "subclient name 'default' given twice"},
        {h + "subclient id=2 appId=2 name=Db\n\nsubclient id=3 appId=3 name=dB\n", 6,
         "subclient name 'dB' differs only in case from 'Db' on line 4"},
        {h + "subclient id=2 appId=2 default=1 name=x\n", 4, "second default subclient"},
        {h + "subclient id=2 appId=2 name=\n", 4, "empty 'name'"},
        {h + "content subclient=9 created=1 path=/x\n", 4, "unknown subclient 9"},
        {h + "content subclient=1 created=5 modified=4 path=/x\n", 4, "modified before created"},
        {h + "content subclient=1 created=1 path=/a" + std::string(1, '\0') + "b\n", 4, "NUL byte in line"},
        {h + "content subclient=1 created=1 path=/a b\r\r\n", 4, "line ends in a carriage return"},
        {h + "display Home\n", 4, "display line not right after a content line"},
        {h + "content subclient=1 created=1 path=/x\ndisplay \n", 5, "empty display name"},
    };
    for (const auto& c : cases) {
        BackupsetStore store;
        const std::string where = c.line ? ", line " + std::to_string(c.line) + ": " : ": ";
        EXPECT_EQ(parse(c.text, store), "Backup set store 't'" + where + c.problem) << c.text;
    }
}

TEST(BackupsetStoreParse, TextFieldsRunToTheEndOfTheLineAndReadBack)
{
    BackupsetStore first, store;
    ASSERT_EQ(parse("\xEF\xBB\xBF" + kHeader +
                        "subclient   id=2  appId=2   name= My  docs path=x \n"
                        "content created=5 modified=5 subclient=2 path=/a b/c d=e \n"
                        "# a comment between\n"
                        "\n"
                        "display  Spaced  name\n",
                    first),
              "(accepted)");
    ASSERT_EQ(parse(first.toText(), store), "(accepted)");
    EXPECT_EQ(store.toText(), first.toText());
    const BackupsetStoreContent& c = store.content.at(0);
    EXPECT_EQ(std::make_tuple(store.subclients.at(1).name, c.path, c.displayName, c.modified),
              std::make_tuple(" My  docs path=x ", "/a b/c d=e ", " Spaced  name", 5u));
}

// Makes the example the current store for one test.
class ExampleStore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(kxOpenBackupsetStore(kExample.c_str(), nullptr), 0); }
    void TearDown() override { kxCloseBackupsetStore(); }
};

// The configuration text at a time, after "failed N: " when the lookup fails.
std::string summaryText(ApplicationId& app, long time, std::vector<unsigned long>& ids)
{
    SubclientConfSummary summary(app, time);
    const int rc = summary.lookupAppIds(ids, nullptr, nullptr);
    std::istream* in = summary.getConfigStream(nullptr);
    return (rc ? "failed " + std::to_string(rc) + ": " : "") + std::string(std::istreambuf_iterator<char>(*in), {});
}

const char kNoContent[] = "\tdefault\n\tDatabase\n\tLogs\n\tDownloads\n";

TEST_F(ExampleStore, SummaryHoldsWhatIsPresentAtTheTime)
{
    ApplicationId app(2, 12);
    const std::string home = "\tdefault\n/home\n\x12Home folders\n";
    const std::string rest = "\tDatabase\n/var/lib/postgresql\n\x12"
                             "Customer database\n\tLogs\n/var/log/*.log\\/\\/\n\tDownloads\n";
    const std::pair<long, std::string> cases[] = {
        {1699999999, kNoContent},
        {1700000000, home + "/home/alice/Downloads\n" + rest},
        {1701000000, home + "/home/alice/Downloads\n" + rest + "/home/alice/Downloads\n"},
        {-1, home + rest + "/home/alice/Downloads\n"},  // the latest time
    };
    for (const auto& c : cases) {
        std::vector<unsigned long> ids;
        EXPECT_EQ(summaryText(app, c.first, ids), c.second) << c.first;
        EXPECT_EQ(ids, (std::vector<unsigned long>{1001, 1002, 1003, 1004}));
    }
}

// The last application number must not wrap onto 1001 (where unsigned long can hold it).
TEST_F(ExampleStore, ApplicationIdsDesignateTheBackupSetOrOneSubclient)
{
    const struct {
        unsigned long fleet, app;
        int32_t subclientId;  // -1: unknown, 0: the backup set
    } cases[] = {
        {2, 12, 0},   {0, 0, 0},
        {0, 1003, 3}, {3, 12, -1},
        {2, 999, -1}, {2, sizeof(unsigned long) > 4 ? static_cast<unsigned long>(0x100000000ull + 1001) : 999ul, -1},
    };
    for (const auto& c : cases) {
        CaptureLog log(1);
        ApplicationId app(c.fleet, c.app);
        EXPECT_EQ(log.contains("not in backup set store '" + kExample + "'"), c.subclientId < 0) << log.dump();
        EXPECT_EQ(app.getAppIdInfo().subclientId, c.subclientId);
        unsigned long n = 0;
        EXPECT_EQ(app.getAppId(n, nullptr), c.subclientId < 0 ? KX_CONFIG_NOT_FOUND : 0);
        EXPECT_EQ(app.getSubclient(nullptr) != nullptr, c.subclientId > 0);
    }
}

TEST_F(ExampleStore, AFailedOpenKeepsTheStoreObjectsKeepTheirsTheEnvNamesTheDefault)
{
    TempDir dir;
    const std::string bad = dir.write("bad.backupset", kHeader + "content subclient=1 created=x path=/x\n");
    CaptureLog log(0);
    std::string error;
    EXPECT_EQ(kxOpenBackupsetStore(bad.c_str(), &error), -1);
    EXPECT_EQ(error, "Backup set store '" + bad + "', line 4: bad number 'x' for 'created'");
    EXPECT_TRUE(log.has(-1, error));
    EXPECT_EQ(kxOpenBackupsetStore(dir.file("missing").c_str(), &error), -1);
    EXPECT_EQ(error, "Cannot read backup set store '" + dir.file("missing") + "': No such file or directory");
    ApplicationId app(2, 1002);  // in the example, still current
    SubclientIdFromName byName;
    BackupsetContent content;
    ASSERT_EQ(kxOpenBackupsetStore(dir.write("other.backupset", kHeader).c_str(), nullptr), 0);
    std::vector<unsigned long> ids;
    EXPECT_EQ(summaryText(app, 1699999999, ids), kNoContent);
    unsigned long id = 0;
    EXPECT_EQ(byName.getSubclientId("Database", id, nullptr), 0);
    EXPECT_EQ(id, 2u);
    EXPECT_EQ(byName.getSubclientId("database", id, nullptr), KX_CONFIG_NOT_FOUND);
    EXPECT_EQ(SubclientIdFromName().getSubclientId("Database", id, nullptr), KX_CONFIG_NOT_FOUND);
    std::list<SubclientContentInfo> list(3);
    ASSERT_EQ(content.getContent(12, KX_FILTERS_TYPE_CONTENT, list, nullptr), 0);
    EXPECT_EQ(list.size(), 5u);
    EXPECT_EQ(content.getContent(13, KX_FILTERS_TYPE_CONTENT, list, nullptr), KX_CONFIG_NOT_FOUND);
    EXPECT_EQ(content.getContent(12, static_cast<KX_FILTERS_TYPES>(2), list, nullptr), KX_CONFIG_BAD_ARGUMENT);
    kxCloseBackupsetStore();  // new objects then open the store the environment names, if any
    EXPECT_EQ(ApplicationId(2, 12).getAppId(id, nullptr), KX_CONFIG_NO_STORE);
    EXPECT_EQ(BackupsetContent().getContent(12, KX_FILTERS_TYPE_CONTENT, list, nullptr), KX_CONFIG_NO_STORE);
    EXPECT_EQ(SubclientIdFromName().getSubclientId("default", id, nullptr), KX_CONFIG_NO_STORE);
    setenv("SUBCLIENTCONF_BACKUPSET", kExample.c_str(), 1);
    EXPECT_EQ(SubclientIdFromName().getSubclientId("Database", id, nullptr), 0);
    unsetenv("SUBCLIENTCONF_BACKUPSET");
}

}  // namespace
