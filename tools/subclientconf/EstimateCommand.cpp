// estimate: what one subclient's scan would back up, walking the real file system.
#include "Output.h"
#include "Progress.h"
#include "Walker.h"

#include <cstdio>

namespace {

const char* typeName(char type)
{
    switch (type) {
    case 'f': return "file";
    case 'd': return "folder";
    case 'l': return "link";
    default: return "other";
    }
}

class EstimateCommand : public Command {
public:
    void define(CLI::App& program) override
    {
        app_ = program.add_subcommand("estimate",
                                      "Walk the file system as the scan of --subclient would and list what it backs up");
        addLoadOptions(*app_, options_, true);
        addPartialFlag(*app_, options_);
        app_->add_flag("--summary", summary_, "Only the counts of files, folders, links and bytes");
        app_->add_flag("--cross-mounts", walk_.crossMounts, "Descend into other file systems below a start point");
        app_->add_option("--root", walk_.root, "Walk below this folder as if it were / (to try a copied tree)");
        addJsonFlag(*app_, json_);
    }

    int run() override
    {
        LibraryLog log;
        LoadedConfiguration loaded = loadAndWarn(options_, log);
        FSSubclientConf& conf = *loaded.conf;
        int number = loaded.selected;
        LineCollector starts;
        LineCollector nodirs;
        if (conf.dirnames(&starts, number) < 0 || conf.nodirs(&nodirs, number) < 0)
            throw ToolError(TOOL_NEGATIVE, filePlace(loaded, 0) + "cannot list subclient " + options_.subclient);
        walk_.caseSensitive = conf.isCaseSensitive();
        Json entries = Json::array();
        Progress progress;
        ScanWalker* walkerAddress = nullptr;
        ScanWalker walker(
            walk_,
            [&](const WalkItem& item) {
                if (json_ && !summary_)
                    entries.push_back({{"path", item.path}, {"type", typeName(item.type)}, {"size", item.size},
                                       {"target", item.target}});
                else if (!json_ && !summary_)
                    printItem(item);
                checkOutput();
                progress.update(walkerAddress->totals());
            },
            [&](const WalkFailure& failure) {
                progress.clear();
                fflush(stdout);
                fprintf(stderr, "subclientconf: cannot read %s: %s (skipped)\n", failure.path.c_str(),
                        failure.error.c_str());
            });
        walkerAddress = &walker;
        for (const std::string& line : nodirs.lines)
            walker.addNodir(line);
        for (const std::string& line : starts.lines)
            walker.walk(line);
        progress.clear();
        report(loaded, number, walker, entries);
        return walker.failures().empty() ? TOOL_OK : TOOL_SKIPPED;
    }

private:
    static void printItem(const WalkItem& item)
    {
        if (item.type == 'd')
            printf("%s%s\n", item.path.c_str(), item.path == "/" ? "" : "/");
        else if (item.type == 'l')
            printf("%s -> %s\n", item.path.c_str(), item.target.c_str());
        else
            printf("%s\n", item.path.c_str());
    }

    void report(const LoadedConfiguration& loaded, int number, const ScanWalker& walker, const Json& entries) const
    {
        const WalkTotals& t = walker.totals();
        if (!json_) {
            if (summary_)
                printf("%s: %llu files, %llu folders, %llu links, %llu other, %llu bytes, %llu skipped%s\n",
                       loaded.nameOf(number).c_str(), ull(t.files), ull(t.folders), ull(t.links), ull(t.others),
                       ull(t.bytes), ull(walker.failures().size()),
                       walker.interrupted() ? " (partial: interrupted)" : "");
            return;
        }
        Json failures = Json::array();
        for (const WalkFailure& failure : walker.failures())
            failures.push_back({{"path", failure.path}, {"error", failure.error}});
        Json doc = documentHead(loaded);
        doc["subclient"] = loaded.nameOf(number);
        doc["number"] = number;
        doc["root"] = walk_.root;
        doc["crossMounts"] = walk_.crossMounts;
        doc["entries"] = entries;
        doc["totals"] = {{"files", t.files}, {"folders", t.folders}, {"links", t.links}, {"other", t.others},
                         {"bytes", t.bytes}};
        doc["unreadable"] = failures;
        doc["complete"] = !walker.interrupted();
        printJson(doc);
    }

    static unsigned long long ull(uint64_t n) { return static_cast<unsigned long long>(n); }

    LoadOptions options_;
    WalkOptions walk_;
    bool summary_ = false;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> makeEstimateCommand()
{
    return std::make_unique<EstimateCommand>();
}
