// Short memory while a filled configuration answers: scan lists (through a
// callback, to a file, expanded on disk), directory lists with sorting,
// merging and walking, and path classification.
#include "AllocScenario.h"
#include "FailingAlloc.h"
#include "OfficeConf.h"
#include "ScanLines.h"
#include "dirlist/FSSubclientDirList.h"
#include "platform/ApplicationId.h"
#include "platform/BackupsetContent.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

namespace {

// One step per subclient and list: "<operation> <result> <lines>".
using Output = int (FSSubclientConf::*)(FSCallback*, int);
const std::pair<const char*, Output> kOutputs[] = {
    {"dirnames", &FSSubclientConf::dirnames},
    {"nodirs", &FSSubclientConf::nodirs},
    {"treeOutput", &FSSubclientConf::treeOutput},
};

bool outputFailure(const std::string& step)
{
    for (const auto& output : kOutputs)
        if (startsWith(step, std::string(output.first) + " -1"))
            return true;
    return false;
}

// Marks a list from which a folder's wildcard content is missing, said in an error.
const char kFolderLeftOut[] = " (a folder left out)";

Steps outputAll(FSSubclientConf& conf)
{
    Steps steps;
    for (int n = 1; n <= conf.getNumSubclients(); ++n)
        for (const auto& output : kOutputs) {
            FixedLines lines;
            int rc = 0;
            forgetErrors();
            std::string escaped = failing_alloc::window([&] { rc = (conf.*output.second)(&lines, n); });
            if (!escaped.empty())
                return Steps{escaped};
            steps.push_back(std::string(output.first) + " " + std::to_string(rc) + " " + lines.text() +
                            (errorLogged("cannot be scanned") ? kFolderLeftOut : ""));
        }
    return steps;
}

TEST(AllocationFailure, ScanLists)
{
    ScopedLogLevel level(1);
    for (bool caseSensitive : {true, false}) {
        const std::unique_ptr<FSSubclientConf> conf = officeConf(caseSensitive);
        failEachAllocation([&] { return outputAll(*conf); }, outputFailure);
    }
}

TEST(AllocationFailure, ScanListsToFile)
{
    const std::unique_ptr<FSSubclientConf> conf = officeConf(true);
    TempDir dir;
    std::string path = dir.file("scan.list");
    ScopedLogLevel level(1);
    failEachAllocation(
        [&] {
            Steps steps;
            for (int n = 1; n <= conf->getNumSubclients(); ++n) {
                int created = 0, dirnames = 0, nodirs = 0;
                std::string escaped = failing_alloc::window([&] {
                    FSFileOutput out;
                    created = out.create(&path[0]);
                    dirnames = conf->dirnames(&out, n);
                    nodirs = conf->nodirs(&out, n);
                });
                std::string written = TempDir::read(path);
                remove(path.c_str());
                if (!escaped.empty())
                    return Steps{escaped};
                steps.push_back("create " + std::to_string(created) + " dirnames " + std::to_string(dirnames) +
                                " nodirs " + std::to_string(nodirs) + "\n" + written);
            }
            return steps;
        },
        [](const std::string& step) {
            // The file cannot be created, or a list cannot be written.
            return step.substr(0, step.find('\n')).find(" -1") != std::string::npos;
        });
}

// In ifind mode wildcard content is expanded on disk, and nodirs are written as patterns.
TEST(AllocationFailure, IfindScanLists)
{
    TempDir dir;
    for (const char* name :
         {"var/", "var/log/", "var/log/syslog.log", "var/log/kern.log", "var/log/app-1.txt", "var/log/app-22.txt",
          "var/log/apt/", "var/tmp/", "var/tmp/a", "var/tmp/[b]", "home/", "home/alice/", "home/alice/Mail/",
          "home/bob/", "home/bob/Mail/", "srv/", "srv/db/", "srv/db/x.dbf", "srv/db/y.DBF"})
        dir.make(name);
    const std::string root = dir.path();
    const std::string text = "\tdefault\n" + root + "\n\tLogs\n" + root + "/var/log/*.log\\/\\/\n" + root +
                             "/var/log/app-?.txt\\/\\/\n\tHome\n" + root + "/home/*/Mail\\/\\/\n\tScratch\n" + root +
                             "/var/tmp/*\\/\\/\n" + root + "/var/log/kern.log\n\tDatabase\n" + root +
                             "/srv/db/*.dbf\\/\\/\n" + root + "/srv/db/x[1]*\n";
    FSSubclientConf conf;
    TextSummary summary(text, {1, 2, 3, 4, 5});
    ASSERT_EQ(conf.load(&summary), 0);
    conf.setIfindMode(true);
    ScopedLogLevel level(1);
    failEachAllocation([&] { return outputAll(conf); },
                       [](const std::string& step, const std::string& normal) {
                           // A folder that cannot be opened for want of memory is named in an error.
                           return outputFailure(step) ||
                                  (endsWith(step, kFolderLeftOut) && !endsWith(normal, kFolderLeftOut));
                       });
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
            text += std::string(" ") + dir->name + ":" + std::to_string(dir->toTime);
            escaped = failing_alloc::window([&] { list.getNext(&dir); });
            text += escaped;
        }
        text += "]";
    }
    return text;
}

class DirectoryLists : public ::testing::TestWithParam<bool> {};

TEST_P(DirectoryLists, CreateSortMergeAndWalk)
{
    const std::unique_ptr<FSSubclientConf> conf = officeConf(GetParam());
    const int subclients = conf->getNumSubclients();
    ScopedLogLevel level(1);
    failEachAllocation(
        [&] {
            // The whole tree, then lists that the merge partly finds covered by it.
            const std::pair<const char*, bool> paths[] = {
                {"/", false},         {"/var/log", true},          {"/var/log", false},
                {":0:/home", false},  {"/home/alice/Mail", false}, {";0;4004;/home/alice", false},
                {"\\srv\\db", false},
            };
            Steps steps;
            std::unique_ptr<FSSubclientDirlist> whole;
            for (const auto& path : paths) {
                FSSubclientDirlist* list = nullptr;
                int sorted = 0, merged = 0;
                std::string escaped = failing_alloc::window([&] {
                    list = conf->createDirlist(path.first, path.second);
                    if (!list || whole)
                        return;
                    whole.reset(list);
                    sorted = whole->sort();
                });
                if (escaped.empty() && list && whole.get() != list)
                    escaped = failing_alloc::window([&] { merged = whole->merge(list); });  // destroys list
                if (!escaped.empty())
                    return Steps{escaped};
                if (!list)
                    return Steps{std::string("no list ") + path.first};
                steps.push_back(std::string(path.first) + " sort " + std::to_string(sorted) + " merge " +
                                std::to_string(merged));
            }
            steps.push_back(walk(*whole, subclients));
            std::string escaped = failing_alloc::window([&] { whole.reset(); });
            if (!escaped.empty())
                steps.push_back(escaped);
            return steps;
        },
        [](const std::string& step) {
            return startsWith(step, "no list ") || step.find(" sort -1") != std::string::npos ||
                   step.find(" merge -1") != std::string::npos;
        });
}

INSTANTIATE_TEST_SUITE_P(AllocationFailure, DirectoryLists, ::testing::Bool(), caseMode);

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string word;
    while (in >> word)
        out.push_back(word);
    return out;
}

// Each answer equals the normal one or is the error answer -1.
bool answersOrErrors(const std::string& step, const std::string& normal)
{
    const std::vector<std::string> got = words(step), expected = words(normal);
    if (got.size() != expected.size())
        return false;
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != expected[i] && got[i] != "-1")
            return false;
    return true;
}

// Every subclient's answer for each path, then the pattern tests.
Steps classify(FSSubclientConf& conf)
{
    Steps steps;
    for (const char* path : {"/home/bob/notes.txt", "/HOME/Bob/notes.txt", "/home/alice/Downloads/setup.iso",
                             "/var/log/syslog.log", "/var/log/apt/history.log", "/srv/db/archive/2023/x",
                             "/srv/db/y.dbf", "/opt/mysql/ibdata1", "/home/carol/Projects/web/index.html",
                             "/etc/passwd", "\\tmp\\x", "/data/projects/2023/q4/reports/final/a.pdf",
                             "/home/erin/Documents/Correspondence-2023/drafts-not-for-backup/letter.odt",
                             "/opt/application-server/logs/server.log.1", "/var/lib/mysql-cluster-data/node-07/ib"}) {
        std::string answers = path;
        for (int n = 1; n <= conf.getNumSubclients(); ++n) {
            int rc = 0;
            std::string escaped = failing_alloc::window([&] { rc = conf.pathTest(path, n); });
            if (!escaped.empty())
                return Steps{escaped};
            answers += " " + std::to_string(rc);
        }
        steps.push_back(answers);
    }
    const char* const pairs[][2] = {{"/var/log", "/var/log/*.log"}, {"/home/*/Mail", "/home/alice/Mail/x"}};
    std::string tests = "pattern tests";
    for (const auto& pair : pairs) {
        int could = 0, completely = 0;
        std::string escaped = failing_alloc::window([&] {
            could = conf.dirnameTest(pair[0], pair[1], '/', true);
            completely = conf.completelyContains(pair[0], pair[1], '/', true);
        });
        if (!escaped.empty())
            return Steps{escaped};
        tests += " " + std::to_string(could) + " " + std::to_string(completely);
    }
    steps.push_back(tests);
    return steps;
}

// pathTest keeps its list between calls: each run classifies with a fresh configuration.
TEST(AllocationFailure, PathTestOverTheHistoryWindow)
{
    OfficeStore store;
    ScopedLogLevel level(1);
    failEachAllocation(
        [] {
            // A path that was content during the window still counts.
            FSSubclientConf conf;
            ApplicationId backupSet(0, kOfficeBackupSet);
            SubclientIdFromName ids;
            if (conf.load(&backupSet, kOfficeNow, &ids, kOfficeFrom) != 0)
                return Steps{"no configuration"};
            return classify(conf);
        },
        answersOrErrors);
}

TEST(AllocationFailure, PathTestCaseInsensitive)
{
    ScopedLogLevel level(1);
    failEachAllocation([] { return classify(*officeConf(false)); }, answersOrErrors);
}

}  // namespace
