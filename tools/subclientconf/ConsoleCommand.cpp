// console: the interactive test console on a subclient definition file.
#include "Tool.h"
#include "console/scMain.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

class ConsoleCommand : public Command {
public:
    void define(CLI::App& program) override
    {
        app_ = program.add_subcommand("console", "The interactive test console on a subclient definition file "
                                                 "(directory lists, pattern containment, pattern tests)");
        app_->add_option("FILE", file_, "Subclient definition file")->required();
    }

    int run() override
    {
        if (FILE* file = fopen(file_.c_str(), "r"))
            fclose(file);
        else
            throw ToolError(TOOL_USAGE, file_ + ": cannot open: " + strerror(errno));
        return scMain(file_.c_str()) == 0 ? TOOL_OK : TOOL_NEGATIVE;
    }

private:
    std::string file_;
};

}  // namespace

std::unique_ptr<Command> makeConsoleCommand()
{
    return std::make_unique<ConsoleCommand>();
}
