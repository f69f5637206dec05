// estimate: what one subclient's scan would back up, walking the real file system.
#include "Output.h"
#include "Progress.h"
#include "Quoting.h"
#include "Walker.h"

#include <cstdio>

namespace {

const char* typeName(char type)
{
    switch (type) {
    case 'f':
        return "file";
    case 'd':
        return "folder";
    case 'l':
        return "link";
    default:
        return "other";
    }
}

// Prints the entries of a walk as they come, in the form the options chose.
class EntryPrinter {
public:
    enum Form { kText, kNul, kJson, kJsonLines };

    // summary: no entries, only the counts.
    EntryPrinter(Form form, bool summary) : form_(form), summary_(summary), stream_(form == kJsonLines) {}

    void begin(const Json& head)
    {
        if (!isJson())
            return;
        for (auto member = head.begin(); member != head.end(); ++member)
            stream_.member(member.key(), *member);
        stream_.beginArray("entries");
    }

    void entry(const WalkItem& item)
    {
        if (summary_)
            return;
        if (isJson())
            stream_.element(
                {{"path", item.path}, {"type", typeName(item.type)}, {"size", item.size}, {"target", item.target}});
        else
            printText(item);
    }

    void end(const std::string& name, const ScanWalker& walker)
    {
        const WalkTotals& t = walker.totals();
        if (summary_ && !isJson())
            printf("%s: %llu files, %llu folders, %llu links, %llu other, %llu bytes, %llu skipped%s\n",
                   quoted(name).c_str(), ull(t.files), ull(t.folders), ull(t.links), ull(t.others), ull(t.bytes),
                   ull(walker.failures().size()), walker.interrupted() ? " (partial: interrupted)" : "");
        if (!isJson())
            return;
        Json failures = Json::array();
        for (const WalkFailure& failure : walker.failures())
            failures.push_back({{"path", failure.path}, {"error", failure.error}});
        stream_.endArray();
        stream_.member(
            "totals",
            {{"files", t.files}, {"folders", t.folders}, {"links", t.links}, {"other", t.others}, {"bytes", t.bytes}});
        stream_.member("unreadable", failures);
        stream_.member("complete", !walker.interrupted());
        stream_.end();
    }

private:
    bool isJson() const { return form_ == kJson || form_ == kJsonLines; }

    void printText(const WalkItem& item) const
    {
        // -z: the bytes as they are; otherwise a name with control characters is quoted.
        auto shown = [&](const std::string& text) { return form_ == kNul ? text : quoted(text); };
        std::string line = shown(item.path);
        if (item.type == 'd' && item.path != "/")
            line += "/";
        else if (item.type == 'l')
            line += " -> " + shown(item.target);
        fputs(line.c_str(), stdout);
        fputc(form_ == kNul ? '\0' : '\n', stdout);
    }

    static unsigned long long ull(uint64_t n) { return static_cast<unsigned long long>(n); }

    Form form_;
    bool summary_;
    JsonStream stream_;
};

class EstimateCommand : public Command {
public:
    void define(CLI::App& program) override
    {
        app_ = program.add_subcommand(
            "estimate", "Walk the file system as the scan of --subclient would and list what it backs up");
        addLoadOptions(*app_, options_, true);
        addPartialFlag(*app_, options_);
        app_->add_flag("--summary", summary_, "Only the counts of files, folders, links, bytes and what was skipped");
        app_->add_flag("--cross-mounts", walk_.crossMounts, "Descend into other file systems below a start point");
        app_->add_option("--root", walk_.root, "Walk below this folder as if it were / (to try a copied tree)");
        app_->add_flag("-z", nul_, "End each entry with NUL instead of a line feed, names as they are");
        CLI::Option* json = addJsonFlag(*app_, json_);
        app_->add_flag("--json-lines", jsonLines_,
                       "JSON Lines: the document head, one object an entry, then the totals (for large walks)")
            ->excludes(json);
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
        EntryPrinter printer(form(), summary_);
        printer.begin(head(loaded, number));
        Progress progress;
        ScanWalker* walkerAddress = nullptr;
        ScanWalker walker(
            walk_,
            [&](const WalkItem& item) {
                printer.entry(item);
                checkOutput();
                progress.update(walkerAddress->totals());
            },
            [&](const WalkFailure& failure) {
                progress.clear();
                fflush(stdout);
                fprintf(stderr, "subclientconf: %s: %s (skipped)\n", withoutControls(failure.path).c_str(),
                        failure.error.c_str());
            });
        walkerAddress = &walker;
        for (const std::string& line : nodirs.lines)
            walker.addNodir(line);
        for (const std::string& line : starts.lines)
            walker.walk(line);
        progress.clear();
        printer.end(loaded.nameOf(number), walker);
        return walker.failures().empty() ? TOOL_OK : TOOL_SKIPPED;
    }

private:
    EntryPrinter::Form form() const
    {
        if (jsonLines_)
            return EntryPrinter::kJsonLines;
        if (json_)
            return EntryPrinter::kJson;
        return nul_ ? EntryPrinter::kNul : EntryPrinter::kText;
    }

    Json head(const LoadedConfiguration& loaded, int number) const
    {
        Json doc = documentHead(loaded);
        doc["subclient"] = loaded.nameOf(number);
        doc["number"] = number;
        doc["root"] = walk_.root;
        doc["crossMounts"] = walk_.crossMounts;
        return doc;
    }

    LoadOptions options_;
    WalkOptions walk_;
    bool summary_ = false;
    bool nul_ = false;
    bool json_ = false;
    bool jsonLines_ = false;
};

}  // namespace

std::unique_ptr<Command> makeEstimateCommand()
{
    return std::make_unique<EstimateCommand>();
}
