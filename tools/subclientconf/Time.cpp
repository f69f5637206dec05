#include "Loader.h"

#include <cctype>
#include <cstdio>
#include <ctime>

namespace {

bool allDigits(const std::string& text)
{
    for (char c : text)
        if (!isdigit(static_cast<unsigned char>(c)))
            return false;
    return !text.empty();
}

// YYYY-MM-DD, optionally followed by T (or a blank) and hh:mm[:ss], and by Z or +00:00.
bool parseIso(const std::string& text, long long& seconds)
{
    struct tm when = {};
    int consumed = 0;
    if (sscanf(text.c_str(), "%4d-%2d-%2d%n", &when.tm_year, &when.tm_mon, &when.tm_mday, &consumed) != 3 ||
        consumed != 10)
        return false;
    std::string rest = text.substr(10);
    if (!rest.empty() && (rest[0] == 'T' || rest[0] == ' ')) {
        int clock = 0;
        if (sscanf(rest.c_str() + 1, "%2d:%2d%n:%2d%n", &when.tm_hour, &when.tm_min, &clock, &when.tm_sec, &clock) < 2)
            return false;
        rest = rest.substr(1 + clock);
    }
    if (rest != "" && rest != "Z" && rest != "+00:00")
        return false;
    if (when.tm_mon < 1 || when.tm_mon > 12 || when.tm_mday < 1 || when.tm_mday > 31 || when.tm_hour > 23 ||
        when.tm_min > 59 || when.tm_sec > 60)
        return false;
    int day = when.tm_mday;
    when.tm_year -= 1900;
    when.tm_mon -= 1;
    seconds = static_cast<long long>(timegm(&when));
    return when.tm_mday == day;  // timegm moves 31 April to 1 May
}

}  // namespace

uint32_t parseTime(const std::string& text)
{
    long long seconds = -1;
    bool ok = allDigits(text) ? text.size() <= 10 && (seconds = std::stoll(text), true) : parseIso(text, seconds);
    if (!ok || seconds < 0 || seconds > 0xFFFFFFFFLL)
        throw ToolError(TOOL_USAGE, "--at '" + text +
                                        "': not seconds since the epoch nor an ISO-8601 UTC date-time "
                                        "(such as 2023-11-26T12:00:00Z) up to 2106");
    return static_cast<uint32_t>(seconds);
}
