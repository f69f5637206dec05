// list: each subclient's scan start points and nodirs, as the scan gets them.
#include "Output.h"
#include "Quoting.h"

#include <cstdio>

namespace {

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
        app_->add_flag("--ifind", ifind_, "Expand wildcard content against the folders on disk");
        addJsonFlag(*app_, json_);
    }

    int run() override
    {
        LibraryLog log;
        LoadedConfiguration loaded = loadAndWarn(options_, log);
        loaded.conf->setIfindMode(ifind_);
        Json doc = documentHead(loaded);
        doc["mode"] = tree_ ? "tree" : "dirnames";
        doc["ifind"] = ifind_;
        doc["subclients"] = Json::array();
        for (int number : loaded.chosenNumbers()) {
            ScanLists lists = collect(loaded, number);
            if (json_)
                doc["subclients"].push_back(
                    {{"number", number}, {"name", loaded.nameOf(number)}, {"scan", lists.scan}, {"nodirs", lists.nodirs}});
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
        int rc = tree_ ? conf.treeOutput(&scan, number) : conf.dirnames(&scan, number);
        if (rc >= 0)
            rc = conf.nodirs(&nodirs, number);
        if (rc < 0)
            throw ToolError(TOOL_NEGATIVE, filePlace(loaded, 0) + "cannot list subclient " + loaded.nameOf(number));
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
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> makeListCommand()
{
    return std::make_unique<ListCommand>();
}
