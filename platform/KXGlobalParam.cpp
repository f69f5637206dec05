#include "platform/KXGlobalParam.h"

#include "platform/KXLog.h"
#include "platform/KXTextFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {

const char kEnvVariable[] = "SUBCLIENTCONF_GLOBAL_PARAMS";
const char kCaseKey[] = "caseSensitive.";

std::mutex& sourceMutex()
{
    static std::mutex m;
    return m;
}

KXGlobalParamSource& sourceCell()
{
    static KXGlobalParamSource source;
    return source;
}

// Reads the whole file into type -> value; empty problem text on success.
std::string parseCaseEntries(const std::vector<std::string>& lines, std::map<int, std::string>& entries,
                             size_t& badLine)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        badLine = i + 1;
        std::string line = kxTrimBlanks(lines[i]);
        if (line.empty() || line[0] == '#')
            continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            return "missing '='";
        std::string key = kxTrimBlanks(line.substr(0, eq));
        std::string value = kxTrimBlanks(line.substr(eq + 1));
        if (key.compare(0, strlen(kCaseKey), kCaseKey) != 0)
            return "unknown key '" + key + "'";
        int appType;
        std::string typeText = key.substr(strlen(kCaseKey));
        if (!kxParseInt(typeText, appType))
            return "bad application type '" + typeText + "'";
        if (value != "0" && value != "1")
            return "bad value '" + value + "' (expected 0 or 1)";
        if (!entries.emplace(appType, value).second)
            return "application type " + std::to_string(appType) + " given twice";
    }
    return std::string();
}

int caseSensitivityFromFile(int appType, std::string& value)
{
    const char* path = getenv(kEnvVariable);
    if (!path || !*path)
        return -1;
    std::vector<std::string> lines;
    if (int error = kxReadTextLines(path, lines)) {
        // A missing file just means no parameters; any other failure hides a real file.
        KXLOG(error == ENOENT ? 1 : -1, "Cannot read global parameters file '%s': %s", path, strerror(error));
        return -1;
    }
    std::map<int, std::string> entries;
    size_t badLine = 0;
    std::string problem = parseCaseEntries(lines, entries, badLine);
    if (!problem.empty()) {
        KXLOG(-1, "Global parameters file '%s', line %lu: %s", path, static_cast<unsigned long>(badLine),
              problem.c_str());
        return -1;
    }
    auto found = entries.find(appType);
    if (found == entries.end())
        return -1;
    value = found->second;
    return 0;
}

}  // namespace

KXGlobalParam::KXGlobalParam() = default;
KXGlobalParam::~KXGlobalParam() = default;

int KXGlobalParam::getCaseSensitivity(const int& appType, std::string& value, void*)
{
    KXGlobalParamSource source;
    {
        std::lock_guard<std::mutex> hold(sourceMutex());
        source = sourceCell();
    }
    if (source)
        return source(appType, value);
    return caseSensitivityFromFile(appType, value);
}

void kxSetGlobalParamSource(KXGlobalParamSource source)
{
    std::lock_guard<std::mutex> hold(sourceMutex());
    sourceCell() = std::move(source);
}
