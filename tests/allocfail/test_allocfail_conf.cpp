// Short memory while a configuration object is built and filled: construction
// and insertion, the summary and store loads, the history load and replay.
#include "AllocScenario.h"
#include "FailingAlloc.h"
#include "OfficeConf.h"
#include "ScanLines.h"
#include "platform/ApplicationId.h"
#include "platform/BackupsetContent.h"
#include "support/FSSubclientConfTestAccess.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <optional>
#include <sstream>

namespace {

std::string result(int rc, int code)
{
    return std::to_string(rc) + " code " + std::to_string(code);
}

// setName and setPath report short memory as FS_NO_MEMORY, or as FS_INVALID
// when it is the pattern's parse that fails.
bool insertionFailure(const std::string& step)
{
    return startsWith(step, "-") && (step.find("code " + std::to_string(FS_NO_MEMORY)) != std::string::npos ||
                                     step.find("code " + std::to_string(FS_INVALID)) != std::string::npos);
}

// Constructs conf; the constructor may throw bad_alloc (the one documented
// exception: no object then exists). Its result shows in its error code.
Steps construct(std::optional<FSSubclientConf>& conf, int appType)
{
    Steps steps;
    std::string escaped = failing_alloc::window([&] {
        try {
            conf.emplace(appType);
        } catch (const std::bad_alloc&) {
            steps.push_back("no object");
        }
    });
    if (!escaped.empty())
        return Steps{escaped};
    if (conf)
        steps.push_back("constructed " + result(0, conf->getErrCode()));
    return steps;
}

bool constructionFailure(const std::string& step)
{
    return step == "no object" || step == "constructed " + result(0, FS_NO_MEMORY);
}

// Fills conf line by line from a configuration text: a header line names a
// subclient, a content line is inserted, display names are left out.
Steps insertLines(FSSubclientConf& conf, const std::string& text)
{
    Steps steps;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '\x12')
            continue;
        int rc = 0;
        std::string escaped = failing_alloc::window(
            [&] { rc = line[0] == '\t' ? conf.setName(line.c_str() + 1) : conf.setPath(line.c_str()); });
        steps.push_back(escaped.empty() ? line + ": " + result(rc, conf.getErrCode()) : escaped);
    }
    return steps;
}

// Lines that the mode decides: the same path in capitals, the same name in
// other letters, a duplicate, an ancestor, a line that is not a path.
const char kMoreLines[] = "/VAR/LOG/APT\n"
                          "\tSCRATCH\n"
                          "\tArchive\n"
                          "/var/lib/postgresql\n"
                          "/mnt/archive/2023\n"
                          "/mnt/archive\n"
                          "/mnt/archive/*.tar\\/\\/\n"
                          "relative/path\n";

class ConstructAndInsert : public ::testing::TestWithParam<bool> {};

TEST_P(ConstructAndInsert, EveryLineOfTheOfficeSet)
{
    const bool caseSensitive = GetParam();
    const std::string text = officeText() + kMoreLines;
    // With every diagnostic on: a record that cannot be written must not fail an insertion.
    ScopedLogLevel level(3);
    failEachAllocation(
        [&] {
            std::optional<FSSubclientConf> conf;
            Steps steps = construct(conf, caseSensitive ? 29 : 1);
            if (!conf)
                return steps;
            Steps inserted = insertLines(*conf, text);
            steps.insert(steps.end(), inserted.begin(), inserted.end());
            return steps;
        },
        [](const std::string& step) {
            return constructionFailure(step) || insertionFailure(step.substr(step.find(": ") + 2));
        });
}

INSTANTIATE_TEST_SUITE_P(AllocationFailure, ConstructAndInsert, ::testing::Bool(), caseMode);

// Loads text into conf, and tells the outcome with what the load built.
Steps loaded(FSSubclientConf& conf, SubclientConfSummary& summary)
{
    int rc = 0;
    std::string escaped = failing_alloc::window([&] { rc = conf.load(&summary); });
    if (!escaped.empty())
        return Steps{escaped};
    return Steps{"load " + std::to_string(rc), table(conf), scanLists(conf)};
}

TEST(AllocationFailure, SummaryLoad)
{
    // A duplicate line (tolerated, raised as an event) and an extra subclient.
    const std::string text = officeText() + "\tExtra\n/var/lib/postgresql\n/mnt/extra\n\x12"
                                            "Extra disk\n";
    std::vector<unsigned long> ids = officeAppIds();
    ids.push_back(4099);
    for (int level : {0, 3}) {
        SCOPED_TRACE("log level " + std::to_string(level));
        ScopedLogLevel logLevel(level);
        failEachAllocation(
            [&] {
                FSSubclientConf conf;
                TextSummary summary(text, ids);
                return loaded(conf, summary);
            },
            [](const std::string& step) { return step == "load -1"; });
    }
}

// Loads from the store the whole backup set, then the one subclient Database
// (as default); each outcome with what the load built.
template <class Load, class Describe>
Steps storeLoads(const std::string& what, Load load, Describe describe)
{
    Steps steps;
    for (unsigned long appId : {kOfficeBackupSet, kOfficeDatabase}) {
        FSSubclientConf conf;
        int rc = 0;
        std::string escaped = failing_alloc::window([&] {
            ApplicationId application(0, appId);
            rc = load(conf, application, appId == kOfficeDatabase);
        });
        if (!escaped.empty())
            return Steps{escaped};
        steps.insert(steps.end(), {what + " " + std::to_string(rc), table(conf), describe(conf)});
    }
    return steps;
}

TEST(AllocationFailure, StoreLoad)
{
    OfficeStore store;
    ScopedLogLevel level(1);
    failEachAllocation(
        [] {
            return storeLoads(
                "load",
                [](FSSubclientConf& conf, ApplicationId& application, bool single) {
                    return conf.load(&application, kOfficeNow, single);
                },
                scanLists);
        },
        [](const std::string& step) { return step == "load -1"; });
}

std::string history(FSSubclientConf& conf)
{
    std::string text = "history";
    for (const FSHistory& h : FSSubclientConfTestAccess::priv(conf).historyList)
        text += " " + h.path + (h.isWildcard ? "\\/\\/" : "");
    return text;
}

TEST(AllocationFailure, HistoryLoad)
{
    OfficeStore store;
    ScopedLogLevel level(1);
    failEachAllocation(
        [] {
            return storeLoads(
                "history load",
                [](FSSubclientConf& conf, ApplicationId& application, bool) {
                    SubclientIdFromName ids;
                    return conf.load(&application, kOfficeNow, &ids, kOfficeFrom);
                },
                history);
        },
        [](const std::string& step) { return step == "history load -1"; });
}

TEST(AllocationFailure, Replay)
{
    const std::unique_ptr<FSSubclientConf> source = officeConf(true);
    ScopedLogLevel level(1);
    failEachAllocation(
        [&] {
            // A wildcard line and a literal one carried over to new places.
            const char* const moves[][2] = {{"/var/log/*.log", "/var/log/*.txt"}, {"/srv/db/archive", "/srv/archive"}};
            Steps steps;
            for (const auto& move : moves) {
                std::optional<FSSubclientConf> target;
                Steps constructed = construct(target, 29);
                if (!target)
                    return constructed;
                int rc = 0;
                std::string escaped = failing_alloc::window([&] { rc = source->replay(&*target, move[0], move[1]); });
                if (!escaped.empty())
                    return Steps{escaped};
                steps.insert(steps.end(), constructed.begin(), constructed.end());
                steps.insert(steps.end(), {"replay " + std::to_string(rc), table(*target), scanLists(*target)});
            }
            return steps;
        },
        [](const std::string& step) { return constructionFailure(step) || step == "replay -1"; });
}

}  // namespace
