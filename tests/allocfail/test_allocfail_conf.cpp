// Short memory in the configuration object: filling, loading, history,
// replay and directory lists.
#include "AllocScenario.h"
#include "FailingAlloc.h"
#include "dirlist/FSCallback.h"
#include "dirlist/FSSubclientDirList.h"
#include "platform/ApplicationId.h"
#include "platform/BackupsetContent.h"
#include "platform/BackupsetStore.h"
#include "platform/SubclientConfSummary.h"
#include "subclient/FSSubclientConf.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <cstring>
#include <optional>
#include <sstream>

namespace {

struct Line {
    const char* name;  // setName when set, else setPath
    const char* path;
};

const Line kLines[] = {
    {"Database", nullptr}, {nullptr, "/var/lib/postgresql"}, {nullptr, "/srv/db/*.dbf\\/\\/"},
    {"Logs", nullptr},     {nullptr, "/var/log/*.log\\/\\/"}, {nullptr, "c:\\logs\\app"},
    {"Home", nullptr},     {nullptr, "/home"},                {nullptr, "/home/alice/.cache-of-a-long-name"},
};

std::string result(int rc, int code)
{
    return std::to_string(rc) + " code " + std::to_string(code);
}

std::string result(int rc, FSSubclientConf& conf)
{
    return result(rc, conf.getErrCode());
}

// setName and setPath report short memory as FS_NO_MEMORY, or as FS_INVALID
// when it is the pattern's parse that fails.
bool insertionFailure(const std::string& step)
{
    return startsWith(step, "-") &&
           (step.find("code " + std::to_string(FS_NO_MEMORY)) != std::string::npos ||
            step.find("code " + std::to_string(FS_INVALID)) != std::string::npos);
}

// Builds conf from kLines, one step per line; the constructor may throw
// bad_alloc (the one documented exception: no object then exists).
Steps fill(std::optional<FSSubclientConf>& conf)
{
    Steps steps;
    std::string escaped = failing_alloc::window([&] {
        try {
            conf.emplace();
        } catch (const std::bad_alloc&) {
            steps.push_back("no object");
        }
    });
    if (!escaped.empty() || !conf)
        return escaped.empty() ? steps : Steps{escaped};
    // The constructor has no result: short memory shows in its error code.
    steps.push_back("constructed " + result(0, *conf));
    for (const Line& line : kLines) {
        int rc = 0;
        escaped = failing_alloc::window([&] { rc = line.name ? conf->setName(line.name) : conf->setPath(line.path); });
        steps.push_back(escaped.empty() ? result(rc, *conf) : escaped);
    }
    return steps;
}

TEST(AllocationFailure, ConstructAndInsert)
{
    failEachAllocation(
        [] {
            std::optional<FSSubclientConf> conf;
            return fill(conf);
        },
        [](const std::string& step) {
            return step == "no object" || step == "constructed " + result(0, FS_NO_MEMORY) || insertionFailure(step);
        });
}

// A filled configuration, built outside the counted windows.
std::unique_ptr<FSSubclientConf> filled()
{
    auto conf = std::make_unique<FSSubclientConf>();
    for (const Line& line : kLines)
        line.name ? conf->setName(line.name) : conf->setPath(line.path);
    return conf;
}

// The walks open a window per library call, so that only the library's own
// allocations are counted.
std::string walk(FSSubclientDirlist& list, int subclients)
{
    std::string text;
    for (int n = 1; n <= subclients; ++n) {
        FSSubclientDir* dir = nullptr;
        int rc = 0;
        std::string escaped = failing_alloc::window([&] { rc = list.getFirst(n, &dir); });
        text += " [" + std::to_string(n) + (rc != 0 ? " failed" : "") + escaped;
        while (dir && escaped.empty()) {
            text += std::string(" ") + dir->name;
            escaped = failing_alloc::window([&] { list.getNext(&dir); });
            text += escaped;
        }
        text += "]";
    }
    return text;
}

std::string browse(FSSubclientDirlist& list)
{
    std::string text = "browse";
    TBrowseItem item;
    bool more = false;
    std::string escaped = failing_alloc::window([&] { more = list.getFirstBrowseItem(item, nullptr); });
    while (more && escaped.empty()) {
        text += " " + item.path + ":" + std::to_string(item.subclient);
        escaped = failing_alloc::window([&] { more = list.getNextBrowseItem(item, nullptr); });
    }
    return text + escaped;
}

// A browse walk ends early without its cache or a child's text, and may
// repeat a child whose cache entry could not be stored: it lists no child
// that the normal walk does not.
bool browseShortOf(const std::string& step, const std::string& normal)
{
    if (!startsWith(step, "browse") || step.find("exception") != std::string::npos)
        return false;
    std::istringstream children(step.substr(6));
    std::string child;
    while (children >> child)
        if ((normal + " ").find(" " + child + " ") == std::string::npos)
            return false;
    return true;
}

TEST(AllocationFailure, DirectoryLists)
{
    const std::unique_ptr<FSSubclientConf> conf = filled();
    const int subclients = conf->getNumSubclients();
    failEachAllocation(
        [&] {
            FSSubclientDirlist* part = nullptr;
            int sorted = 0, merged = 0;
            std::unique_ptr<FSSubclientDirlist> whole;
            std::string escaped = failing_alloc::window([&] {
                whole.reset(conf->createDirlist("/", false));
                if (!whole)
                    return;
                sorted = whole->sort();
                part = conf->createDirlist("/var/log", true);
                if (part)
                    merged = whole->merge(part);  // destroys part
            });
            if (!escaped.empty())
                return Steps{escaped};
            if (!whole)
                return Steps{"no list"};
            Steps steps{"sort " + std::to_string(sorted), part ? "merge " + std::to_string(merged) : "no second list",
                        walk(*whole, subclients), browse(*whole)};
            escaped = failing_alloc::window([&] { whole.reset(); });
            if (!escaped.empty())
                steps.push_back(escaped);
            return steps;
        },
        [](const std::string& step, const std::string& normal) {
            return step == "no list" || step == "sort -1" || step == "merge -1" || step == "no second list" ||
                   browseShortOf(step, normal);
        });
}

// Keeps the lines in a fixed buffer, so that the sink itself allocates nothing.
class FixedLines : public FSCallback {
public:
    int putLine(const char* line) override
    {
        strncat(text, line, sizeof text - strlen(text) - 2);
        strcat(text, "|");
        return 0;
    }
    char text[4096] = "";
};

TEST(AllocationFailure, ScanLists)
{
    const std::unique_ptr<FSSubclientConf> conf = filled();
    failEachAllocation(
        [&] {
            Steps steps;
            for (int n = 1; n <= conf->getNumSubclients(); ++n) {
                FixedLines dirnames, nodirs;
                int dirnamesResult = 0, nodirsResult = 0;
                std::string escaped = failing_alloc::window([&] {
                    dirnamesResult = conf->dirnames(&dirnames, n);
                    nodirsResult = conf->nodirs(&nodirs, n);
                });
                if (!escaped.empty())
                    return Steps{escaped};
                steps.push_back("dirnames " + std::to_string(dirnamesResult) + " " + dirnames.text);
                steps.push_back("nodirs " + std::to_string(nodirsResult) + " " + nodirs.text);
            }
            return steps;
        },
        [](const std::string& step) { return startsWith(step, "dirnames -1") || startsWith(step, "nodirs -1"); });
}

// Serves a fixed configuration text, asking no store.
class TextSummary : public SubclientConfSummary {
public:
    explicit TextSummary(const std::string& text) : stream_(text) {}
    std::istream* getConfigStream(void*) override { return &stream_; }
    int lookupAppIds(std::vector<unsigned long>& ids, void*, void*) override
    {
        ids = {1001, 1002, 1003, 1004};
        return 0;
    }

private:
    std::istringstream stream_;
};

std::string table(FSSubclientConf& conf)
{
    std::string text = "table";
    for (int n = 1; n <= conf.getNumSubclients(); ++n)
        text += std::string(" ") + conf.numberToName(n) + "=" + std::to_string(conf.numberToAppId(n));
    return text;
}

TEST(AllocationFailure, SummaryLoad)
{
    const std::string text =
        "\tdefault\n/home\n\x12Home folders\n\tDatabase\n/var/lib/postgresql\n\x12" "Customer database\n"
        "\tLogs\n/var/log/*.log\\/\\/\n\tDownloads\n/home/alice/Downloads-of-a-long-name\n";
    failEachAllocation(
        [&] {
            FSSubclientConf conf;
            TextSummary summary(text);
            int rc = 0;
            std::string escaped = failing_alloc::window([&] { rc = conf.load(&summary); });
            if (!escaped.empty())
                return Steps{escaped};
            return Steps{"load " + std::to_string(rc), table(conf)};
        },
        [](const std::string& step) { return step == "load -1"; });
}

TEST(AllocationFailure, StoreLoadWithHistoryAndReplay)
{
    ASSERT_EQ(kxOpenBackupsetStore(exampleStorePath().c_str(), nullptr), 0);
    failEachAllocation(
        [] {
            FSSubclientConf conf, target;
            int loaded = 0, replayed = 0;
            std::string escaped = failing_alloc::window([&] {
                ApplicationId application(0, 1002);
                SubclientIdFromName ids;
                loaded = conf.load(&application, 1702000000, &ids, 1690000000);
                if (loaded == 0)
                    replayed = conf.replay(&target, "/var/lib/postgresql", "/srv/postgresql-moved-elsewhere");
            });
            if (!escaped.empty())
                return Steps{escaped};
            Steps steps{"load " + std::to_string(loaded), table(conf)};
            if (loaded == 0)
                steps.insert(steps.end(), {"replay " + std::to_string(replayed), table(target)});
            return steps;
        },
        [](const std::string& step) { return step == "load -1" || step == "replay -1"; });
    kxCloseBackupsetStore();
}

}  // namespace
