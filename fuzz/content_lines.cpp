// Sequences of setName and setPath, then the queries: the table stays
// consistent, directory lists build, sort, merge and walk, and a
// configuration that was queried while it was being filled answers (scan
// lists, pathTest) as one filled without queries does.
//
// Input lines: TAB name -> setName, '?' path -> a probe path, other -> setPath;
// the last bytes choose the application type and the switches.
#include "ConfQueries.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

const int kAppTypes[] = {1, 6, 29, 65};
const size_t kMaxLines = 64;

struct Script {
    int appType;
    bool allowOverlap;
    bool caseSensitive;
    bool startRestore;
    std::vector<std::string> lines;
    std::vector<std::string> probes;
};

// Fills conf; with askOnTheWay, the probes are queried after every line.
void fill(FSSubclientConf& conf, const Script& script, bool askOnTheWay)
{
    conf.setAllowOverlapSCContent(script.allowOverlap);
    conf.setCalledFromStartRestore(script.startRestore);
    if (script.caseSensitive)
        conf.caseSensitive();
    for (const std::string& line : script.lines) {
        const int result = line[0] == '\t' ? conf.setName(line.c_str() + 1) : conf.setPath(line.c_str());
        FUZZ_CHECK(result == 0 || result == -1 || result == -2);
        if (askOnTheWay) {
            pathTests(conf, script.probes);
            exerciseDirlists(conf, script.probes, false);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzQuietLog();
    FuzzedDataProvider input(data, size);
    Script script;
    script.appType = kAppTypes[input.ConsumeIntegralInRange<int>(0, 3)];
    script.allowOverlap = input.ConsumeBool();
    script.caseSensitive = input.ConsumeBool();
    script.startRestore = input.ConsumeBool();
    for (const std::string& line : fuzzLines(data, input.remaining_bytes())) {
        if (line.empty() || line.find('\0') != std::string::npos)
            continue;
        if (line[0] == '?')
            script.probes.push_back(line.substr(1));
        else if (script.lines.size() < kMaxLines)
            script.lines.push_back(line);
    }
    script.probes.resize(std::min<size_t>(script.probes.size(), 8));

    FSSubclientConf asked(script.appType), quiet(script.appType);
    fill(asked, script, true);
    fill(quiet, script, false);
    checkTable(asked);
    FUZZ_CHECK(asked.getNumSubclients() == quiet.getNumSubclients());
    FUZZ_CHECK(scanLists(asked) == scanLists(quiet));
    FUZZ_CHECK(pathTests(asked, script.probes) == pathTests(quiet, script.probes));
    exerciseDirlists(asked, script.probes, true);
    exerciseDirlists(quiet, script.probes, false);
    return 0;
}
