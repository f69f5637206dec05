// Short memory in the platform services and the wildcard engine.
#include "AllocScenario.h"
#include "FailingAlloc.h"
#include "OfficeConf.h"
#include "platform/ApplicationId.h"
#include "platform/BackupsetStore.h"
#include "platform/KXLog.h"
#include "platform/SubclientConfSummary.h"
#include "wildcard/TPathMatch.h"
#include "wildcard/WCSubclients.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>

namespace {

TEST(AllocationFailure, StoreOpenAndSummary)
{
    const std::string path = officeStorePath();
    failEachAllocation(
        [&] {
            std::string error;
            int opened = 0, looked = 0;
            std::vector<unsigned long> appIds;
            std::optional<ApplicationId> application;
            std::optional<SubclientConfSummary> summary;
            std::string escaped = failing_alloc::window([&] {
                opened = kxOpenBackupsetStore(path.c_str(), &error);
                if (opened != 0)
                    return;
                application.emplace(0, 0);
                summary.emplace(*application, kOfficeNow);
                looked = summary->lookupAppIds(appIds, nullptr, nullptr);
            });
            kxCloseBackupsetStore();
            if (!escaped.empty())
                return Steps{escaped};
            if (opened != 0)
                return Steps{"open -1 " + error};
            std::ostringstream text;
            text << summary->getConfigStream(nullptr)->rdbuf();
            std::string outcome = "lookup " + std::to_string(looked) + " " + text.str();
            for (unsigned long id : appIds)
                outcome += " " + std::to_string(id);
            return Steps{outcome};
        },
        [](const std::string& got) {
            return (startsWith(got, "open -1 ") && mentionsMemory(got)) ||
                   startsWith(got, "lookup " + std::to_string(KX_CONFIG_NO_MEMORY) + " ");
        });
}

TEST(AllocationFailure, WildcardBasenames)
{
    failEachAllocation(
        [] {
            const std::string patternText = "[a-cx]*?\\*.[!0-9]og", otherText = "b*.log";
            bool parseFailed = false, overlaps = false, contains = false, copied = false;
            std::string folded, rendered;
            std::string escaped = failing_alloc::window([&] {
                WCBasename pattern('\\', true), other('\\', true);
                parseFailed = pattern.parse(patternText) || other.parse(otherText);
                if (parseFailed)
                    return;
                overlaps = pattern.overlaps(other, false);
                contains = pattern.contains(other, true, 0, 0);
                std::unique_ptr<WCBasename> copy(pattern.createCaseInsensitiveBasename());
                copied = copy != nullptr;
                if (copy)
                    folded = copy->toUtf8();
                rendered = pattern.toUtf8();
            });
            if (!escaped.empty())
                return Steps{escaped};
            if (parseFailed)
                return Steps{"parse failed"};
            return Steps{std::to_string(overlaps) + std::to_string(contains) + (copied ? " copy" : " no copy") + " [" +
                         folded + "] [" + rendered + "]"};
        },
        [](const std::string& got) {
            // Renderings have no failure result: short memory leaves them empty.
            return got == "parse failed" || got.find(" no copy") != std::string::npos ||
                   got.find("[]") != std::string::npos;
        });
}

TEST(AllocationFailure, NameMatcher)
{
    failEachAllocation(
        [] {
            const std::string pattern = "*.[lL]o?", log = "System.LOG", text = "a.txt";
            int logMatch = 0, textMatch = 0;
            std::string outcome;
            std::string escaped = failing_alloc::window([&] {
                TPathMatch matcher;
                matcher.caseInsensitive();
                if (matcher.compilePattern(pattern, 1, 0) != 0) {
                    outcome = "compile failed";
                    return;
                }
                logMatch = matcher.matchName(log);
                textMatch = matcher.matchName(text);
            });
            if (outcome.empty())
                outcome = std::to_string(logMatch) + std::to_string(textMatch);
            return Steps{escaped.empty() ? outcome : escaped};
        },
        [](const std::string& got) { return got == "compile failed"; });
}

}  // namespace
