// Loading the content history of a time window beside the configuration.
#include "subclient/FSLoadGuard.h"
#include "subclient/FSSubclientConfPrivate.h"
#include "platform/ApplicationId.h"
#include "platform/BackupsetContent.h"

#include <list>
#include <string>

namespace {

// Content that existed at some moment of the window [fromTime, toTime].
bool inWindow(const SubclientContentInfo& entry, unsigned long fromTime, unsigned long toTime)
{
    if (toTime < entry.created)
        return false;
    return entry.modified == 0 || fromTime <= entry.modified;
}

// Stamps the times of entry onto the first path record of the subclient whose
// name record is at nameIndex that names path; false when none does.
bool stampPathRecord(CFSSubclientConfPrivate& d, size_t nameIndex, size_t end, const std::string& path,
                     const SubclientContentInfo& entry)
{
    for (size_t j = nameIndex + 1; j < end && d.replayVec[j].kind == FSPlayback::kindPath; ++j) {
        FSPlayback& record = d.replayVec[j];
        if (d.compare(record.text.c_str(), path.c_str()) == 0) {
            record.created = entry.created;
            record.modified = entry.modified;
            return true;
        }
    }
    return false;
}

}  // namespace

int FSSubclientConf::load(ApplicationId* application, unsigned long toTime, SubclientIdFromName* idFromName,
                          unsigned long fromTime)
{
    return fsLoadGuard(this, __PRETTY_FUNCTION__, [&] {
        d->historyList.clear();
        d->historyStart.clear();
        if (!idFromName) {
            TLOG(-1, "NULL idFromName");
            return -1;
        }
        if (load(application, toTime, true) != 0)
            return -1;
        const unsigned long backupSet = idFromName->getBackupSet();
        BackupsetContent content;
        std::list<SubclientContentInfo> entries;
        const int r = content.getContent(backupSet, static_cast<KX_FILTERS_TYPES>(1), entries, nullptr);
        if (r != 0) {
            TLOG(1, "Cannot get content history for backup set %lu, code %d", backupSet, r);
            return -1;
        }
        const size_t n = d->replayVec.size();
        for (size_t i = 0; i < n; ++i) {
            if (d->replayVec[i].kind != FSPlayback::kindName)
                continue;
            d->historyStart.push_back((int)d->historyList.size());
            const std::string name = d->replayVec[i].text;
            unsigned long id = 0;
            if (idFromName->getSubclientId(name, id, nullptr) != 0) {
                TLOG(1, "Cannot convert '%s' in backupset %lu to an id", name.c_str(), backupSet);
                return -1;
            }
            for (const SubclientContentInfo& entry : entries) {
                if (entry.subclientId != id || !inWindow(entry, fromTime, toTime))
                    continue;
                std::string path, fixed;
                const bool wild = isWildCardContent(entry.path, path);
                if (fixPath(path, fixed, true) == 0) {
                    TLOG(1, "Invalid path '%s' from history", entry.path.c_str());
                    return -1;
                }
                if (fixed.size() == 1 || stampPathRecord(*d, i, n, fixed, entry))
                    continue;
                d->historyList.push_back(FSHistory{wild, fixed});
                TLOG(1, "Subclient history '%s' id %lu %s '%s' created %lu modified %lu", name.c_str(), id,
                     wild ? "wildcard" : "path", fixed.c_str(), (unsigned long)entry.created,
                     (unsigned long)entry.modified);
            }
        }
        d->historyToTime = toTime;
        d->historyFromTime = fromTime;
        return 0;
    });
}
