#include "platform/ApplicationId.h"

#include "platform/KXLog.h"

#include <new>

namespace {

// The store keeps 32-bit ids; a wider number must not wrap onto one of them.
bool isStoreId(unsigned long value)
{
    return static_cast<uint32_t>(value) == value;
}

}  // namespace

Fleet::Fleet(unsigned long fleetId) : fleetId_(fleetId) {}
Fleet::~Fleet() = default;

int Fleet::getFleetId(unsigned long& fleetId, void*)
{
    fleetId = fleetId_;
    return KX_CONFIG_OK;
}

BackupSet::BackupSet(unsigned long backupSetId, bool onDemand) : id_(backupSetId), onDemand_(onDemand) {}
BackupSet::~BackupSet() = default;

unsigned long BackupSet::getId() const
{
    return id_;
}

int BackupSet::isOnDemandBackupset(bool& onDemand, void*)
{
    onDemand = onDemand_;
    return KX_CONFIG_OK;
}

Subclient::Subclient(unsigned long subclientId) : store_(kxCurrentBackupsetStore()), id_(subclientId) {}
Subclient::~Subclient() = default;

unsigned long Subclient::getId() const
{
    return id_;
}

int Subclient::getName(std::string& name, void*)
{
    if (!store_)
        return KX_CONFIG_NO_STORE;
    const BackupsetStoreSubclient* sc = isStoreId(id_) ? store_->findSubclient(static_cast<uint32_t>(id_)) : nullptr;
    if (!sc)
        return KX_CONFIG_NOT_FOUND;
    try {
        name = sc->name;
    } catch (const std::bad_alloc&) {
        return KX_CONFIG_NO_MEMORY;
    }
    return KX_CONFIG_OK;
}

void Subclient::assign(std::shared_ptr<const BackupsetStore> store, unsigned long subclientId)
{
    store_ = std::move(store);
    id_ = subclientId;
}

ApplicationId::ApplicationId(unsigned long fleetId, unsigned long appId)
    : store_(kxCurrentBackupsetStore()), appId_(appId)
{
    if (!store_) {
        KXLOG(1, "No backup set store is open for application %lu of fleet %lu", appId, fleetId);
        return;
    }
    const BackupsetStoreSubclient* sc =
        isStoreId(appId) ? store_->findSubclientByAppId(static_cast<uint32_t>(appId)) : nullptr;
    if ((fleetId != 0 && fleetId != store_->fleetId) || (!sc && appId != 0 && appId != store_->id)) {
        KXLOG(1, "Application %lu of fleet %lu is not in backup set store '%s'", appId, fleetId,
              store_->fileName.c_str());
        return;
    }
    // Without these objects the getters answer as for an unknown id.
    fleet_.reset(new (std::nothrow) Fleet(store_->fleetId));
    backupSet_.reset(new (std::nothrow) BackupSet(store_->id, store_->onDemand));
    if (sc)
        subclient_.reset(new (std::nothrow) Subclient(sc->id));
    if (sc && subclient_)
        subclient_->assign(store_, sc->id);
    known_ = true;
    info_.appType = store_->appType;
    info_.subclientId = sc ? static_cast<int32_t>(sc->id) : 0;
}

ApplicationId::ApplicationId() : appId_(0) {}

ApplicationId::~ApplicationId() = default;

int ApplicationId::unknownResult() const
{
    return store_ ? KX_CONFIG_NOT_FOUND : KX_CONFIG_NO_STORE;
}

AppIdInfo ApplicationId::getAppIdInfo()
{
    return info_;
}

int ApplicationId::getAppId(unsigned long& appId, void*)
{
    if (!known_)
        return unknownResult();
    appId = appId_;
    return KX_CONFIG_OK;
}

Fleet* ApplicationId::getFleet(void*)
{
    return fleet_.get();
}

Subclient* ApplicationId::getSubclient(void*)
{
    return subclient_.get();
}

int ApplicationId::getDefaultSubClient(Subclient& subclient)
{
    if (!known_)
        return unknownResult();
    subclient.assign(store_, store_->defaultSubclient()->id);
    return KX_CONFIG_OK;
}

BackupSet* ApplicationId::getBackupSet(void*)
{
    return backupSet_.get();
}

std::shared_ptr<const BackupsetStore> ApplicationId::getStore() const
{
    return store_;
}
