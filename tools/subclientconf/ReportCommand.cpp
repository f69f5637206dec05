// report: where the bytes go, per subclient and per folder, from one walk of
// the file system.
#include "Quoting.h"
#include "Report.h"
#include "ReportWalker.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

class ReportCommand : public Command {
public:
    void define(CLI::App& program) override
    {
        app_ = program.add_subcommand(
            "report", "Walk the file system once and show how many bytes each subclient backs up, and where");
        app_->set_help_flag("--help", "Print this help message and exit");
        app_->add_option("FILE", options_.file, "Subclient definition file or backup-set store file")->required();
        app_->add_option("--at", options_.at, "Store files: the point in time, as for the other subcommands");
        addPartialFlag(*app_, options_);
        app_->add_option("--root", settings_.root, "Walk below this folder as if it were / (to try a copied tree)");
        app_->add_option("--depth", settings_.depth, "Folders shown down to this depth (/ is 0)")
            ->capture_default_str();
        app_->add_option("--top", settings_.top, "Largest folders shown per subclient")->capture_default_str();
        app_->add_flag("-h", settings_.human, "Sizes as people read them (KiB, MiB, GiB)");
        app_->add_option("--html", html_, "Also write a page with a treemap of the folders to this file");
        app_->add_flag("--cross-mounts", settings_.crossMounts, "Descend into other file systems");
        app_->add_option("--jobs", walk_.jobs, "Threads reading folders (default: the number of cores)")
            ->check(CLI::Range(1u, 256u));
        addJsonFlag(*app_, json_);
        walk_.jobs = std::max(1u, std::thread::hardware_concurrency());
    }

    int run() override
    {
        LibraryLog log;
        LoadedConfiguration loaded = loadAndWarn(options_, log);
        ScanOwnership ownership(loaded);
        ReportTally tally(loaded.conf->getNumSubclients(), settings_.depth, settings_.top);
        walk_.root = settings_.root;
        walk_.crossMounts = settings_.crossMounts;
        bool complete = ReportWalker(ownership, tally, walk_).walk();
        ReportData data(loaded, ownership, tally, settings_, complete);
        for (const WalkFailure& failure : tally.failures())
            fprintf(stderr, "subclientconf: %s: %s (skipped)\n", withoutControls(failure.path).c_str(),
                    failure.error.c_str());
        Json document = reportJson(data);
        if (!html_.empty() && !writeReportHtml(document, html_))
            throw ToolError(TOOL_USAGE, "cannot write " + html_ + ": " + strerror(errno));
        if (json_)
            printJson(document);
        else
            printReportText(data);
        return tally.failures().empty() ? TOOL_OK : TOOL_SKIPPED;
    }

private:
    LoadOptions options_;
    ReportSettings settings_;
    ReportWalkOptions walk_;
    std::string html_;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> makeReportCommand()
{
    return std::make_unique<ReportCommand>();
}
