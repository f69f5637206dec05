// list: each subclient's scan start points and nodirs, as the scan gets them.
#include "Output.h"
#include "Quoting.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

// In ifind mode literal characters of nodir lines are escaped by the other slash.
char escapeOf(FSSubclientConf& conf)
{
    return conf.getDelim() == '\\' ? '/' : '\\';
}

// An ifind nodir line with a pattern character that is not escaped is wildcard content.
bool isWildcardNodir(const std::string& line, char escape)
{
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == escape)
            ++i;
        else if (strchr("*?[", line[i]))
            return true;
    }
    return false;
}

// The configuration again with every content line below --root, so that the
// library expands wildcard content against the folders there; its scan lines
// come back without the root. Nodirs and the default subclient's start points
// do not depend on the disk and are taken from the configuration itself.
class RerootedLists {
public:
    RerootedLists(const LoadedConfiguration& loaded, const std::string& root)
        : conf_(std::make_unique<FSSubclientConf>())
    {
        root_ = std::filesystem::absolute(root).lexically_normal().string();
        while (!root_.empty() && root_.back() == '/')
            root_.pop_back();
        if (loaded.conf->isCaseSensitive())
            conf_->caseSensitive();
        else
            conf_->caseInsensitive();
        conf_->setIfindMode(true);
        for (const SubclientInfo& info : loaded.subclients) {
            if (info.number == 1)
                continue;
            conf_->setName(info.name.c_str());
            for (const ContentLine& line : info.content)
                conf_->setPath((line.text.compare(0, 1, "/") == 0 ? root_ + line.text : line.text).c_str());
        }
    }

    FSSubclientConf& conf() { return *conf_; }

    std::string withoutRoot(const std::string& line) const
    {
        size_t at = line.compare(0, 1, "+") == 0 ? 1 : 0;
        bool below = !root_.empty() && line.compare(at, root_.size(), root_) == 0 &&
                     line.compare(at + root_.size(), 1, "/") == 0;
        return below ? line.substr(0, at) + line.substr(at + root_.size()) : line;
    }

private:
    std::unique_ptr<FSSubclientConf> conf_;
    std::string root_;  // absolute, without a trailing slash
};

struct ScanLists {
    std::vector<std::string> scan;
    std::vector<std::string> nodirs;
};

class ListCommand : public Command {
public:
    void define(CLI::App& program) override
    {
        app_ = program.add_subcommand("list", "Each subclient's scan start points and nodirs");
        addLoadOptions(*app_, options_, false);
        addPartialFlag(*app_, options_);
        app_->add_flag("--tree", tree_, "Every content path of the subclient, nested ones too, as scan lines");
        CLI::Option* ifind = app_->add_flag("--ifind", ifind_, "Expand wildcard content against the folders on disk");
        app_->add_option("--root", root_,
                         "With --ifind, expand below this folder as if it were / (to try a copied tree)")
            ->needs(ifind);
        addJsonFlag(*app_, json_);
    }

    int run() override
    {
        LibraryLog log;
        LoadedConfiguration loaded = loadAndWarn(options_, log);
        loaded.conf->setIfindMode(ifind_);
        if (!root_.empty())
            rerooted_ = std::make_unique<RerootedLists>(loaded, root_);
        Json doc = documentHead(loaded);
        doc["mode"] = tree_ ? "tree" : "dirnames";
        doc["ifind"] = ifind_;
        doc["subclients"] = Json::array();
        for (int number : loaded.chosenNumbers()) {
            ScanLists lists = collect(loaded, number);
            if (json_)
                doc["subclients"].push_back({{"number", number},
                                             {"name", loaded.nameOf(number)},
                                             {"scan", lists.scan},
                                             {"nodirs", lists.nodirs}});
            else
                printText(loaded, number, lists);
        }
        if (json_)
            printJson(doc);
        return TOOL_OK;
    }

private:
    ScanLists collect(const LoadedConfiguration& loaded, int number) const
    {
        LineCollector scan;
        LineCollector nodirs;
        FSSubclientConf& conf = *loaded.conf;
        FSSubclientConf& scanConf = rerooted_ && number != 1 ? rerooted_->conf() : conf;
        int rc = tree_ ? scanConf.treeOutput(&scan, number) : scanConf.dirnames(&scan, number);
        if (rc >= 0)
            rc = conf.nodirs(&nodirs, number);
        if (rc < 0)
            throw ToolError(TOOL_NEGATIVE, filePlace(loaded, 0) + "cannot list subclient " + loaded.nameOf(number));
        if (rerooted_)
            for (std::string& line : scan.lines)
                line = rerooted_->withoutRoot(line);
        // ifind nodirs are patterns with escaped literals: the marker keeps a wildcard one from reading as a name.
        for (std::string& line : nodirs.lines)
            if (ifind_ && isWildcardNodir(line, escapeOf(conf)))
                line += kWildcardMarker;
        return {scan.lines, nodirs.lines};
    }

    void printText(const LoadedConfiguration& loaded, int number, const ScanLists& lists) const
    {
        printf("%s\n", subclientLabel(loaded, number).c_str());
        for (const std::string& line : lists.scan)
            printf("  %s %s\n", tree_ ? "tree " : "scan ", quoted(line).c_str());
        for (const std::string& line : lists.nodirs)
            printf("  nodir %s\n", quoted(line).c_str());
    }

    LoadOptions options_;
    bool tree_ = false;
    bool ifind_ = false;
    std::string root_;
    std::unique_ptr<RerootedLists> rerooted_;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> makeListCommand()
{
    return std::make_unique<ListCommand>();
}
