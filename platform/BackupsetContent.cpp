#include "platform/BackupsetContent.h"

#include <new>

AdaptersBase::AdaptersBase() : store_(kxCurrentBackupsetStore()) {}
AdaptersBase::~AdaptersBase() = default;

BackupsetContent::BackupsetContent() = default;
BackupsetContent::~BackupsetContent() = default;

int BackupsetContent::getContent(unsigned long backupSetId, KX_FILTERS_TYPES type,
                                 std::list<SubclientContentInfo>& content, void*)
{
    if (type != KX_FILTERS_TYPE_CONTENT)
        return KX_CONFIG_BAD_ARGUMENT;
    if (!store_)
        return KX_CONFIG_NO_STORE;
    if (backupSetId != store_->id)
        return KX_CONFIG_NOT_FOUND;
    try {
        std::list<SubclientContentInfo> list;
        for (const BackupsetStoreContent& entry : store_->content) {
            SubclientContentInfo info;
            info.subclientId = entry.subclientId;
            info.created = entry.created;
            info.modified = entry.modified;
            info.path = entry.path;
            list.push_back(std::move(info));
        }
        content.swap(list);
    } catch (const std::bad_alloc&) {
        return KX_CONFIG_NO_MEMORY;
    }
    return KX_CONFIG_OK;
}

SubclientIdFromName::SubclientIdFromName() = default;
SubclientIdFromName::~SubclientIdFromName() = default;

unsigned long SubclientIdFromName::getBackupSet()
{
    return store_ ? store_->id : 0;
}

int SubclientIdFromName::getSubclientId(const std::string& name, unsigned long& id, void*)
{
    if (!store_)
        return KX_CONFIG_NO_STORE;
    const BackupsetStoreSubclient* sc = store_->findSubclientByName(name);
    if (!sc)
        return KX_CONFIG_NOT_FOUND;
    id = sc->id;
    return KX_CONFIG_OK;
}
