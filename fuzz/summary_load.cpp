// The configuration text of a summary load: any text loads or fails with -1,
// the object answers its queries afterwards, and loading the same text again
// gives the same table and the same pathTest answers.
//
// Input: the configuration text; the last bytes give the number of
// application ids, the default-only switch and the application type.
#include "ConfQueries.h"
#include "platform/ApplicationId.h"
#include "platform/SubclientConfSummary.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <sstream>

namespace {

// Serves a fixed text and fixed ids, asking no store.
class FuzzSummary : public SubclientConfSummary {
public:
    FuzzSummary(const std::string& text, std::vector<unsigned long> ids) : stream_(text), ids_(std::move(ids)) {}
    std::istream* getConfigStream(void*) override { return &stream_; }
    int lookupAppIds(std::vector<unsigned long>& ids, void*, void*) override
    {
        ids = ids_;
        return 0;
    }

private:
    std::istringstream stream_;
    std::vector<unsigned long> ids_;
};

const int kAppTypes[] = {1, 8, 29, 67};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzQuietLog();
    FuzzedDataProvider input(data, size);
    const size_t idCount = input.ConsumeIntegralInRange<size_t>(0, 8);
    const bool defaultOnly = input.ConsumeBool();
    const int appType = kAppTypes[input.ConsumeIntegralInRange<int>(0, 3)];
    const std::string text = input.ConsumeRemainingBytesAsString();
    std::vector<unsigned long> ids;
    for (size_t i = 0; i < idCount; ++i)
        ids.push_back(1000 + i);

    // Probes: the content lines themselves and a parent of each.
    std::vector<std::string> probes;
    for (const std::string& line : fuzzLines(reinterpret_cast<const uint8_t*>(text.data()), text.size()))
        if (probes.size() < 6 && !line.empty() && line[0] != '\t' && line[0] != '\x12' &&
            line.find('\0') == std::string::npos) {
            probes.push_back(line);
            probes.push_back(line.substr(0, line.rfind('/') + 1));
        }

    FSSubclientConf first(appType), second(appType);
    FuzzSummary summary(text, ids), again(text, ids);
    const int loaded = first.load(&summary, defaultOnly);
    FUZZ_CHECK(loaded == 0 || loaded == -1);
    FUZZ_CHECK(second.load(&again, defaultOnly) == loaded);
    checkTable(first);
    FUZZ_CHECK(first.getNumSubclients() == second.getNumSubclients());
    for (int n = 1; n <= first.getNumSubclients(); ++n)
        FUZZ_CHECK(first.numberToAppId(n) == second.numberToAppId(n));
    FUZZ_CHECK(pathTests(first, probes) == pathTests(second, probes));
    exerciseDirlists(first, probes, false);
    return 0;
}
