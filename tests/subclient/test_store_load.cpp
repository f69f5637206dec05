// Loads from backup-set store files: whole sets, designated subclients and content history.
#include "SubclientTest.h"
#include "platform/ApplicationId.h"
#include "platform/BackupsetContent.h"
#include "platform/BackupsetStore.h"

namespace {

class StoreLoad : public ::testing::Test {
protected:
    void open(const std::string& name)
    {
        const std::string path = std::string(SUBCLIENTCONF_TEST_DATA) + "/loading/" + name;
        std::string error;
        ASSERT_EQ(kxOpenBackupsetStore(path.c_str(), &error), 0) << error;
    }
    void TearDown() override { kxCloseBackupsetStore(); }
};

// Do Not Backup is no subclient for this application type.
TEST_F(StoreLoad, SubclientsContentAndDisplayNames)
{
    const Strings office = {"Home folders: /", "Database: /srv/db /srv/olddb", "Logs: /var/log"};
    const struct {
        const char* store;
        unsigned long fleet, number;  // the backup set, or a subclient's application id
        bool defaultOnly;
        const char* displayed;  // a path, and the display name its directory list gives
        const char* displayName;
        Strings defaultContent;
        Strings content;
    } cases[] = {
        {"office.backupset", 0, 5, false, "/srv/db", "Database files", {"/home"}, office},
        {"office.backupset", 0, 5, true, "/srv/db", "Database files", {"/home"}, office},
        {"office.backupset", 3, 101, false, "/srv/db/x", "Database files", {"/home"}, office},
        {"office.backupset", 3, 101, true, "/x", "", {"/srv/db", "/srv/olddb"}, {"Database: /"}},
        {"ondemand.backupset",
         0,
         7,
         false,
         "/projects",
         "",
         {"/"},
         {"default: /", "projects: /__OnDemandSubClient_projects /projects"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.number) + (c.defaultOnly ? " default only" : ""));
        open(c.store);
        FSSubclientConf conf;
        ApplicationId application(c.fleet, c.number);
        CaptureLog log(1);
        ASSERT_EQ(conf.load(&application, 200, c.defaultOnly), 0) << log.dump();
        EXPECT_EQ(contentOf(conf), c.content);
        EXPECT_EQ(output(conf, kDirnames, 1), c.defaultContent);
        EXPECT_EQ(conf.getLoadedDefaultOnly(), c.content.size() == 1);
        EXPECT_EQ(displayNameOf(conf, c.displayed), c.displayName);
    }
}

// Stands in for the service where the store cannot reach a failure path.
class FakeApplication : public ApplicationId {
public:
    FakeApplication(bool throws, Subclient* designated = nullptr) : throws_(throws), designated_(designated) {}
    AppIdInfo getAppIdInfo() override
    {
        if (throws_)
            throw "service gone";
        AppIdInfo info;
        info.appType = 1;
        info.subclientId = 2;
        return info;
    }
    Subclient* getSubclient(void*) override { return designated_; }

private:
    bool throws_;
    Subclient* designated_;
};

TEST_F(StoreLoad, EntryPointFailuresKeepTheObject)
{
    open("office.backupset");
    ApplicationId unknown(0, 999);
    FakeApplication noSubclient(false), throwing(true);
    Subclient nameless(999);  // not in the store: it has no name
    FakeApplication unnamed(false, &nameless);
    const std::pair<ApplicationId*, bool> cases[] = {
        {&unknown, false}, {&noSubclient, true}, {&unnamed, true}, {&throwing, false}, {nullptr, false}};
    CaptureLog log(1);
    for (const auto& c : cases) {
        FSSubclientConf conf;
        ASSERT_EQ(conf.setName("keep"), 0);
        EXPECT_EQ(conf.load(c.first, 200, c.second), -1) << log.dump();
        EXPECT_EQ(contentOf(conf), (Strings{"default: /", "keep:"})) << log.dump();
    }
    EXPECT_TRUE(log.has(-1, "exception: service gone")) << log.dump();
}

// The window 200..300 of history.backupset holds entries at and just past both edges.
TEST_F(StoreLoad, HistoryWindow)
{
    open("history.backupset");
    FSSubclientConf conf;
    ApplicationId application(0, 6);
    SubclientIdFromName ids;
    CaptureLog log(3);
    ASSERT_EQ(conf.load(&application, 300, &ids, 200), 0) << log.dump();
    EXPECT_EQ(contentOf(conf), (Strings{"default: /", "db: /srv/db /srv/again /edge/created-at-to",
                                        "logs: /srv/db/logs /var/log /var/tmp"}));
    // Content holds all of a pattern below it only when it stood through the whole
    // window: created when it begins (/var/log) or modified after it (/var/tmp) will do.
    for (const std::string dirname : {"/srv/db", "/var/log", "/var/tmp"})
        EXPECT_EQ(conf.completelyContains(dirname.c_str(), (dirname + "/f").c_str(), '/', false), 1) << dirname;
    for (const std::string dirname : {"/edge/created-at-to", "/srv/again"})
        EXPECT_EQ(conf.completelyContains(dirname.c_str(), (dirname + "/f").c_str(), '/', false), 0) << dirname;
    EXPECT_TRUE(
        log.has(3, "'/edge/created-at-to/f' is NOT completely contained in '/edge/created-at-to' as 300 > 200"));
    EXPECT_TRUE(log.has(3, "'/srv/again/f' is NOT completely contained in '/srv/again' as 250 <= 300"));
    // Below another subclient's content that stood through the window, a
    // subclient's past content decides; content that appeared during the
    // window did not take a path for all of it.
    for (int trace : {0, 3}) {  // the index, then the walk over every entry
        CaptureLog walk(trace);
        expectAnswers(conf,
                      {"/srv/db/old/x 110", "/srv/db/new 010", "/edge/created-at-to/x 110", "/srv/db/logs/x 001"});
    }
    open("history.backupset");
    ApplicationId designated(3, 201);
    FSSubclientConf db;
    ASSERT_EQ(db.load(&designated, 300, &ids, 200), 0) << log.dump();
    EXPECT_EQ(contentOf(db), Strings{"db: /"});
    EXPECT_EQ(output(db, kDirnames, 1), (Strings{"/srv/db", "/edge/created-at-to", "/srv/again"}));
}

class NoIds : public SubclientIdFromName {
public:
    int getSubclientId(const std::string&, unsigned long&, void*) override { return KX_CONFIG_NOT_FOUND; }
};

TEST_F(StoreLoad, HistoryFailures)
{
    SubclientIdFromName beforeTheStore;  // asks the store open when it was made
    const struct {
        const char* store;
        unsigned long backupSet;
        int ids;  // 0: for the store, 1: made before it, 2: knows no names, 3: none
        const char* message;
    } cases[] = {
        {"history.backupset", 6, 1, "Cannot get content history for backup set 0, code 2"},
        {"history.backupset", 6, 2, "Cannot convert 'default' in backupset 6 to an id"},
        {"badhistory.backupset", 8, 0, "Invalid path '\\/\\/' from history"},
        {"history.backupset", 6, 3, "NULL idFromName"},
    };
    for (const auto& c : cases) {
        open(c.store);
        SubclientIdFromName forTheStore;
        NoIds noIds;
        SubclientIdFromName* const choice[] = {&forTheStore, &beforeTheStore, &noIds, nullptr};
        FSSubclientConf conf;
        ApplicationId application(0, c.backupSet);
        CaptureLog log(1);
        EXPECT_EQ(conf.load(&application, 300, choice[c.ids], 200), -1) << c.message;
        EXPECT_TRUE(log.contains(c.message)) << log.dump();
    }
}

}  // namespace
