#include "Output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

ToolError writeError(int error)
{
    return ToolError(TOOL_USAGE, std::string("write error: ") + strerror(error ? error : EIO));
}

}  // namespace

void checkOutput()
{
    if (ferror(stdout))
        throw writeError(errno);
}

void finishOutput()
{
    if (fflush(stdout) != 0)
        throw writeError(errno);
    if (ferror(stdout))
        throw writeError(EIO);
}

void printJson(const Json& document)
{
    // Invalid UTF-8 in a path is replaced rather than ending the run.
    std::string text = document.dump(2, ' ', false, Json::error_handler_t::replace);
    fputs(text.c_str(), stdout);
    fputc('\n', stdout);
}

Json documentHead(const LoadedConfiguration& loaded)
{
    Json head;
    head["file"] = loaded.file;
    head["format"] = loaded.isStore ? "backupset" : "definitions";
    if (loaded.isStore)
        head["at"] = loaded.at;
    return head;
}

int LineCollector::putLine(const char* line)
{
    lines.emplace_back(line ? line : "");
    return 0;
}

std::string subclientLabel(const LoadedConfiguration& loaded, int number)
{
    return loaded.nameOf(number) + " (" + std::to_string(number) + ")";
}

LoadedConfiguration loadAndWarn(const LoadOptions& options, LibraryLog& log)
{
    LoadedConfiguration loaded = loadConfiguration(options, log);
    size_t rejected = 0;
    for (const LoadProblem& problem : loaded.problems)
        rejected += problem.kind == "rejected";
    if ((rejected > 0 || !loaded.complete) && !options.partial)
        throw ToolError(TOOL_INCOMPLETE, loaded.file + ": the configuration did not load as written (" +
                                             std::to_string(rejected) + " rejected line(s)" +
                                             (loaded.complete ? "" : ", the load stopped early") +
                                             "); see subclientconf check, or use --partial");
    if (!loaded.problems.empty() || !loaded.complete)
        fprintf(stderr, "subclientconf: %s: %zu content problem(s)%s; see subclientconf check\n", loaded.file.c_str(),
                loaded.problems.size(), loaded.complete ? "" : ", the load stopped early");
    return loaded;
}

std::string filePlace(const LoadedConfiguration& loaded, int line)
{
    return loaded.file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": ";
}

std::string isoTime(uint32_t seconds)
{
    time_t when = static_cast<time_t>(seconds);
    struct tm utc = {};
    char text[32] = "";
    if (gmtime_r(&when, &utc))
        strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}
