// Case sensitivity of file names by application type.
#include "subclient/FSSubclientConfPrivate.h"

#include "platform/KXGlobalParam.h"

#include <cstdlib>

namespace {

enum CaseRule { kAskGlobalParam, kInsensitive, kSensitive };

struct TypeRange {
    int first;
    int last;
};

const TypeRange kInsensitiveTypes[] = {{1, 12},  {14, 16}, {22, 28}, {30, 35}, {37, 37}, {39, 39}, {41, 47},  {50, 62},
                                       {67, 69}, {71, 71}, {73, 73}, {76, 83}, {89, 91}, {93, 93}, {103, 103}};
const TypeRange kSensitiveTypes[] = {{13, 13}, {17, 21}, {29, 29}, {36, 36}, {38, 38}, {40, 40},  {48, 48},
                                     {63, 64}, {66, 66}, {74, 75}, {86, 86}, {88, 88}, {104, 104}};

template <size_t N>
bool inRanges(const TypeRange (&ranges)[N], int appType)
{
    for (const TypeRange& r : ranges) {
        if (appType >= r.first && appType <= r.last)
            return true;
    }
    return false;
}

CaseRule ruleFor(int appType)
{
    if (inRanges(kInsensitiveTypes, appType))
        return kInsensitive;
    if (inRanges(kSensitiveTypes, appType))
        return kSensitive;
    return kAskGlobalParam;
}

}  // namespace

int FSSubclientConf::checkCaseSensitivity(int appType, bool* caseSensitive)
{
    TLOG(3, "Called for AppType=%d", appType);
    if (!caseSensitive)
        return -1;
    const CaseRule rule = ruleFor(appType);
    if (rule != kAskGlobalParam) {
        *caseSensitive = rule == kSensitive;
        return 0;
    }
    // The query names the stored type: the library's own callers pass that one.
    const unsigned long storedType = static_cast<unsigned long>(d->appType);
    try {
        KXGlobalParam param;
        std::string value;
        if (param.getCaseSensitivity(d->appType, value, nullptr) < 0) {
            TLOG(1, "getCaseSensitivity failed, appType %lu", storedType);
            return -1;
        }
        // strtol rather than atoi: an out-of-range number must not be undefined behaviour.
        *caseSensitive = strtol(value.c_str(), nullptr, 10) != 0;
        return 0;
    } catch (const char* text) {
        TLOG(-1, "Exception %s, appType %lu", text ? text : "(null)", storedType);
    } catch (...) {
        TLOG(-1, "Unknown exception, appType %lu", storedType);
    }
    return -1;
}
