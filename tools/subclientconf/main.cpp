// subclientconf: shows how a backup set is divided among its subclients, and why.
#include "Output.h"
#include "Quoting.h"
#include "Signals.h"
#include "Tool.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace {

const char* const kDescription =
    "Shows how a backup set is divided among its subclients, and why.\n"
    "FILE is a subclient definition file (a TAB line names a subclient, other lines are its content;\n"
    "\\/\\/ after a path marks wildcard content) or a backup-set store file (first line\n"
    "#subclientconf-backupset 1).";

const char* const kExitStatus = "Exit status:\n"
                                "  0        success, or a positive answer\n"
                                "  1        a negative answer, or problems found (check)\n"
                                "  2        bad usage, unreadable input, or a write error on standard output\n"
                                "  3        a walk skipped something (an unreadable folder, a missing start point)\n"
                                "  4        the configuration did not load as written (load stopped early or content\n"
                                "           rejected), unless --partial is given\n"
                                "  128+N    ended by signal N";

const char* const kVersion =
    "subclientconf " SUBCLIENTCONF_VERSION ", library " SUBCLIENTCONF_VERSION " (" SUBCLIENTCONF_SONAME ")";

// "help [SUBCOMMAND]" is "[SUBCOMMAND] --help".
std::vector<std::string> helpAsOption(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "help") {
        args.erase(args.begin());
        args.push_back("--help");
    }
    std::reverse(args.begin(), args.end());  // CLI11 takes the arguments last first
    return args;
}

// The first argument, when it is no option, must name a subcommand.
void checkSubcommand(CLI::App& program, const std::vector<std::string>& reversed)
{
    if (reversed.empty() || reversed.back().empty() || reversed.back()[0] == '-')
        return;
    for (const CLI::App* sub : program.get_subcommands([](CLI::App*) { return true; }))
        if (sub->check_name(reversed.back()))
            return;
    throw CLI::ParseError("unknown subcommand '" + reversed.back() + "'", CLI::ExitCodes::ExtrasError);
}

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
    program.set_version_flag("--version", kVersion, "Print the tool's and the library's version and exit");
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(makeCheckCommand());
    commands.push_back(makeListCommand());
    commands.push_back(makeWhichCommand());
    commands.push_back(makeDirlistCommand());
    commands.push_back(makeBrowseCommand());
    commands.push_back(makeEstimateCommand());
    commands.push_back(makeReportCommand());
    commands.push_back(makeConsoleCommand());
    for (auto& command : commands)
        command->define(program);
    try {
        std::vector<std::string> args = helpAsOption(argc, argv);
        checkSubcommand(program, args);
        program.parse(args);
    } catch (const CLI::Success& help) {
        return program.exit(help);
    } catch (const CLI::ParseError& error) {
        return usageError(program, error);
    }
    catchInterrupts();
    int status = runChosen(commands);
    return interruption() ? 128 + interruption() : status;
}
