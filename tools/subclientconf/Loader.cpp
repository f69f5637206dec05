#include "Loader.h"

#include "Problems.h"
#include "Quoting.h"
#include "platform/ApplicationId.h"
#include "platform/BackupsetStore.h"
#include "wildcard/WCSubclients.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <set>
#include <utility>

namespace {

const char* const kStoreSignature = "#subclientconf-backupset";
// Some editors start a UTF-8 text with this mark; the store reader passes over it too.
const char* const kByteOrderMark = "\xEF\xBB\xBF";
// The test console reads definition lines into 1024 bytes with the terminating zero.
const size_t kDefinitionLineLimit = 1023;

std::vector<std::string> readLines(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ToolError(TOOL_USAGE, file + ": cannot open: " + strerror(errno));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    if (in.bad())
        throw ToolError(TOOL_USAGE, file + ": cannot read: " + strerror(errno));
    if (!lines.empty() && lines[0].compare(0, strlen(kByteOrderMark), kByteOrderMark) == 0)
        lines[0].erase(0, strlen(kByteOrderMark));
    return lines;
}

ToolError noSubclientNamed(const std::string& file, const std::string& name, bool caseSensitive)
{
    return ToolError(TOOL_USAGE, file + ": no subclient named '" + name + "'" +
                                     (caseSensitive ? " (this configuration compares names case-sensitively)" : ""));
}

// The store's subclient of that name, compared as the library compares names:
// ignoring case unless the backup set's application type makes the
// configuration case-sensitive, which a configuration of that type tells.
const BackupsetStoreSubclient& storeSubclientNamed(const BackupsetStore& store, const std::string& file,
                                                   const std::string& name)
{
    bool caseSensitive = FSSubclientConf(store.appType).isCaseSensitive();
    for (const BackupsetStoreSubclient& sc : store.subclients)
        if (caseSensitive ? StringsEqual(sc.name, name) : NoCaseStringsEqual(sc.name, name))
            return sc;
    throw noSubclientNamed(file, name, caseSensitive);
}

SubclientNamer namerFor(const FSSubclientConf& constConf)
{
    FSSubclientConf* conf = const_cast<FSSubclientConf*>(&constConf);
    return [conf](int number) {
        const char* name = conf->numberToName(number);
        return name ? std::string(name) : "#" + std::to_string(number);
    };
}

// A file in the test console's format: a TAB line names a subclient, any other line is its content.
class DefinitionLoader {
public:
    DefinitionLoader(LoadedConfiguration& target, ProblemCollector& reported) : target_(target), reported_(reported) {}

    void load(const std::vector<std::string>& lines)
    {
        target_.subclients.push_back({1, target_.conf->getDefaultName(), {}});
        for (size_t i = 0; i < lines.size(); ++i) {
            int line = static_cast<int>(i + 1);
            if (lines[i].size() > kDefinitionLineLimit)
                problem(line, lines[i], "invalid", "line longer than 1023 characters");
            else if (!lines[i].empty() && lines[i][0] == '\t')
                addSubclient(line, lines[i].substr(1));
            else
                addContent(line, lines[i]);
        }
    }

private:
    void addSubclient(int line, const std::string& name)
    {
        current_ = 0;
        if (target_.conf->setName(name.c_str()) < 0) {
            LoadProblem p{"rejected", "duplicate-name",
                          line,       "",
                          name,       "subclient name already used (names compare ignoring case)"};
            target_.problems.push_back(p);
            return;
        }
        current_ = target_.conf->getNumSubclients();
        if (current_ > static_cast<int>(target_.subclients.size()))
            target_.subclients.push_back({current_, name, {}});
    }

    void addContent(int line, const std::string& text)
    {
        if (current_ == 0) {
            problem(line, text, "skipped", "its subclient line was rejected");
            return;
        }
        if (text.empty()) {
            problem(line, text, "invalid", "empty line: not a valid path");
            return;
        }
        size_t mark = reported_.mark();
        int rc = target_.conf->setPath(text.c_str());
        bool refused = false;
        for (LoadProblem& p : explainProblems(reported_.since(mark), namerFor(*target_.conf))) {
            p.line = line;
            if (p.kind != "overlap") {
                p.subclient = target_.nameOf(current_);
                p.content = text;
                refused = refused || p.kind == "rejected";
            }
            if (current_ == 1 && p.reason == "ancestor")
                p.message = "content before the first subclient line: the default subclient holds everything already";
            target_.problems.push_back(p);
        }
        if (rc < 0 && !refused) {
            const bool outOfMemory = target_.conf->getErrCode() == FS_NO_MEMORY;
            problem(line, text, outOfMemory ? "no-memory" : "other", outOfMemory ? "out of memory" : "rejected");
        }
        if (rc == 0)
            target_.subclients[current_ - 1].content.push_back({line, text, ""});
    }

    void problem(int line, const std::string& text, const char* reason, const char* message)
    {
        std::string subclient = current_ > 0 ? target_.nameOf(current_) : "";
        target_.problems.push_back({"rejected", reason, line, subclient, text, message});
    }

    LoadedConfiguration& target_;
    ProblemCollector& reported_;
    int current_ = 1;  // content before the first subclient line goes to the default subclient
};

// A backup-set store: the library loads it through the configuration service.
class StoreLoader {
public:
    StoreLoader(LoadedConfiguration& target, LibraryLog& log, ProblemCollector& reported,
                const std::vector<std::string>& lines)
        : target_(target), log_(log), reported_(reported), lines_(lines)
    {}

    void load(const LoadOptions& options)
    {
        std::string error;
        if (kxOpenBackupsetStore(target_.file.c_str(), &error) != 0)
            throw ToolError(TOOL_USAGE, error);
        store_ = kxCurrentBackupsetStore();
        size_t records = log_.recordMark();
        size_t mark = reported_.mark();
        int rc = loadWhole(options);
        problems_ = explainProblems(reported_.since(mark), namerFor(*target_.conf));
        // A refusal the load did not pass over ended it.
        const bool stoppedEarly =
            std::any_of(problems_.begin(), problems_.end(), [](const LoadProblem& p) { return p.kind == "rejected"; });
        target_.complete = rc == 0 && !stoppedEarly;
        if (rc != 0 && !stoppedEarly)
            throw ToolError(TOOL_USAGE, target_.file + ": cannot load: " + log_.lastTextSince(records));
        describeSubclients();
        std::set<std::pair<int, std::string>> placed;
        for (LoadProblem& p : problems_)
            locate(p, placed);
        std::stable_sort(problems_.begin(), problems_.end(), [](const LoadProblem& a, const LoadProblem& b) {
            return a.line != 0 && (b.line == 0 || a.line < b.line);
        });
        target_.problems.insert(target_.problems.end(), problems_.begin(), problems_.end());
    }

private:
    int loadWhole(const LoadOptions& options)
    {
        if (!options.single) {
            ApplicationId backupSet(0, 0);
            return target_.conf->load(&backupSet, target_.at);
        }
        ApplicationId subclient(0, storeSubclientNamed(*store_, target_.file, options.subclient).appId);
        return target_.conf->load(&subclient, target_.at, true);
    }

    // Each loaded subclient with the store's content present at the time that the library accepted.
    void describeSubclients()
    {
        for (int n = 1; n <= target_.conf->getNumSubclients(); ++n) {
            SubclientInfo info{n, target_.conf->numberToName(n), {}};
            const BackupsetStoreSubclient* sc = store_->findSubclientByName(info.name);
            for (size_t i = 0; sc && i < store_->content.size(); ++i) {
                const BackupsetStoreContent& entry = store_->content[i];
                if (entry.subclientId == sc->id && BackupsetStore::isPresent(entry, target_.at) &&
                    !rejected(entry.path))
                    info.content.push_back({lineOfContent(i), entry.path, entry.displayName});
            }
            target_.subclients.push_back(info);
        }
    }

    bool rejected(const std::string& text) const
    {
        for (const LoadProblem& p : problems_)
            if (p.kind == "rejected" && p.content == text)
                return true;
        return false;
    }

    // The file line of the index-th content entry: content lines are stored in file order.
    int lineOfContent(size_t index) const
    {
        size_t seen = 0;
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i].compare(0, 8, "content ") == 0 && seen++ == index)
                return static_cast<int>(i + 1);
        }
        return 0;
    }

    // The line and subclient of the problem: the first entry present at the time
    // whose path (with or without its wildcard marker) is the problem's text,
    // preferring one of the problem's subclient, and not given the same reason before.
    void locate(LoadProblem& problem, std::set<std::pair<int, std::string>>& placed) const
    {
        for (bool anySubclient : {false, true}) {
            for (size_t i = 0; i < store_->content.size(); ++i) {
                const BackupsetStoreContent& entry = store_->content[i];
                const BackupsetStoreSubclient* owner = store_->findSubclient(entry.subclientId);
                std::string bare;
                isWildCardContent(entry.path, bare);
                bool ownerFits =
                    anySubclient || problem.subclient.empty() || (owner && owner->name == problem.subclient);
                if (BackupsetStore::isPresent(entry, target_.at) && ownerFits &&
                    (entry.path == problem.content || bare == problem.content) &&
                    placed.insert({lineOfContent(i), problem.reason}).second) {
                    problem.line = lineOfContent(i);
                    if (problem.subclient.empty() && owner)
                        problem.subclient = owner->name;
                    return;
                }
            }
        }
    }

    LoadedConfiguration& target_;
    LibraryLog& log_;
    ProblemCollector& reported_;
    const std::vector<std::string>& lines_;
    std::shared_ptr<const BackupsetStore> store_;
    std::vector<LoadProblem> problems_;
};

bool isStoreText(const std::vector<std::string>& lines)
{
    return !lines.empty() && lines[0].compare(0, strlen(kStoreSignature), kStoreSignature) == 0;
}

// What no definition file holds: a NUL byte (a binary file), or the store
// signature below line 1 (a store that would otherwise be read line by line
// as rejected content).
void refuseOddDefinitions(const std::string& file, const std::vector<std::string>& lines)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string place = file + ":" + std::to_string(i + 1) + ": ";
        if (lines[i].find('\0') != std::string::npos)
            throw ToolError(TOOL_USAGE, place + "not a text file (NUL byte)");
        if (lines[i].compare(0, strlen(kStoreSignature), kStoreSignature) == 0)
            throw ToolError(TOOL_USAGE, place + "the store signature must be the first line");
    }
}

void selectSubclient(LoadedConfiguration& loaded, const std::string& name)
{
    if (name.empty())
        return;
    loaded.selected = loaded.conf->nameToNumber(name.c_str());
    if (loaded.selected < 1)
        throw noSubclientNamed(loaded.file, name, loaded.conf->isCaseSensitive());
}

}  // namespace

const std::string& LoadedConfiguration::nameOf(int number) const
{
    static const std::string unknown;
    return number >= 1 && number <= static_cast<int>(subclients.size()) ? subclients[number - 1].name : unknown;
}

std::vector<int> LoadedConfiguration::chosenNumbers() const
{
    if (selected > 0)
        return {selected};
    std::vector<int> all;
    for (const SubclientInfo& info : subclients)
        all.push_back(info.number);
    return all;
}

LoadedConfiguration loadConfiguration(const LoadOptions& options, LibraryLog& log)
{
    if (options.single && options.subclient.empty())
        throw ToolError(TOOL_USAGE, "--single needs --subclient NAME");
    LoadedConfiguration loaded;
    loaded.file = options.file;
    std::vector<std::string> lines = readLines(options.file);
    loaded.isStore = isStoreText(lines);
    loaded.conf = std::make_unique<FSSubclientConf>();
    ProblemCollector reported;
    // The configuration reports to the collector while it loads, and to nobody afterwards.
    struct Reporting {
        FSSubclientConf& conf;
        ~Reporting() { conf.setProblemSink(nullptr); }
    } reporting{*loaded.conf};
    loaded.conf->setProblemSink(&reported);
    if (loaded.isStore) {
        loaded.at = options.at.empty() ? static_cast<uint32_t>(time(nullptr)) : parseTime(options.at);
        StoreLoader(loaded, log, reported, lines).load(options);
    } else {
        if (!options.at.empty())
            throw ToolError(TOOL_USAGE, "--at applies to backup-set store files only");
        if (options.single)
            throw ToolError(TOOL_USAGE, "--single applies to backup-set store files only");
        refuseOddDefinitions(options.file, lines);
        if (lines.empty())
            fprintf(stderr, "subclientconf: %s: empty file: no subclients, the default subclient holds everything\n",
                    withoutControls(options.file).c_str());
        DefinitionLoader(loaded, reported).load(lines);
        // Grown by doubling, the lists of a large file would keep tens of MB unused while queries run.
        for (SubclientInfo& info : loaded.subclients)
            info.content.shrink_to_fit();
    }
    selectSubclient(loaded, options.subclient);
    return loaded;
}
