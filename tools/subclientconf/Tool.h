// Shared pieces of the subclientconf command-line tool: the error that ends a
// run with an exit status, the options every subcommand takes, and the base
// class of the subcommands.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_TOOL_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_TOOL_H

#include <CLI/CLI.hpp>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// Exit statuses (the table in docs/subclientconf-tool.md); a run ended by signal N exits with 128+N.
enum ToolStatus {
    TOOL_OK = 0,         // success, or a positive answer
    TOOL_NEGATIVE = 1,   // a negative answer, or problems found (check)
    TOOL_USAGE = 2,      // bad usage, unreadable input, or a write error on standard output
    TOOL_SKIPPED = 3,    // a walk skipped something
    TOOL_INCOMPLETE = 4  // the configuration did not load as written (without --partial)
};

// Ends the run: main prints "subclientconf: <message>" on standard error and exits with status.
class ToolError : public std::runtime_error {
public:
    ToolError(ToolStatus status, const std::string& message) : std::runtime_error(message), status(status) {}
    ToolStatus status;
};

// What selects and loads the configuration, shared by the subcommands.
struct LoadOptions {
    std::string file;
    std::string at;         // empty: now
    std::string subclient;  // empty: all
    bool single = false;    // store files: load only --subclient, as the agent's single-subclient load does
    bool partial = false;   // answer from what loaded when the load stopped early or rejected content
};

class Command {
public:
    virtual ~Command() = default;
    // Adds the subcommand with its options to the program.
    virtual void define(CLI::App& program) = 0;
    // Runs it after a successful parse; returns the exit status.
    virtual int run() = 0;
    bool chosen() const { return app_ && app_->parsed(); }

protected:
    CLI::App* app_ = nullptr;
};

// One per subcommand, in the order of the help text.
std::unique_ptr<Command> makeCheckCommand();
std::unique_ptr<Command> makeListCommand();
std::unique_ptr<Command> makeWhichCommand();
std::unique_ptr<Command> makeDirlistCommand();
std::unique_ptr<Command> makeBrowseCommand();
std::unique_ptr<Command> makeEstimateCommand();
std::unique_ptr<Command> makeReportCommand();
std::unique_ptr<Command> makeConsoleCommand();

// The FILE argument and --at, --subclient (required or optional) and --single.
void addLoadOptions(CLI::App& app, LoadOptions& options, bool subclientRequired);
// --partial, for the subcommands that answer from the configuration.
void addPartialFlag(CLI::App& app, LoadOptions& options);
CLI::Option* addJsonFlag(CLI::App& app, bool& json);

#endif
