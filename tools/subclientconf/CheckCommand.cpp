// check: loads the file and reports every subclient with its content, and
// every rejected or tolerated line and wildcard overlap.
#include "Output.h"
#include "Quoting.h"

#include <cstdio>
#include <map>

namespace {

const size_t kShownAlike = 20;

class CheckCommand : public Command {
public:
    void define(CLI::App& program) override
    {
        app_ = program.add_subcommand("check",
                                      "Load FILE; report each subclient's content and every rejected or tolerated "
                                      "line and wildcard overlap (exit 1 when there is any)");
        addLoadOptions(*app_, options_, false);
        addJsonFlag(*app_, json_);
    }

    int run() override
    {
        LibraryLog log;
        LoadedConfiguration loaded = loadConfiguration(options_, log);
        bool clean = loaded.problems.empty() && loaded.complete;
        if (json_)
            printJson(document(loaded, clean));
        else
            printText(loaded, clean);
        return clean ? TOOL_OK : TOOL_NEGATIVE;
    }

private:
    static Json document(const LoadedConfiguration& loaded, bool clean)
    {
        Json doc = documentHead(loaded);
        doc["clean"] = clean;
        doc["complete"] = loaded.complete;
        doc["subclients"] = Json::array();
        for (int number : loaded.chosenNumbers()) {
            const SubclientInfo& info = loaded.subclients[number - 1];
            Json content = Json::array();
            for (const ContentLine& line : info.content) {
                std::string path;
                bool wildcard = isWildCardContent(line.text, path);
                content.push_back(
                    {{"line", line.line}, {"path", path}, {"wildcard", wildcard}, {"displayName", line.displayName}});
            }
            doc["subclients"].push_back({{"number", number}, {"name", info.name}, {"content", content}});
        }
        doc["problems"] = Json::array();
        for (const LoadProblem& p : loaded.problems)
            doc["problems"].push_back({{"line", p.line},
                                       {"kind", p.kind},
                                       {"reason", p.reason},
                                       {"subclient", p.subclient},
                                       {"content", p.content},
                                       {"message", p.message}});
        return doc;
    }

    static void printText(const LoadedConfiguration& loaded, bool clean)
    {
        if (loaded.isStore)
            printf("%s at %s (%u)\n", loaded.file.c_str(), isoTime(loaded.at).c_str(), loaded.at);
        for (int number : loaded.chosenNumbers()) {
            const SubclientInfo& info = loaded.subclients[number - 1];
            printf("%s\n", subclientLabel(loaded, number).c_str());
            if (info.content.empty())
                printf("  %s\n", number == 1 ? "no content: everything no other subclient claims" : "no content");
            for (const ContentLine& line : info.content) {
                std::string display = line.displayName.empty() ? "" : " \"" + withoutControls(line.displayName) + "\"";
                printf("  line %d: %s%s\n", line.line, quoted(line.text).c_str(), display.c_str());
            }
        }
        // A flood of one problem shows its first few lines, then a count.
        std::map<std::string, size_t> seen;
        for (const LoadProblem& p : loaded.problems) {
            if (++seen[p.kind + " " + p.message] > kShownAlike)
                continue;
            std::string where = p.subclient.empty() ? "" : " for " + quoted(p.subclient);
            printf("%s%s '%s'%s: %s\n", withoutControls(filePlace(loaded, p.line)).c_str(), p.kind.c_str(),
                   withoutControls(p.content).c_str(), where.c_str(), withoutControls(p.message).c_str());
        }
        for (const auto& alike : seen)
            if (alike.second > kShownAlike)
                printf("%s%zu more like '%s'\n", withoutControls(filePlace(loaded, 0)).c_str(),
                       alike.second - kShownAlike, withoutControls(alike.first).c_str());
        if (!loaded.complete)
            printf("%sthe load stopped at the first rejected line\n", filePlace(loaded, 0).c_str());
        printf("%s\n", clean ? "clean" : (std::to_string(loaded.problems.size()) + " problem(s)").c_str());
    }

    LoadOptions options_;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> makeCheckCommand()
{
    return std::make_unique<CheckCommand>();
}
