#include "Output.h"

#include "Quoting.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

const char* const kWildcardMarker = "\\/\\/";

namespace {

// The version of the JSON shapes: it grows when a key changes meaning or goes
// away; added keys keep it.
const int kSchemaVersion = 1;

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

namespace {

void appendJson(const Json& value, int depth, std::string& out)
{
    if (value.is_string()) {
        out += jsonString(value.get_ref<const std::string&>());
        return;
    }
    if (!value.is_structured()) {
        out += value.dump();
        return;
    }
    bool isObject = value.is_object();
    out += isObject ? '{' : '[';
    if (!value.empty()) {
        // depth < 0: all on one line, as JSON Lines need.
        const char* separator = "";
        for (auto item = value.begin(); item != value.end(); ++item) {
            out += separator;
            if (depth >= 0)
                out.append("\n").append(2 * (depth + 1), ' ');
            if (isObject)
                out.append(jsonString(item.key())).append(depth < 0 ? ":" : ": ");
            appendJson(*item, depth < 0 ? depth : depth + 1, out);
            separator = ",";
        }
        if (depth >= 0)
            out.append("\n").append(2 * depth, ' ');
    }
    out += isObject ? '}' : ']';
}

}  // namespace

std::string jsonText(const Json& value, int depth)
{
    std::string out;
    appendJson(value, depth, out);
    return out;
}

void printJson(const Json& document)
{
    fputs(jsonText(document, 0).c_str(), stdout);
    fputc('\n', stdout);
}

void JsonStream::member(const std::string& key, const Json& value)
{
    if (lines_) {
        pending_[key] = value;
        return;
    }
    printf("%s\n  %s: %s", separator_, jsonString(key).c_str(), jsonText(value, 1).c_str());
    separator_ = ",";
}

void JsonStream::beginArray(const std::string& key)
{
    if (lines_) {
        printf("%s\n", jsonText(pending_, -1).c_str());
        pending_ = Json::object();
    } else {
        printf("%s\n  %s: [", separator_, jsonString(key).c_str());
        separator_ = "";
    }
    hasElements_ = false;
}

void JsonStream::element(const Json& value)
{
    if (lines_)
        printf("%s\n", jsonText(value, -1).c_str());
    else
        printf("%s\n    %s", separator_, jsonText(value, 2).c_str());
    separator_ = ",";
    hasElements_ = true;
}

void JsonStream::endArray()
{
    if (!lines_)
        fputs(hasElements_ ? "\n  ]" : "]", stdout);
    separator_ = ",";
}

void JsonStream::end()
{
    if (lines_)
        printf("%s\n", jsonText(pending_, -1).c_str());
    else
        fputs("\n}\n", stdout);
}

Json documentHead(const LoadedConfiguration& loaded)
{
    Json head;
    head["schema"] = kSchemaVersion;
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
    return quoted(loaded.nameOf(number)) + " (" + std::to_string(number) + ")";
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
        fprintf(stderr, "subclientconf: %s: %zu content problem(s)%s; see subclientconf check\n",
                withoutControls(loaded.file).c_str(), loaded.problems.size(),
                loaded.complete ? "" : ", the load stopped early");
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
