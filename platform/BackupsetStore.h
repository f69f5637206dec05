// The backup-set store: one backup set's configuration and content history,
// read from a text file (format in docs/backupset-format.md), and the
// process-wide current store that the configuration-service classes consult
// (ApplicationId, Subclient, SubclientConfSummary, SubclientIdFromName,
// BackupsetContent).
#ifndef SUBCLIENTCONF_PLATFORM_BACKUPSETSTORE_H
#define SUBCLIENTCONF_PLATFORM_BACKUPSETSTORE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Results of the configuration-service operations (0 = success).
enum KXConfigResult {
    KX_CONFIG_OK = 0,
    KX_CONFIG_NO_STORE = 1,      // no store is open
    KX_CONFIG_NOT_FOUND = 2,     // the id or name is not in the store
    KX_CONFIG_BAD_ARGUMENT = 3,  // an argument the service does not offer
    KX_CONFIG_NO_MEMORY = 4
};

struct BackupsetStoreSubclient {
    uint32_t id = 0;  // 1 to 2147483647
    uint32_t appId = 0;
    bool isDefault = false;
    std::string name;
};

// One content entry; present at time T when created <= T and (modified == 0 or modified >= T).
struct BackupsetStoreContent {
    uint32_t subclientId = 0;
    uint32_t created = 0;
    uint32_t modified = 0;    // 0: still present
    std::string path;         // with the wildcard marker for wildcard content
    std::string displayName;  // empty: none
};

class BackupsetStore {
public:
    std::string fileName;  // where it was read from; names the store in messages
    uint32_t id = 0;
    int appType = 0;
    uint32_t fleetId = 0;
    bool onDemand = false;
    std::vector<BackupsetStoreSubclient> subclients;  // in file order
    std::vector<BackupsetStoreContent> content;       // in file order

    // Reads a store text; on failure returns -1 with a message naming the
    // file, the line and the problem, and leaves the store untouched.
    int parse(const std::string& name, const std::vector<std::string>& lines, std::string& error);
    // The file text of the store; parse reads it back to an equal store.
    std::string toText() const;
    // The configuration text at a time: for each subclient in file order, its
    // header line (TAB, name), then each content entry present at the time
    // (the path, then 0x12 and the display name when there is one), each line
    // ended by "\n"; appIds receives one application id per header line.
    void configText(uint32_t time, std::string& text, std::vector<unsigned long>& appIds) const;

    const BackupsetStoreSubclient* findSubclient(uint32_t subclientId) const;
    const BackupsetStoreSubclient* findSubclientByAppId(uint32_t appId) const;
    const BackupsetStoreSubclient* findSubclientByName(const std::string& name) const;
    const BackupsetStoreSubclient* defaultSubclient() const;

    static bool isPresent(const BackupsetStoreContent& entry, uint32_t time);
};

// Reads the store file and makes it current, replacing the store before; 0 on
// success. On failure -1, the error (also logged) in *error when not null,
// and the current store stays as it was.
int kxOpenBackupsetStore(const char* path, std::string* error);
// No store is current afterwards; the next use opens SUBCLIENTCONF_BACKUPSET again.
void kxCloseBackupsetStore();
// The current store, or null. While none is current, the file named by the
// environment variable SUBCLIENTCONF_BACKUPSET (when set) is opened.
std::shared_ptr<const BackupsetStore> kxCurrentBackupsetStore();

#endif
