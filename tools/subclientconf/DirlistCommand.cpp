// dirlist: the directory list of a path, entries in whole-list order.
#include "DirectoryList.h"
#include "Quoting.h"

#include <cstdio>

namespace {

int depthOf(const FSSubclientDir* entry)
{
    int depth = 0;
    for (const FSSubclientDir* up = entry->parent; up; up = up->parent)
        ++depth;
    return depth;
}

class DirlistCommand : public Command {
public:
    void define(CLI::App& program) override
    {
        app_ = program.add_subcommand("dirlist",
                                      "The directory list of PATH: each entry with its subclient, suffix and nodirs");
        addLoadOptions(*app_, options_, false);
        addPartialFlag(*app_, options_);
        app_->add_option("PATH", path_, "The path; :TO-TIME:PATH and ;TO-TIME;APP-ID;PATH prefixes are read")
            ->required();
        app_->add_flag("--strict", strict_, "Strict tree mode: literal content under a wildcard is a plain child");
        addJsonFlag(*app_, json_);
    }

    int run() override
    {
        LibraryLog log;
        LoadedConfiguration loaded = loadAndWarn(options_, log);
        std::unique_ptr<FSSubclientDirlist> list = buildDirectoryList(loaded, log, path_, strict_);
        Json entries = Json::array();
        for (const FSSubclientDir* entry = list->getRoot(); entry; entry = entry->nextLinear) {
            if (json_)
                entries.push_back(toJson(entry, loaded));
            else
                print(entry, loaded);
        }
        if (json_) {
            Json doc = documentHead(loaded);
            doc["path"] = path_;
            doc["strict"] = strict_;
            doc["entries"] = entries;
            printJson(doc);
        }
        return TOOL_OK;
    }

private:
    static void print(const FSSubclientDir* entry, const LoadedConfiguration& loaded)
    {
        std::string line(2 * depthOf(entry), ' ');
        line += quoted(entry->name) + "  " + subclientLabel(loaded, entry->subclient);
        if (entry->isWildcard)
            line += "  wildcard";
        line += entry->suffix ? "  suffix '" + withoutControls(entry->suffix) + "'" : "  no suffix";
        if (entry->toTime || entry->appId)
            line += "  to-time " + std::to_string(entry->toTime) + " app-id " + std::to_string(entry->appId);
        if (!entry->displayName.empty())
            line += "  \"" + withoutControls(entry->displayName) + "\"";
        printf("%s\n", line.c_str());
    }

    static Json toJson(const FSSubclientDir* entry, const LoadedConfiguration& loaded)
    {
        Json nodirs = Json::array();
        for (const FSSubclientDir* nodir = entry->nodirs; nodir; nodir = nodir->nextNodir)
            nodirs.push_back(nodir->name);
        return {{"path", entry->name},
                {"subclient", loaded.nameOf(entry->subclient)},
                {"number", entry->subclient},
                {"wildcard", entry->isWildcard},
                {"suffix", entry->suffix ? Json(entry->suffix) : Json(nullptr)},
                {"depth", depthOf(entry)},
                {"parent", entry->parent ? Json(entry->parent->name) : Json(nullptr)},
                {"nodirs", nodirs},
                {"toTime", entry->toTime},
                {"appId", entry->appId},
                {"displayName", entry->displayName}};
    }

    LoadOptions options_;
    std::string path_;
    bool strict_ = false;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> makeDirlistCommand()
{
    return std::make_unique<DirlistCommand>();
}
