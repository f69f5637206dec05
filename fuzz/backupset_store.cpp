// The backup-set store reader: any text is read or refused with a message;
// an accepted store writes itself out as text that reads back the same, and
// its configuration text has one header line per subclient.
#include "FuzzSupport.h"
#include "platform/BackupsetStore.h"

#include <algorithm>

namespace {

size_t headerLines(const std::string& configText)
{
    size_t count = 0;
    for (size_t start = 0; start < configText.size(); start = configText.find('\n', start) + 1)
        count += configText[start] == '\t';
    return count;
}

void checkConfigText(const BackupsetStore& store, uint32_t time)
{
    std::string text;
    std::vector<unsigned long> appIds;
    store.configText(time, text, appIds);
    FUZZ_CHECK(appIds.size() == store.subclients.size());
    FUZZ_CHECK(headerLines(text) == store.subclients.size());
    FUZZ_CHECK(text.empty() || text.back() == '\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzQuietLog();
    const std::string untouched = BackupsetStore().toText();
    BackupsetStore store;
    std::string error;
    if (store.parse("fuzz.backupset", fuzzLines(data, size), error) != 0) {
        FUZZ_CHECK(error.rfind("Backup set store 'fuzz.backupset'", 0) == 0);
        FUZZ_CHECK(store.toText() == untouched);
        return 0;
    }
    FUZZ_CHECK(store.defaultSubclient() != nullptr);
    for (const BackupsetStoreSubclient& sc : store.subclients) {
        FUZZ_CHECK(store.findSubclient(sc.id) == &sc);
        FUZZ_CHECK(store.findSubclientByAppId(sc.appId) == &sc);
        FUZZ_CHECK(store.findSubclientByName(sc.name) == &sc);
    }

    const std::string text = store.toText();
    BackupsetStore again;
    FUZZ_CHECK(again.parse("again", fuzzLines(reinterpret_cast<const uint8_t*>(text.data()), text.size()), error) == 0);
    FUZZ_CHECK(again.toText() == text);

    checkConfigText(store, 0);
    checkConfigText(store, UINT32_MAX);
    for (const BackupsetStoreContent& entry : store.content)
        checkConfigText(store, entry.created);
    return 0;
}
