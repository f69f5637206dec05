// subclientconf: shows how a backup set is divided among its subclients, and why.
#include "Output.h"
#include "Quoting.h"
#include "Signals.h"
#include "Tool.h"

#include <cstdio>
#include <iostream>

namespace {

const char* const kDescription =
    "Shows how a backup set is divided among its subclients, and why.\n"
    "FILE is a subclient definition file (a TAB line names a subclient, other lines are its content;\n"
    "\\/\\/ after a path marks wildcard content) or a backup-set store file (first line\n"
    "#subclientconf-backupset 1).";

const char* const kExitStatus =
    "Exit status:\n"
    "  0        success, or a positive answer\n"
    "  1        a negative answer, or problems found (check)\n"
    "  2        bad usage, unreadable input, or a write error on standard output\n"
    "  3        a walk skipped something (an unreadable folder, a missing start point)\n"
    "  4        the configuration did not load as written (load stopped early or content\n"
    "           rejected), unless --partial is given\n"
    "  128+N    ended by signal N";

int usageError(const CLI::App& program, const CLI::ParseError& error)
{
    std::string command = program.get_name();
    for (const CLI::App* sub : program.get_subcommands())
        command += " " + sub->get_name();
    fprintf(stderr, "%s: %s (see %s --help)\n", program.get_name().c_str(), error.what(), command.c_str());
    return TOOL_USAGE;
}

void reportError(const std::string& message)
{
    fflush(stdout);
    fprintf(stderr, "subclientconf: %s\n", withoutControls(message).c_str());
}

// The chosen subcommand's status; a write error on standard output overrides it.
int runChosen(const std::vector<std::unique_ptr<Command>>& commands)
{
    try {
        for (auto& command : commands) {
            if (command->chosen()) {
                int status = command->run();
                finishOutput();
                return status;
            }
        }
    } catch (const ToolError& error) {
        reportError(error.what());
        return error.status;
    } catch (const std::exception& error) {
        reportError(error.what());
    }
    return TOOL_USAGE;
}

}  // namespace

void addLoadOptions(CLI::App& app, LoadOptions& options, bool subclientRequired)
{
    app.add_option("FILE", options.file, "Subclient definition file or backup-set store file")->required();
    app.add_option("--at", options.at,
                   "Store files: the point in time, seconds since the epoch or ISO-8601 UTC "
                   "(2023-11-26T12:00:00Z); default now");
    CLI::Option* subclient = app.add_option("--subclient", options.subclient, "The subclient, by name");
    if (subclientRequired)
        subclient->required();
    app.add_flag("--single", options.single,
                 "Store files: load only --subclient, as the agent's single-subclient load does");
}

void addPartialFlag(CLI::App& app, LoadOptions& options)
{
    app.add_flag("--partial", options.partial,
                 "Answer from what loaded even when the load stopped early or rejected content");
}

CLI::Option* addJsonFlag(CLI::App& app, bool& json)
{
    return app.add_flag("--json", json, "Print one JSON document (shape in docs/subclientconf-tool.md)");
}

int main(int argc, char** argv)
{
    CLI::App program(kDescription, "subclientconf");
    program.require_subcommand(1);
    program.failure_message(CLI::FailureMessage::simple);
    program.footer(kExitStatus);
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(makeCheckCommand());
    commands.push_back(makeListCommand());
    commands.push_back(makeWhichCommand());
    commands.push_back(makeDirlistCommand());
    commands.push_back(makeBrowseCommand());
    commands.push_back(makeEstimateCommand());
    commands.push_back(makeConsoleCommand());
    for (auto& command : commands)
        command->define(program);
    try {
        program.parse(argc, argv);
    } catch (const CLI::Success& help) {
        return program.exit(help);
    } catch (const CLI::ParseError& error) {
        return usageError(program, error);
    }
    catchInterrupts();
    int status = runChosen(commands);
    return interruption() ? 128 + interruption() : status;
}
