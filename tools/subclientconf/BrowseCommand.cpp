// browse: the children of a directory that lead to other subclients' content.
#include "DirectoryList.h"
#include "Quoting.h"

#include <cstdio>

namespace {

class BrowseCommand : public Command {
public:
    void define(CLI::App& program) override
    {
        app_ =
            program.add_subcommand("browse", "The browse children of DIR that belong to or lead to other subclients");
        addLoadOptions(*app_, options_, false);
        addPartialFlag(*app_, options_);
        app_->add_option("DIR", directory_, "The browsed directory")->required();
        addJsonFlag(*app_, json_);
    }

    int run() override
    {
        LibraryLog log;
        LoadedConfiguration loaded = loadAndWarn(options_, log);
        std::unique_ptr<FSSubclientDirlist> list = buildDirectoryList(loaded, log, directory_, false);
        Json children = Json::array();
        TBrowseItem item;
        std::vector<std::string> excluded;
        const FSSubclientDir* root = list->getRoot();
        if (!json_)
            printf("%s  %s\n", quoted(root->name).c_str(), subclientLabel(loaded, root->subclient).c_str());
        for (bool more = list->getFirstBrowseItem(item, &excluded); more;
             more = list->getNextBrowseItem(item, &excluded)) {
            if (json_)
                children.push_back(toJson(item, excluded, loaded));
            else
                print(item, excluded, loaded);
        }
        if (json_) {
            Json doc = documentHead(loaded);
            doc["directory"] = directory_;
            doc["subclient"] = loaded.nameOf(root->subclient);
            doc["number"] = root->subclient;
            doc["children"] = children;
            printJson(doc);
        }
        return TOOL_OK;
    }

private:
    static void print(const TBrowseItem& item, const std::vector<std::string>& excluded,
                      const LoadedConfiguration& loaded)
    {
        std::string line = "  " + quoted(item.path) + "  " + subclientLabel(loaded, item.subclient);
        if (item.isWildcard)
            line += "  wildcard";
        if (item.hasNodirsBelow)
            line += "  other subclients below";
        if (!item.displayName.empty())
            line += "  \"" + withoutControls(item.displayName) + "\"";
        for (const std::string& path : excluded)
            line += "  excludes " + quoted(path);
        printf("%s\n", line.c_str());
    }

    static Json toJson(const TBrowseItem& item, const std::vector<std::string>& excluded,
                       const LoadedConfiguration& loaded)
    {
        return {{"path", item.path},           {"subclient", loaded.nameOf(item.subclient)},
                {"number", item.subclient},    {"hasNodirsBelow", item.hasNodirsBelow},
                {"wildcard", item.isWildcard}, {"displayName", item.displayName},
                {"excluded", excluded}};
    }

    LoadOptions options_;
    std::string directory_;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> makeBrowseCommand()
{
    return std::make_unique<BrowseCommand>();
}
