// Short memory everywhere the library allocates: each scenario runs once to
// count its allocations, then once for each of them with that one failing.
// A scenario tells its outcome in steps; a failing run passes when its steps
// equal those of the normal run, or when the first step that differs is
// "failed ...", a failure the interface promises for short memory (what
// follows may differ freely). No exception may escape, and the sanitizer
// build checks once per scenario that nothing leaked.
#include "FailingAlloc.h"
#include "dirlist/FSCallback.h"
#include "dirlist/FSSubclientDirList.h"
#include "platform/ApplicationId.h"
#include "platform/BackupsetContent.h"
#include "platform/BackupsetStore.h"
#include "platform/KXLog.h"
#include "subclient/FSSubclientConf.h"
#include "subclient/TextSummary.h"  // tests/subclient/
#include "support/TempDir.h"
#include "wildcard/TPathMatch.h"
#include "wildcard/WCSubclients.h"

#include <gtest/gtest.h>
#ifdef SUBCLIENTCONF_ALLOCFAIL_SANITIZER
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <optional>
#include <sstream>

namespace {

using Steps = std::vector<std::string>;

// The real writer, so that its allocations take part, but into /dev/null; it
// tells whether a folder's wildcard content was left out in the current run.
class QuietLog : public CLogWriterInterface {
public:
    int getLevel() override { return real_->getLevel(); }
    void vwrite(int level, const char* origin, int line, const char* format, va_list args) override
    {
        folderLeftOut = folderLeftOut || (level == -1 && strstr(format, "cannot be scanned"));
        real_->vwrite(level, origin, line, format, args);
    }
    bool folderLeftOut = false;

private:
    std::shared_ptr<CLogStreamWriter> real_ = CLogStreamWriter::open("/dev/null");
};

std::shared_ptr<QuietLog> g_quiet;

// Only the sanitizer build checks for leaks (the coverage build counts lines).
bool leaksFound()
{
#ifdef SUBCLIENTCONF_ALLOCFAIL_SANITIZER
    return __lsan_do_recoverable_leak_check() != 0;
#else
    return false;
#endif
}

bool failed(const std::string& step)
{
    return step.compare(0, 7, "failed ") == 0;
}

// A step from a window: the exception that escaped it, else the text, marked
// "failed" when the code reported the failure promised for short memory.
std::string step(const std::string& escaped, bool shortOfMemory, const std::string& text)
{
    return !escaped.empty() ? escaped : (shortOfMemory ? "failed " : "") + text;
}

struct Scenario {
    const char* name;
    int logLevel;  // diagnostics allocate too
    std::function<Steps()> run;
};

void PrintTo(const Scenario& scenario, std::ostream* out)
{
    *out << scenario.name;
}

class AllocationFailure : public ::testing::TestWithParam<Scenario> {};

TEST_P(AllocationFailure, LeavesTheNormalOrAPromisedOutcome)
{
    const Scenario& scenario = GetParam();
    const int level = kxLogLevel();
    kxSetLogLevel(scenario.logLevel);
    std::shared_ptr<CLogWriterInterface> previous = kxGetLogWriter();
    kxSetLogWriter(g_quiet = std::make_shared<QuietLog>());
    auto runOnce = [&](long failAt) {
        g_quiet->folderLeftOut = false;
        failing_alloc::state.failAt = failAt;
        failing_alloc::state.count = 0;
        return scenario.run();
    };
    // Leaks are checked once, after all runs (a check scans the whole heap);
    // leaks found before were reported by an earlier test: every check repeats them.
    const bool leakedBefore = leaksFound();
    runOnce(0);  // first-use allocations (static state) out of the way
    const Steps expected = runOnce(0);
    const long total = failing_alloc::state.count;
    EXPECT_GT(total, 0);
    for (const std::string& step : expected)
        EXPECT_FALSE(failed(step)) << "normal outcome: " << step;
    int faults = 0;
    for (long n = 1; n <= total && faults < 3; ++n) {
        const Steps got = runOnce(n);
        auto differs = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end());
        if (differs.first == got.end() ? differs.second == expected.end() : failed(*differs.first))
            continue;
        ++faults;
        ADD_FAILURE() << "allocation " << n << " of " << total << " failing, steps: " << ::testing::PrintToString(got)
                      << "\nnormal steps: " << ::testing::PrintToString(expected)
                      << "\n(the sanitizer build prints the failing allocation's stack below)";
        failing_alloc::state.trace = true;
        runOnce(n);
        failing_alloc::state.trace = false;
    }
    failing_alloc::state.failAt = 0;
    kxSetLogWriter(previous);
    g_quiet.reset();
    kxSetLogLevel(level);
    EXPECT_FALSE(!leakedBefore && leaksFound()) << "leaks, listed above";
}

// The step of a library call made in a window: "<what> <result>", "failed ..."
// when the result is -1 (the one promised for short memory), or the escaped exception.
template <class Call>
std::string call(const std::string& what, Call library)
{
    int rc = 0;
    std::string escaped = failing_alloc::window([&] { rc = library(); });
    return step(escaped, rc == -1, what + " " + std::to_string(rc));
}

// The office backup set: six subclients with wildcard content, other
// subclients' content nested inside (nodirs), display names and a history.
constexpr unsigned long kNow = 1702000000, kFrom = 1690000000, kBackupSet = 40, kDatabase = 4002;
constexpr int kOfficeAppType = 29;  // case sensitive
const std::string kStorePath = std::string(SUBCLIENTCONF_TEST_DATA) + "/allocfail/office.backupset";

struct OfficeStore {
    OfficeStore() { EXPECT_EQ(kxOpenBackupsetStore(kStorePath.c_str(), nullptr), 0); }
    ~OfficeStore() { kxCloseBackupsetStore(); }
};

std::string configText(SubclientConfSummary& summary)
{
    std::ostringstream text;
    text << summary.getConfigStream(nullptr)->rdbuf();
    return text.str();
}

// The office configuration text at kNow and its application ids, read once.
const std::pair<std::string, std::vector<unsigned long>>& officeSummary()
{
    static const auto summary = [] {
        OfficeStore store;
        ApplicationId backupSet(0, kBackupSet);
        SubclientConfSummary fromStore(backupSet, kNow);
        std::pair<std::string, std::vector<unsigned long>> read;
        EXPECT_EQ(fromStore.lookupAppIds(read.second, nullptr, nullptr), 0);
        read.first = configText(fromStore);
        return read;
    }();
    return summary;
}

// Case sensitive with the store's application type, case insensitive with the default one.
std::unique_ptr<FSSubclientConf> officeConf(bool caseSensitive)
{
    auto conf = std::make_unique<FSSubclientConf>(caseSensitive ? kOfficeAppType : 1);
    TextSummary summary(officeSummary().first, officeSummary().second);
    EXPECT_EQ(conf->load(&summary), 0);
    return conf;
}

// Keeps the lines in a fixed buffer, so that the sink itself allocates nothing.
struct FixedLines : FSCallback {
    int putLine(const char* line) override
    {
        strncat(text, line, sizeof text - strlen(text) - 2);
        strcat(text, "|");
        return 0;
    }
    char text[8192] = "";
};

// The subclient table and every subclient's scan lists, as one step (made outside the windows).
Steps describe(FSSubclientConf& conf)
{
    std::string text = "table";
    for (int n = 1; n <= conf.getNumSubclients(); ++n) {
        FixedLines dirnames, nodirs;
        int d = conf.dirnames(&dirnames, n), o = conf.nodirs(&nodirs, n);
        text += " [" + std::string(conf.numberToName(n)) + "=" + std::to_string(conf.numberToAppId(n)) + " " +
                std::to_string(d) + " " + dirnames.text + " " + std::to_string(o) + " " + nodirs.text + "]";
    }
    return Steps{text};
}

// A load from the summary or the store, in a window, and what it built.
template <class Load>
Steps loaded(Load load, const std::function<Steps(FSSubclientConf&)>& then)
{
    FSSubclientConf conf;
    std::string step = call("load", [&] { return load(conf); });
    return step == "load 0" ? then(conf) : Steps{step};
}

Steps storeOpenAndSummary()
{
    std::string error;
    std::vector<unsigned long> appIds;
    std::optional<ApplicationId> application;
    std::optional<SubclientConfSummary> summary;
    int opened = 0, looked = 0;
    std::string escaped = failing_alloc::window([&] {
        if ((opened = kxOpenBackupsetStore(kStorePath.c_str(), &error)) == 0) {
            summary.emplace(application.emplace(0, 0), kNow);
            looked = summary->lookupAppIds(appIds, nullptr, nullptr);
        }
    });
    kxCloseBackupsetStore();
    if (!escaped.empty() || opened != 0)
        return Steps{step(escaped, error.find("memory") != std::string::npos, "open " + error)};
    std::string outcome = "lookup " + configText(*summary);
    for (unsigned long id : appIds)
        outcome += " " + std::to_string(id);
    return Steps{step("", looked == KX_CONFIG_NO_MEMORY, outcome)};
}

// Basename renderings have no failure result: short memory leaves them empty.
Steps wildcards()
{
    const std::string patternText = "[a-cx]*?\\*.[!0-9]og", otherText = "b*.log", matchText = "*.[lL]o?";
    bool parsed = false, overlaps = false, contains = false;
    int compiled = 0, log = 0, text = 0;
    std::string folded, rendered;
    std::string escaped = failing_alloc::window([&] {
        WCBasename pattern('\\', true), other('\\', true);
        if ((parsed = !pattern.parse(patternText) && !other.parse(otherText))) {
            overlaps = pattern.overlaps(other, false);
            contains = pattern.contains(other, true, 0, 0);
            std::unique_ptr<WCBasename> copy(pattern.createCaseInsensitiveBasename());
            if (copy)
                folded = copy->toUtf8();
            rendered = pattern.toUtf8();
        }
        TPathMatch matcher;
        matcher.caseInsensitive();
        if ((compiled = matcher.compilePattern(matchText, 1, 0)) == 0) {
            log = matcher.matchName("System.LOG");
            text = matcher.matchName("a.txt");
        }
    });
    if (!escaped.empty())
        return Steps{escaped};
    return Steps{step("", !parsed || folded.empty() || rendered.empty(),
                      std::to_string(overlaps) + std::to_string(contains) + " " + folded + " " + rendered),
                 step("", compiled != 0, std::to_string(log) + std::to_string(text))};
}

// Each configuration line inserted in turn: a header line names a subclient, display names are left out.
Steps insertLines(bool caseSensitive)
{
    // Lines that the mode decides: the same path in capitals, the same name in
    // other letters, a duplicate, an ancestor, a line that is not a path.
    const std::string text = officeSummary().first +
                             "/VAR/LOG/APT\n\tSCRATCH\n\tArchive\n/var/lib/postgresql\n"
                             "/mnt/archive/2023\n/mnt/archive\n/mnt/archive/*.tar\\/\\/\nrelative/path\n";
    std::optional<FSSubclientConf> conf;
    // The constructor may throw bad_alloc (then no object exists) or keep FS_NO_MEMORY as its error code.
    Steps steps = {call("constructed", [&] {
        try {
            conf.emplace(caseSensitive ? kOfficeAppType : 1);
            return conf->getErrCode() == FS_NO_MEMORY ? -1 : conf->getErrCode();
        } catch (const std::bad_alloc&) {
            return -1;
        }
    })};
    std::istringstream lines(text);
    for (std::string line; conf && std::getline(lines, line);) {
        if (line.empty() || line[0] == '\x12')
            continue;
        int rc = 0;
        std::string escaped = failing_alloc::window(
            [&] { rc = line[0] == '\t' ? conf->setName(line.c_str() + 1) : conf->setPath(line.c_str()); });
        // Short memory is FS_NO_MEMORY, or FS_INVALID when it is the pattern's parse that fails.
        const int code = conf->getErrCode();
        steps.push_back(step(escaped, rc < 0 && (code == FS_NO_MEMORY || code == FS_INVALID),
                             line + " " + std::to_string(rc) + " code " + std::to_string(code)));
    }
    return steps;
}

// The three scan lists of every subclient, each through a callback in a window.
Steps outputAll(FSSubclientConf& conf)
{
    using Output = int (FSSubclientConf::*)(FSCallback*, int);
    Steps steps;
    for (int n = 1; n <= conf.getNumSubclients(); ++n)
        for (Output output : {Output(&FSSubclientConf::dirnames), Output(&FSSubclientConf::nodirs),
                              Output(&FSSubclientConf::treeOutput)}) {
            FixedLines lines;
            g_quiet->folderLeftOut = false;
            std::string step = call("output", [&] { return (conf.*output)(&lines, n); });
            // A folder whose wildcard content is left out for want of memory is said in an error.
            if (g_quiet->folderLeftOut && !failed(step))
                step = "failed folder: " + step;
            steps.push_back(step + " " + lines.text);
        }
    return steps;
}

// Every subclient's scan lists written to one new file.
Steps toFile(FSSubclientConf& conf)
{
    static const TempDir dir;
    std::string path = dir.file("scan.list");
    int created = 0, written = 0;
    std::string escaped = failing_alloc::window([&] {
        FSFileOutput out;
        created = out.create(&path[0]);
        for (int n = 1; n <= conf.getNumSubclients(); ++n)
            written = std::min({written, conf.dirnames(&out, n), conf.nodirs(&out, n)});
    });
    std::string text = TempDir::read(path);
    remove(path.c_str());
    return Steps{step(escaped, created == -1 || written == -1, std::to_string(created) + "\n" + text)};
}

// Lists created, sorted and merged, a window per library call; then each subclient's entries.
Steps directoryLists(FSSubclientConf& conf)
{
    // The whole tree, then lists that the merge partly finds covered by it.
    const std::pair<const char*, bool> paths[] = {
        {"/", false},        {"/var/log", true},          {"/var/log", false},
        {":0:/home", false}, {"/home/alice/Mail", false}, {";0;4004;/home/alice", false},
        {"\\srv\\db", false}};
    Steps steps;
    std::unique_ptr<FSSubclientDirlist> whole;
    for (const auto& path : paths) {
        FSSubclientDirlist* list = nullptr;
        steps.push_back(call(path.first, [&] {
            if (!(list = conf.createDirlist(path.first, path.second)))
                return -1;
            if (whole)
                return whole->merge(list);  // destroys list
            whole.reset(list);
            return whole->sort();
        }));
    }
    std::string walk = "walk";
    for (int n = 1; whole && n <= conf.getNumSubclients(); ++n) {
        FSSubclientDir* dir = nullptr;
        for (int rc = whole->getFirst(n, &dir); rc == 0 && dir; rc = whole->getNext(&dir))
            walk += std::string(" ") + dir->name + ":" + std::to_string(dir->toTime);
        walk += " |";
    }
    steps.push_back(walk);
    return steps;
}

// Every subclient's answer for each path, then the pattern tests, a step per call.
Steps classify(FSSubclientConf& conf)
{
    Steps steps;
    for (const char* path :
         {"/home/bob/notes.txt", "/HOME/Bob/notes.txt", "/home/alice/Downloads/setup.iso", "/var/log/syslog.log",
          "/var/log/apt/history.log", "/srv/db/archive/2023/x", "/srv/db/y.dbf", "/opt/mysql/ibdata1",
          "/home/carol/Projects/web/index.html", "/etc/passwd", "\\tmp\\x",
          "/data/projects/2023/q4/reports/final/a.pdf", "/opt/application-server/logs/server.log.1",
          "/home/erin/Documents/Correspondence-2023/drafts-not-for-backup/letter.odt",
          "/var/lib/mysql-cluster-data/node-07/ib"})
        for (int n = 1; n <= conf.getNumSubclients(); ++n)
            steps.push_back(call(path, [&] { return conf.pathTest(path, n); }));
    for (const auto& pair :
         {std::make_pair("/var/log", "/var/log/*.log"), std::make_pair("/home/*/Mail", "/home/alice/Mail/x")}) {
        steps.push_back(call(pair.first, [&] { return conf.dirnameTest(pair.first, pair.second, '/', true); }));
        steps.push_back(call(pair.first, [&] { return conf.completelyContains(pair.first, pair.second, '/', true); }));
    }
    return steps;
}

// A wildcard line and a literal one carried over to new places.
Steps replay(FSSubclientConf& source)
{
    Steps steps;
    for (const auto& move :
         {std::make_pair("/var/log/*.log", "/var/log/*.txt"), std::make_pair("/srv/db/archive", "/srv/archive")}) {
        FSSubclientConf target(kOfficeAppType);
        steps.push_back(call("replay", [&] { return source.replay(&target, move.first, move.second); }));
        steps.push_back(describe(target)[0]);
    }
    return steps;
}

// A folder tree, made once, in which ifind mode expands wildcard content; nodirs are written as patterns.
std::unique_ptr<FSSubclientConf> ifindConf()
{
    static const TempDir dir;
    static const std::string r = [] {
        for (const char* name :
             {"var/", "var/log/", "var/log/syslog.log", "var/log/kern.log", "var/log/app-1.txt", "var/log/app-22.txt",
              "var/log/apt/", "var/tmp/", "var/tmp/a", "var/tmp/[b]", "home/", "home/alice/", "home/alice/Mail/",
              "home/bob/", "home/bob/Mail/", "srv/", "srv/db/", "srv/db/x.dbf", "srv/db/y.DBF"})
            dir.make(name);
        return dir.path();
    }();
    auto conf = std::make_unique<FSSubclientConf>();
    TextSummary summary("\tdefault\n" + r + "\n\tLogs\n" + r + "/var/log/*.log\\/\\/\n" + r +
                            "/var/log/app-?.txt\\/\\/\n\tHome\n" + r + "/home/*/Mail\\/\\/\n\tScratch\n" + r +
                            "/var/tmp/*\\/\\/\n" + r + "/var/log/kern.log\n\tDatabase\n" + r + "/srv/db/*.dbf\\/\\/\n" +
                            r + "/srv/db/x[1]*\n",
                        {1, 2, 3, 4, 5});
    EXPECT_EQ(conf->load(&summary), 0);
    conf->setIfindMode(true);
    return conf;
}

// A duplicate line (tolerated, raised as an event) and an extra subclient.
Steps summaryLoad()
{
    std::vector<unsigned long> ids = officeSummary().second;
    ids.push_back(4099);
    TextSummary summary(officeSummary().first + "\tExtra\n/var/lib/postgresql\n/mnt/extra\n\x12"
                                                "Extra disk\n",
                        ids);
    return loaded([&](FSSubclientConf& conf) { return conf.load(&summary); }, describe);
}

// Loads of the store's backup set and of its subclient Database alone (as default).
Steps storeLoads(bool history)
{
    OfficeStore store;
    Steps steps;
    for (unsigned long appId : {kDatabase, kBackupSet}) {
        SubclientIdFromName ids;
        Steps one = loaded(
            [&](FSSubclientConf& conf) {
                ApplicationId application(0, appId);
                return history ? conf.load(&application, kNow, &ids, kFrom)
                               : conf.load(&application, kNow, appId == kDatabase);
            },
            // A path that was content during the history window still counts.
            history && appId == kBackupSet ? classify : describe);
        steps.insert(steps.end(), one.begin(), one.end());
    }
    return steps;
}

const Scenario kScenarios[] = {
    {"StoreOpenAndSummary", 1, storeOpenAndSummary},
    {"Wildcards", 1, wildcards},
    // With every diagnostic on: a record that cannot be written must not fail an insertion.
    {"InsertCaseSensitive", 3, [] { return insertLines(true); }},
    {"InsertCaseInsensitive", 3, [] { return insertLines(false); }},
    {"SummaryLoad", 3, summaryLoad},
    {"SummaryLoadQuiet", 0, summaryLoad},
    {"StoreLoad", 1, [] { return storeLoads(false); }},
    {"HistoryLoadAndPathTest", 1, [] { return storeLoads(true); }},
    // pathTest keeps its list between calls: each run classifies with a fresh configuration.
    {"PathTestCaseInsensitive", 1, [] { return classify(*officeConf(false)); }},
    {"Replay", 1, [] { return replay(*officeConf(true)); }},
    {"ScanListsCaseSensitive", 1, [] { return outputAll(*officeConf(true)); }},
    {"ScanListsCaseInsensitive", 1, [] { return outputAll(*officeConf(false)); }},
    {"ScanListsToFile", 1, [] { return toFile(*officeConf(true)); }},
    {"IfindScanLists", 1, [] { return outputAll(*ifindConf()); }},
    {"DirectoryListsCaseSensitive", 1, [] { return directoryLists(*officeConf(true)); }},
    {"DirectoryListsCaseInsensitive", 1, [] { return directoryLists(*officeConf(false)); }},
};

INSTANTIATE_TEST_SUITE_P(Scenarios, AllocationFailure, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; });

}  // namespace
