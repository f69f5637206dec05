// Loading the content history of a time window beside the configuration.
#include "platform/ApplicationId.h"
#include "platform/BackupsetContent.h"
#include "subclient/FSLoadGuard.h"
#include "subclient/FSSubclientConfPrivate.h"

#include <list>
#include <string>

namespace {

// Sorts the content history of one backup set onto the replay records of the
// configuration just loaded: times onto the paths it still has, every other
// path of the window into the history list.
class HistoryCollector {
public:
    HistoryCollector(FSSubclientConf& conf, CFSSubclientConfPrivate& d, const std::list<SubclientContentInfo>& entries,
                     unsigned long fromTime, unsigned long toTime)
        : conf(conf), d(d), entries(entries), fromTime(fromTime), toTime(toTime), end(d.replayVec.size())
    {}

    // The entries of the subclient id whose name record is at nameIndex; 0 or -1.
    int subclient(size_t nameIndex, unsigned long id)
    {
        for (const SubclientContentInfo& entry : entries) {
            if (entry.subclientId != id || !inWindow(entry))
                continue;
            std::string path, fixed;
            const bool wild = isWildCardContent(entry.path, path);
            if (conf.fixPath(path, fixed, true) == 0) {
                TLOG_CALL(&conf, 1, "Invalid path '%s' from history", entry.path.c_str());
                return -1;
            }
            if (fixed.size() == 1 || stamp(nameIndex, fixed, entry))
                continue;
            d.historyList.push_back(FSHistory{wild, fixed});
            TLOG_CALL(&conf, 1, "Subclient history '%s' id %lu %s '%s' created %lu modified %lu",
                      d.replayVec[nameIndex].text.c_str(), id, wild ? "wildcard" : "path", fixed.c_str(),
                      (unsigned long)entry.created, (unsigned long)entry.modified);
        }
        return 0;
    }

    size_t records() const { return end; }

private:
    // The entry existed at some moment of the window.
    bool inWindow(const SubclientContentInfo& entry) const
    {
        if (toTime < entry.created)
            return false;
        return entry.modified == 0 || fromTime <= entry.modified;
    }

    // Gives the entry's times to the first of the subclient's path records
    // that names path; false when none does.
    bool stamp(size_t nameIndex, const std::string& path, const SubclientContentInfo& entry)
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

    FSSubclientConf& conf;
    CFSSubclientConfPrivate& d;
    const std::list<SubclientContentInfo>& entries;
    const unsigned long fromTime;
    const unsigned long toTime;
    const size_t end;  // the records of the load; later ones are not looked at
};

}  // namespace

int FSSubclientConf::load(ApplicationId* application, unsigned long toTime, SubclientIdFromName* idFromName,
                          unsigned long fromTime)
{
    TCALL_ORIGIN();
    try {
        d->historyList.clear();
        d->historyStart.clear();
        d->historyIndex.drop();
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
        HistoryCollector collector(*this, *d, entries, fromTime, toTime);
        for (size_t i = 0; i < collector.records(); ++i) {
            if (d->replayVec[i].kind != FSPlayback::kindName)
                continue;
            d->historyStart.push_back((int)d->historyList.size());
            unsigned long id = 0;
            if (idFromName->getSubclientId(d->replayVec[i].text, id, nullptr) != 0) {
                TLOG(1, "Cannot convert '%s' in backupset %lu to an id", d->replayVec[i].text.c_str(), backupSet);
                return -1;
            }
            if (collector.subclient(i, id) < 0)
                return -1;
        }
        d->historyToTime = toTime;
        d->historyFromTime = fromTime;
        return 0;
    } catch (...) {
        return FS_LOAD_FAILURE();
    }
}
