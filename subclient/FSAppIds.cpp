#include "subclient/FSSubclientConfPrivate.h"

namespace {

void logAppIds(FSSubclientConf* conf, const std::vector<unsigned long>& appIds, bool wideIndex)
{
    for (size_t i = 0; i < appIds.size(); ++i) {
        if (wideIndex)
            TLOG_CALL(conf, 1, "appIds[%llu] is %lu", static_cast<unsigned long long>(i), appIds[i]);
        else
            TLOG_CALL(conf, 1, "appIds[%d] is %lu", static_cast<int>(i), appIds[i]);
    }
}

// Both translations need appIds to hold one id per subclient.
bool appIdsComplete(FSSubclientConf* conf, const std::vector<unsigned long>& appIds, int numSubclients, bool wideIndex)
{
    if (appIds.size() == static_cast<size_t>(numSubclients))
        return true;
    TLOG_CALL(conf, 1, "There are %d subclients but %d app ids", numSubclients, static_cast<int>(appIds.size()));
    logAppIds(conf, appIds, wideIndex);
    return false;
}

}  // namespace

unsigned long FSSubclientConf::numberToAppId(int number)
{
    TCALL_ORIGIN();
    if (number < 1 || number > d->numSubclients) {
        TLOG(1, "Illegal number %d (numSubclients=%d)", number, d->numSubclients);
        return 0;
    }
    if (!appIdsComplete(this, d->appIds, d->numSubclients, true))
        return 0;
    return d->appIds[static_cast<size_t>(number - 1)];
}

int FSSubclientConf::appIdToNumber(unsigned long appId)
{
    TCALL_ORIGIN();
    std::map<unsigned long, int>& map = d->appIdMap;
    try {
        if (map.empty()) {
            if (!appIdsComplete(this, d->appIds, d->numSubclients, false))
                return -1;
            for (size_t i = 0; i < d->appIds.size(); ++i) {
                if (!map.emplace(d->appIds[i], static_cast<int>(i) + 1).second) {
                    TLOG(1, "appIdMap add %lu failed - %s", d->appIds[i], "already in map");
                    logAppIds(this, d->appIds, false);
                    return -1;
                }
            }
        }
    } catch (const std::exception&) {
        // A partial map would hide the ids not reached; the next call builds it anew.
        map.clear();
        TLOG(-1, "%s", kFSOutOfMemory);
        return -1;
    }
    auto found = map.find(appId);
    if (found == map.end()) {
        TLOG(1, "%lu not found in appIdMap", appId);
        return -1;
    }
    return found->second;
}
