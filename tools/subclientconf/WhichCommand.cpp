// which: the subclient that backs up each path, and why.
#include "Output.h"
#include "PathOwner.h"
#include "Quoting.h"

#include <cstdio>
#include <iostream>

namespace {

const char* const kNoPath = "which: no PATH given (name paths, or use --stdin)";

class WhichCommand : public Command {
public:
    void define(CLI::App& program) override
    {
        app_ = program.add_subcommand("which", "The subclient that backs up each PATH, and why");
        addLoadOptions(*app_, options_, false);
        addPartialFlag(*app_, options_);
        app_->add_option("PATH", paths_, "Paths to explain");
        app_->add_flag("--stdin", fromStdin_, "Read the paths from standard input, one a line");
        app_->add_flag("--porcelain", porcelain_, "One line a path: path, subclient, reason, content (TAB between)");
        app_->add_flag("-z", nul_,
                       "With --stdin, paths end with NUL; output lines end with NUL (porcelain fields too)");
        addJsonFlag(*app_, json_);
    }

    int run() override
    {
        if (paths_.empty() && !fromStdin_)
            throw ToolError(TOOL_USAGE, kNoPath);
        LibraryLog log;
        LoadedConfiguration loaded = loadAndWarn(options_, log);
        PathOwner owner(loaded);
        Json doc = documentHead(loaded);
        doc["paths"] = Json::array();
        bool allOwned = true;
        size_t answered = 0;
        // Paths from standard input are answered as they come, so memory does not grow with their number.
        auto answer = [&](const std::string& path) {
            PathVerdict verdict = owner.explain(path, !porcelain_);
            allOwned = allOwned && verdict.subclient > 0;
            ++answered;
            if (json_)
                doc["paths"].push_back(toJson(verdict, loaded));
            else
                print(verdict, loaded);
        };
        for (const std::string& path : paths_)
            answer(path);
        if (fromStdin_)
            readPaths(answer);
        if (answered == 0)
            throw ToolError(TOOL_USAGE, kNoPath);
        if (json_)
            printJson(doc);
        return allOwned ? TOOL_OK : TOOL_NEGATIVE;
    }

private:
    template <typename Answer>
    void readPaths(Answer& answer)
    {
        char end = nul_ ? '\0' : '\n';
        for (std::string path; std::getline(std::cin, path, end);) {
            if (!nul_ && !path.empty() && path.back() == '\r')
                path.pop_back();
            if (!path.empty())
                answer(path);
        }
    }

    void print(const PathVerdict& verdict, const LoadedConfiguration& loaded) const
    {
        char end = nul_ ? '\0' : '\n';
        // -z: the bytes as they are; otherwise a name with control characters is quoted.
        auto shown = [&](const std::string& text) { return nul_ ? text : quoted(text); };
        std::string subclient = verdict.subclient > 0 ? shown(loaded.nameOf(verdict.subclient)) : "";
        std::string path = shown(verdict.path);
        if (porcelain_) {
            char field = nul_ ? '\0' : '\t';
            printf("%s%c%s%c%s%c%s%c%s%c%s%c", path.c_str(), field, subclient.c_str(), field, verdict.reason.c_str(),
                   field, shown(verdict.content).c_str(), field, verdictPlace(verdict, loaded).c_str(), field,
                   shown(verdict.displayName).c_str(), end);
            return;
        }
        std::string answers;
        for (size_t i = 0; i < verdict.pathTests.size(); ++i)
            answers += " " + shown(loaded.nameOf(static_cast<int>(i + 1))) + "=" + std::to_string(verdict.pathTests[i]);
        std::string why = describeVerdict(verdict, loaded);
        printf("%s: %s: %s; pathTest%s%c", path.c_str(), subclient.empty() ? "-" : subclient.c_str(),
               (nul_ ? why : withoutControls(why)).c_str(), answers.c_str(), end);
    }

    static Json toJson(const PathVerdict& verdict, const LoadedConfiguration& loaded)
    {
        Json tests = Json::array();
        for (size_t i = 0; i < verdict.pathTests.size(); ++i) {
            int number = static_cast<int>(i + 1);
            tests.push_back(
                {{"number", number}, {"subclient", loaded.nameOf(number)}, {"result", verdict.pathTests[i]}});
        }
        auto nameOrNull = [&](int number) { return number > 0 ? Json(loaded.nameOf(number)) : Json(nullptr); };
        return {{"path", verdict.path},        {"subclient", nameOrNull(verdict.subclient)},
                {"number", verdict.subclient}, {"reason", verdict.reason},
                {"content", verdict.content},  {"handedOverBy", nameOrNull(verdict.handedOverBy)},
                {"detail", verdict.detail},    {"pathTest", tests},
                {"line", verdict.line},        {"displayName", verdict.displayName}};
    }

    LoadOptions options_;
    std::vector<std::string> paths_;
    bool fromStdin_ = false;
    bool porcelain_ = false;
    bool nul_ = false;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> makeWhichCommand()
{
    return std::make_unique<WhichCommand>();
}
