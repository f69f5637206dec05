// Application ids of the configuration service: an id designates the backup set
// of the current store or one of its subclients (see ApplicationId below).
#ifndef SUBCLIENTCONF_PLATFORM_APPLICATIONID_H
#define SUBCLIENTCONF_PLATFORM_APPLICATIONID_H

#include "platform/BackupsetStore.h"

#include <cstdint>
#include <memory>
#include <string>

struct AppIdInfo {
    int32_t appType = 0;       // the backup set's application type; 0 when the id is unknown
    int32_t subclientId = -1;  // > 0: the designated subclient; 0: the backup set; -1: unknown id
};

class Fleet {
public:
    explicit Fleet(unsigned long fleetId);
    virtual ~Fleet();
    virtual int getFleetId(unsigned long& fleetId, void*);

private:
    unsigned long fleetId_;
};

class BackupSet {
public:
    BackupSet(unsigned long backupSetId, bool onDemand);
    virtual ~BackupSet();
    unsigned long getId() const;
    virtual int isOnDemandBackupset(bool& onDemand, void*);

private:
    unsigned long id_;
    bool onDemand_;
};

// A subclient of the current store, by id.
class Subclient {
public:
    explicit Subclient(unsigned long subclientId);
    virtual ~Subclient();
    unsigned long getId() const;
    // 0 with the name; KX_CONFIG_NO_STORE or KX_CONFIG_NOT_FOUND otherwise.
    virtual int getName(std::string& name, void*);

private:
    friend class ApplicationId;
    void assign(std::shared_ptr<const BackupsetStore> store, unsigned long subclientId);

    std::shared_ptr<const BackupsetStore> store_;
    unsigned long id_;
};

// ApplicationId(fleet id, application number), resolved in the store current at
// construction:
// - the number of a subclient's application id designates that subclient;
// - the backup set's id, or 0, designates the backup set;
// - the fleet id must be the store's, or 0 (any fleet).
// Anything else is unknown: the getters then fail and return null. The load of
// a whole backup set builds ApplicationId(0, 0) to ask for its flags.
// The operations are virtual so that tests can stand in for the service.
class ApplicationId {
public:
    ApplicationId(unsigned long fleetId, unsigned long appId);
    virtual ~ApplicationId();
    ApplicationId(const ApplicationId&) = delete;
    ApplicationId& operator=(const ApplicationId&) = delete;

    virtual AppIdInfo getAppIdInfo();
    // 0 with the application number given to the constructor, when the id is known.
    virtual int getAppId(unsigned long& appId, void*);
    virtual Fleet* getFleet(void*);
    // The designated subclient; null when the id designates the backup set or is unknown.
    virtual Subclient* getSubclient(void*);
    // Makes the given object the backup set's default subclient; 0 on success.
    virtual int getDefaultSubClient(Subclient& subclient);
    virtual BackupSet* getBackupSet(void*);

    // The store the id was resolved in (null when none was open).
    std::shared_ptr<const BackupsetStore> getStore() const;

protected:
    // For stand-ins that override the virtual operations: an unknown id that asks no store.
    ApplicationId();

private:
    int unknownResult() const;

    std::shared_ptr<const BackupsetStore> store_;
    unsigned long appId_;
    bool known_ = false;
    AppIdInfo info_;
    std::unique_ptr<Fleet> fleet_;
    std::unique_ptr<BackupSet> backupSet_;
    std::unique_ptr<Subclient> subclient_;
};

#endif
