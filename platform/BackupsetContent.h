// Adapters onto the current backup-set store: the content history of the
// backup set, and subclient ids by name.
#ifndef SUBCLIENTCONF_PLATFORM_BACKUPSETCONTENT_H
#define SUBCLIENTCONF_PLATFORM_BACKUPSETCONTENT_H

#include "platform/BackupsetStore.h"

#include <cstdint>
#include <list>
#include <memory>
#include <string>

// Holds the store that is current when the adapter is constructed, so that
// opening another store does not change an adapter's answers midway.
class AdaptersBase {
public:
    AdaptersBase();
    virtual ~AdaptersBase();
    AdaptersBase(const AdaptersBase&) = delete;
    AdaptersBase& operator=(const AdaptersBase&) = delete;

protected:
    std::shared_ptr<const BackupsetStore> store_;  // null when none was open
};

// What getContent lists; the store holds content only.
enum KX_FILTERS_TYPES { KX_FILTERS_TYPE_CONTENT = 1 };

struct SubclientContentInfo {
    uint32_t subclientId = 0;
    uint32_t created = 0;
    uint32_t modified = 0;  // 0: never (still present)
    std::string path;       // may end in the wildcard marker
};

class BackupsetContent : public AdaptersBase {
public:
    BackupsetContent();
    ~BackupsetContent() override;
    // Replaces the list with every content entry of the backup set, present or
    // not, in store order; 0 or a KXConfigResult.
    int getContent(unsigned long backupSetId, KX_FILTERS_TYPES type, std::list<SubclientContentInfo>& content, void*);
};

class SubclientIdFromName : public AdaptersBase {
public:
    SubclientIdFromName();
    ~SubclientIdFromName() override;
    // The id of the backup set served; 0 when no store is open.
    unsigned long getBackupSet();
    // 0 with the id of the subclient of that exact name; a KXConfigResult otherwise.
    virtual int getSubclientId(const std::string& name, unsigned long& id, void*);
};

#endif
