// Loads from backup-set store files: whole sets, designated subclients and content history.
#include "LoadTestUtil.h"
#include "platform/ApplicationId.h"
#include "platform/BackupsetContent.h"
#include "platform/BackupsetStore.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;
using Ids = std::vector<unsigned long>;

class StoreLoad : public ::testing::Test {
protected:
    void open(const char* name) { openPath(std::string(SUBCLIENTCONF_TEST_DATA) + "/loading/" + name); }
    void openPath(const std::string& path)
    {
        std::string error;
        ASSERT_EQ(kxOpenBackupsetStore(path.c_str(), &error), 0) << error;
    }
    // The window 200..300 of history.backupset, for the backup set (6) or one subclient's application id.
    int loadHistoryWindow(FSSubclientConf& conf, unsigned long fleet, unsigned long number)
    {
        open("history.backupset");
        ApplicationId application(fleet, number);
        SubclientIdFromName ids;
        return conf.load(&application, 300, &ids, 200);
    }
    void TearDown() override { kxCloseBackupsetStore(); }
};

const Strings kOfficeNames = {"Home folders", "Database", "Logs"};

// Default-only has no effect without a designated subclient.
class WholeBackupSet : public StoreLoad, public ::testing::WithParamInterface<bool> {};

TEST_P(WholeBackupSet, NamesContentDisplayNamesAndIds)
{
    open("office.backupset");
    FSSubclientConf conf;
    ApplicationId application(0, 5);
    CaptureLog log(1);
    ASSERT_EQ(conf.load(&application, 200, GetParam()), 0) << log.dump();
    EXPECT_EQ(subclientNames(conf), kOfficeNames);
    EXPECT_EQ(conf.getDefaultName(), "Home folders");
    EXPECT_EQ(defaultContent(conf), Strings{"/home"});
    EXPECT_EQ(findNode(conf, "/scratch"), nullptr) << "Do Not Backup is ignored for type 8";
    EXPECT_EQ(displayNameOf(conf, "/srv/db"), "Database files");
    EXPECT_FALSE(conf.getLoadedDefaultOnly());
}

INSTANTIATE_TEST_SUITE_P(DefaultOnly, WholeBackupSet, ::testing::Bool());

TEST_F(StoreLoad, DesignatedSubclient)
{
    open("office.backupset");
    ApplicationId application(3, 101);
    {
        FSSubclientConf conf;
        ASSERT_EQ(conf.load(&application, 200, true), 0);
        EXPECT_EQ(subclientNames(conf), Strings{"Database"});
        EXPECT_EQ(defaultContent(conf), (Strings{"/srv/db", "/srv/olddb"}));
        EXPECT_TRUE(conf.getLoadedDefaultOnly());
    }
    {
        FSSubclientConf conf;
        ASSERT_EQ(conf.load(&application, 200), 0);
        EXPECT_EQ(subclientNames(conf), kOfficeNames);
    }
}

TEST_F(StoreLoad, OnDemandSubclientsGetTheirMarkerPath)
{
    open("ondemand.backupset");
    FSSubclientConf conf;
    ApplicationId application(0, 7);
    ASSERT_EQ(conf.load(&application, 200), 0);
    EXPECT_EQ(replayTexts(conf), (Strings{"default", "projects", "  /__OnDemandSubClient_projects", "  /projects"}));
}

// Stands in for the service where the store cannot reach a failure path.
class FakeApplication : public ApplicationId {
public:
    FakeApplication(int subclientId, bool throws, Subclient* designated = nullptr)
        : ApplicationId(0, 0), subclientId_(subclientId), throws_(throws), designated_(designated)
    {}
    AppIdInfo getAppIdInfo() override
    {
        if (throws_)
            throw "service gone";
        AppIdInfo info;
        info.appType = 1;
        info.subclientId = subclientId_;
        return info;
    }
    Subclient* getSubclient(void*) override { return designated_; }

private:
    int subclientId_;
    bool throws_;
    Subclient* designated_;
};

TEST_F(StoreLoad, EntryPointFailuresKeepTheObject)
{
    open("office.backupset");
    ApplicationId unknown(0, 999);
    FakeApplication noSubclient(2, false);
    FakeApplication throwing(0, true);
    Subclient nameless(999);  // not in the store: it has no name
    FakeApplication unnamed(2, false, &nameless);
    struct Case {
        const char* what;
        ApplicationId* application;
        bool defaultOnly;
    } cases[] = {
        {"unknown id", &unknown, false},
        {"designated subclient missing", &noSubclient, true},
        {"designated subclient without a name", &unnamed, true},
        {"service throws", &throwing, false},
        {"no application", nullptr, false},
    };
    for (const Case& c : cases) {
        FSSubclientConf conf;
        ASSERT_EQ(conf.setName("keep"), 0);
        CaptureLog log(1);
        EXPECT_EQ(conf.load(c.application, 200, c.defaultOnly), -1) << c.what;
        EXPECT_EQ(subclientNames(conf), (Strings{"default", "keep"})) << c.what;
    }
    CaptureLog log(1);
    FSSubclientConf conf;
    EXPECT_EQ(conf.load(&throwing, 200), -1);
    EXPECT_TRUE(log.has(-1, "exception: service gone")) << log.dump();
}

struct Stamp {
    std::string text;
    uint32_t created;
    uint32_t modified;
    bool operator==(const Stamp& o) const { return text == o.text && created == o.created && modified == o.modified; }
};

std::ostream& operator<<(std::ostream& out, const Stamp& s)
{
    return out << s.text << " " << s.created << " " << s.modified;
}

std::vector<Stamp> pathStamps(FSSubclientConf& conf)
{
    std::vector<Stamp> stamps;
    for (const FSPlayback& record : priv(conf).replayVec)
        if (record.kind == FSPlayback::kindPath)
            stamps.push_back(Stamp{record.text, record.created, record.modified});
    return stamps;
}

Strings history(FSSubclientConf& conf)
{
    Strings paths;
    for (const FSHistory& h : priv(conf).historyList)
        paths.push_back(h.path + (h.isWildcard ? "*" : ""));
    return paths;
}

TEST_F(StoreLoad, HistoryOfTheWholeBackupSet)
{
    FSSubclientConf conf;
    CaptureLog log(1);
    ASSERT_EQ(loadHistoryWindow(conf, 0, 6), 0) << log.dump();
    EXPECT_EQ(subclientNames(conf), (Strings{"default", "db", "logs"}));
    EXPECT_EQ(pathStamps(conf),
              (std::vector<Stamp>{
                  {"/srv/db", 100, 0}, {"/edge/created-at-to", 300, 0}, {"/var/log", 100, 0}, {"/var/tmp", 100, 400}}));
    // Default content is not in the tree, so the default subclient keeps all of its window as history.
    EXPECT_EQ(history(conf), (Strings{"/home", "/edge/modified-at-from", "/srv/*.dbf*"}));
}

// The pattern tests answer for the loaded window: stamped times and past content.
TEST_F(StoreLoad, PatternTestsReadTheLoadedWindow)
{
    FSSubclientConf conf;
    ASSERT_EQ(loadHistoryWindow(conf, 0, 6), 0);
    EXPECT_EQ(conf.completelyContains("/srv/db", "/srv/db/f", '/', false), 1);
    EXPECT_EQ(conf.completelyContains("/var/tmp", "/var/tmp/f", '/', false), 1) << "modified after the window";
    EXPECT_EQ(conf.completelyContains("/edge/created-at-to", "/edge/created-at-to/f", '/', false), 0)
        << "created inside the window";
    struct Case {
        const char* path;
        int scNum;
        int expected;
    } cases[] = {
        {"/edge/modified-at-from/f", 2, 1},
        {"/edge/modified-before-from/f", 2, 0},
        {"/srv/old.dbf", 2, 1},
        {"/srv/old.dbf", 3, 0},
        {"/home/alice", 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(priv(conf).pathTestHistory(c.path, '/', c.scNum), c.expected) << c.path << " in " << c.scNum;
}

TEST_F(StoreLoad, HistoryOfADesignatedSubclient)
{
    FSSubclientConf conf;
    ASSERT_EQ(loadHistoryWindow(conf, 3, 201), 0);
    EXPECT_EQ(subclientNames(conf), Strings{"db"});
    EXPECT_EQ(history(conf), (Strings{"/srv/db", "/edge/modified-at-from", "/edge/created-at-to", "/srv/*.dbf*"}));
}

TEST_F(StoreLoad, ExampleWorkstationWithItsHistory)
{
    const std::string data = SUBCLIENTCONF_TEST_DATA;
    openPath(data.substr(0, data.rfind("/tests/")) + "/examples/workstation.backupset");
    FSSubclientConf conf;
    ApplicationId application(2, 12);
    SubclientIdFromName ids;
    ASSERT_EQ(conf.load(&application, 1702000000, &ids, 1700000000), 0);
    EXPECT_EQ(replayTexts(conf), (Strings{"default", "Database", "  /var/lib/postgresql", "Logs", "  /var/log/*.log*",
                                          "Downloads", "  /home/alice/Downloads"}));
    EXPECT_EQ(displayNameOf(conf, "/var/lib/postgresql"), "Customer database");
    EXPECT_EQ(defaultContent(conf), Strings{"/home"});
    EXPECT_EQ(history(conf), (Strings{"/home", "/home/alice/Downloads"}));
}

class NoIds : public SubclientIdFromName {
public:
    int getSubclientId(const std::string&, unsigned long&, void*) override { return KX_CONFIG_NOT_FOUND; }
};

TEST_F(StoreLoad, HistoryFailures)
{
    SubclientIdFromName beforeTheStore;
    enum Ids { kStore, kBeforeTheStore, kNoIds, kNone };
    struct Case {
        const char* store;
        unsigned long backupSet;
        Ids ids;
        const char* message;
    } cases[] = {
        {"history.backupset", 6, kBeforeTheStore, "Cannot get content history for backup set 0, code 2"},
        {"history.backupset", 6, kNoIds, "Cannot convert 'default' in backupset 6 to an id"},
        {"badhistory.backupset", 8, kStore, "Invalid path '\\/\\/' from history"},
        {"history.backupset", 6, kNone, "NULL idFromName"},
    };
    for (const Case& c : cases) {
        open(c.store);
        SubclientIdFromName ids;
        NoIds noIds;
        SubclientIdFromName* choice[] = {&ids, &beforeTheStore, &noIds, nullptr};
        FSSubclientConf conf;
        ApplicationId application(0, c.backupSet);
        CaptureLog log(1);
        EXPECT_EQ(conf.load(&application, 300, choice[c.ids], 200), -1) << c.message;
        EXPECT_TRUE(log.contains(c.message)) << log.dump();
        EXPECT_EQ(priv(conf).historyToTime, 0ul) << c.message;
    }
}

}  // namespace
