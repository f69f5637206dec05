// Configurations and stores from fuzzed input. The last input byte picks
// which, the bytes before it are the input:
//   0: lines: TAB name -> setName, '?' path -> a probe path, other ->
//      setPath; the last bytes choose the application type and the switches.
//      A configuration queried after every line answers (scan lists,
//      pathTest) as one filled without queries does;
//   1: the configuration text of a summary load, which loads or fails with
//      -1; the last bytes give the number of application ids, the
//      default-only switch and the application type;
//   2: a backup-set store text, read or refused with a message; an accepted
//      store writes itself out as text that reads back the same, and its
//      configuration text has one header line per subclient at any time;
//   3: a path to normalize, both forms: the result has the normalized shape,
//      normalizing it again changes nothing, and the C-string form agrees
//      with the string form wherever the two are meant to agree, writing no
//      further than the room its caller is told to give; the last bytes
//      choose the application type and the switches;
//   4: the test console: the input up to its first form feed is the
//      definition file, the rest is standard input. Whatever both hold, the
//      console ends with 0 or 1. It prints its dialogue on standard output:
//      run the target with -close_fd_mask=1, as scripts/fuzz-smoke does.
// A filled configuration keeps its subclient table consistent, its directory
// lists build, sort, merge and walk, and pathTest answers from its index as
// it does walking every entry.
#include "FuzzSupport.h"
#include "console/scMain.h"
#include "dirlist/FSCallback.h"
#include "dirlist/FSSubclientDirList.h"
#include "platform/BackupsetStore.h"
#include "subclient/FSSubclientConf.h"
#include "../tests/subclient/TextSummary.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Walks and lists are bounded: a cycle is a finding, not a hang.
const int kWalkLimit = 100000;

void checkTable(FSSubclientConf& conf)
{
    const int count = conf.getNumSubclients();
    FUZZ_CHECK(count >= 1);
    for (int n = 1; n <= count; ++n) {
        const char* name = conf.numberToName(n);
        FUZZ_CHECK(name != nullptr && conf.nameToNumber(name) == n);
    }
    FUZZ_CHECK(conf.numberToName(count + 1) == nullptr);
    FUZZ_CHECK(conf.getErrCode() >= FS_NO_ERROR && conf.getErrCode() <= FS_NOTHING_TO_REPLAY);
}

// Every subclient's entries and the browse children.
void walkList(FSSubclientDirlist& list, int subclients)
{
    int seen = 0;
    for (int n = 1; n <= subclients; ++n) {
        FSSubclientDir* dir = nullptr;
        if (list.getFirst(n, &dir) != 0)
            continue;
        for (; dir; list.getNext(&dir))
            FUZZ_CHECK(dir->name != nullptr && ++seen < kWalkLimit);
    }
    TBrowseItem item;
    for (bool more = list.getFirstBrowseItem(item, nullptr); more; more = list.getNextBrowseItem(item, nullptr))
        FUZZ_CHECK(++seen < 2 * kWalkLimit);
}

// Every subclient's scan start points and nodirs, as one text.
std::string scanLists(FSSubclientConf& conf)
{
    struct Lines : FSCallback {
        int putLine(const char* line) override
        {
            FUZZ_CHECK(line != nullptr && text.size() < 16 * 1024 * 1024);
            text += std::string(line) + "\n";
            return 0;
        }
        std::string text;
    } lines;
    for (int n = 1; n <= conf.getNumSubclients(); ++n) {
        lines.text += "dirnames " + std::to_string(conf.dirnames(&lines, n)) + "\n";
        lines.text += "nodirs " + std::to_string(conf.nodirs(&lines, n)) + "\n";
    }
    return lines.text;
}

// Checks the table; gives the answers of pathTest for every probe and
// subclient, in order. With the traces off, pathTest answers from its index
// instead of walking every entry: both must agree. Then lists for the root and
// for each probe path, sorted and merged into the root's list, which is walked
// after each merge.
std::vector<int> query(FSSubclientConf& conf, const std::vector<std::string>& probes, bool strict)
{
    checkTable(conf);
    std::vector<int> answers;
    for (const std::string& probe : probes)
        for (int n = 1; n <= conf.getNumSubclients(); ++n) {
            const int answer = conf.pathTest(probe.c_str(), n);
            FUZZ_CHECK(answer >= -1 && answer <= 1);
            FuzzLogWriter::level = 0;
            FUZZ_CHECK(conf.pathTest(probe.c_str(), n) == answer);
            FuzzLogWriter::level = 192;
            answers.push_back(answer);
        }
    std::unique_ptr<FSSubclientDirlist> whole(conf.createDirlist("/", strict));
    if (!whole)
        return answers;
    whole->sort();
    walkList(*whole, conf.getNumSubclients());
    for (const std::string& probe : probes) {
        FSSubclientDirlist* part = conf.createDirlist(probe.c_str(), strict);
        if (!part)
            continue;
        part->sort();
        whole->merge(part);  // destroys part
        walkList(*whole, conf.getNumSubclients());
    }
    return answers;
}

// TAB name -> setName, other -> setPath.
int setLine(FSSubclientConf& conf, const std::string& line)
{
    const int result = line[0] == '\t' ? conf.setName(line.c_str() + 1) : conf.setPath(line.c_str());
    FUZZ_CHECK(result == 0 || result == -1 || result == -2);
    return result;
}

void contentLines(FuzzedDataProvider& input, const std::string& text)
{
    const int appType = input.PickValueInArray({1, 6, 29, 65});
    const bool allowOverlap = input.ConsumeBool(), caseSensitive = input.ConsumeBool(),
               startRestore = input.ConsumeBool();
    FSSubclientConf asked(appType), quiet(appType);
    for (FSSubclientConf* conf : {&asked, &quiet}) {
        conf->setAllowOverlapSCContent(allowOverlap);
        conf->setCalledFromStartRestore(startRestore);
        if (caseSensitive)
            conf->caseSensitive();
    }
    std::vector<std::string> lines, probes;
    for (const std::string& line : fuzzLines(text.substr(0, input.remaining_bytes()))) {
        if (line.empty() || line.find('\0') != std::string::npos)
            continue;
        if (line[0] == '?' && probes.size() < 8)
            probes.push_back(line.substr(1));
        else if (line[0] != '?' && lines.size() < 64)
            lines.push_back(line);
    }
    // Only asked is queried on the way; the queries must change no outcome.
    for (const std::string& line : lines) {
        FUZZ_CHECK(setLine(asked, line) == setLine(quiet, line));
        query(asked, probes, false);
    }
    FUZZ_CHECK(scanLists(asked) == scanLists(quiet));
    FUZZ_CHECK(query(asked, probes, true) == query(quiet, probes, false));
}

void summaryLoad(FuzzedDataProvider& input, const std::string&)
{
    std::vector<unsigned long> ids;
    for (size_t i = input.ConsumeIntegralInRange<size_t>(0, 8); i > 0; --i)
        ids.push_back(1000 + ids.size());
    const bool defaultOnly = input.ConsumeBool();
    const int appType = input.PickValueInArray({1, 8, 29, 67});
    const std::string text = input.ConsumeRemainingBytesAsString();

    // Probes: the content lines themselves and a parent of each.
    std::vector<std::string> probes;
    for (const std::string& line : fuzzLines(text))
        if (probes.size() < 6 && !line.empty() && line[0] != '\t' && line[0] != '\x12' &&
            line.find('\0') == std::string::npos) {
            probes.push_back(line);
            probes.push_back(line.substr(0, line.rfind('/') + 1));
        }

    FSSubclientConf conf(appType);
    TextSummary summary(text, ids);
    const int loaded = conf.load(&summary, defaultOnly);
    FUZZ_CHECK(loaded == 0 || loaded == -1);
    query(conf, probes, false);
}

void checkConfigText(const BackupsetStore& store, uint32_t time)
{
    std::string text;
    std::vector<unsigned long> appIds;
    store.configText(time, text, appIds);
    FUZZ_CHECK(appIds.size() == store.subclients.size());
    FUZZ_CHECK(text.empty() || text.back() == '\n');
    size_t headers = 0;
    for (const std::string& line : fuzzLines(text))
        headers += !line.empty() && line[0] == '\t';
    FUZZ_CHECK(headers == store.subclients.size());
}

void storeText(FuzzedDataProvider&, const std::string& text)
{
    const std::string untouched = BackupsetStore().toText();
    BackupsetStore store;
    std::string error;
    if (store.parse("fuzz.backupset", fuzzLines(text), error) != 0) {
        FUZZ_CHECK(error.rfind("Backup set store 'fuzz.backupset'", 0) == 0);
        FUZZ_CHECK(store.toText() == untouched);
        return;
    }
    FUZZ_CHECK(store.defaultSubclient() != nullptr);
    for (const BackupsetStoreSubclient& sc : store.subclients) {
        FUZZ_CHECK(store.findSubclient(sc.id) == &sc);
        FUZZ_CHECK(store.findSubclientByAppId(sc.appId) == &sc);
        FUZZ_CHECK(store.findSubclientByName(sc.name) == &sc);
    }
    BackupsetStore again;
    FUZZ_CHECK(again.parse("again", fuzzLines(store.toText()), error) == 0);
    FUZZ_CHECK(again.toText() == store.toText());
    checkConfigText(store, 0);
    checkConfigText(store, UINT32_MAX);
    for (const BackupsetStoreContent& entry : store.content)
        checkConfigText(store, entry.created);
}

void checkShape(const std::string& out, char d)
{
    FUZZ_CHECK(!out.empty() && out[0] == d);
    FUZZ_CHECK(out.find(std::string(2, d)) == std::string::npos);
    FUZZ_CHECK(out.size() == 1 || out.back() != d);
}

void normalize(FuzzedDataProvider& input, const std::string&)
{
    // Types with and without slash interchange; one object per type for the
    // whole run, since normalizing changes no state.
    static FSSubclientConf confs[] = {1, 6, 29, 90};
    FSSubclientConf& conf = confs[input.ConsumeIntegralInRange<size_t>(0, 3)];
    const bool interchange = input.ConsumeBool(), fixSlashes = input.ConsumeBool();
    const std::string in = input.ConsumeRemainingBytesAsString();

    conf.SetUseDelimiterInterchangeably(interchange);
    std::string out;
    const char d = conf.fixPath(in, out, fixSlashes);
    FUZZ_CHECK((d == 0) == in.empty());
    if (in.empty() || in[0] == '<') {
        FUZZ_CHECK(out == in);
        return;
    }
    checkShape(out, d);
    std::string again;
    FUZZ_CHECK(conf.fixPath(out, again, fixSlashes) == d && again == out);

    // The C form stops at the first NUL and has exactly the promised room.
    const std::string text = in.substr(0, in.find('\0'));
    std::unique_ptr<char[]> room(new char[text.size() + 2]);
    const char cd = conf.fixPath(text.c_str(), room.get(), fixSlashes);
    std::string expected;
    const char sd = conf.fixPath(text, expected, fixSlashes);
    if (cd == 0)
        return;
    FUZZ_CHECK(strlen(room.get()) <= text.size() + 1);
    checkShape(room.get(), cd);
    // The forms differ by design for texts without a delimiter, for '<'
    // names and for slash interchange in '/' paths.
    if (!text.empty() && text[0] != '<' && expected.compare(0, 4, "/**/") != 0 && expected.compare(0, 2, "/%") != 0 &&
        !(interchange && sd == '/'))
        FUZZ_CHECK(cd == sd && expected == room.get());
}

// A file in memory for the life of the process, opened by its name.
struct MemoryFile {
    const int fd = memfd_create("fuzz_console", 0);
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    void write(const std::string& text) const
    {
        FUZZ_CHECK(ftruncate(fd, 0) == 0);
        FUZZ_CHECK(pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()));
    }
};

void console(FuzzedDataProvider&, const std::string& input)
{
    static const MemoryFile definitions, answers;
    const size_t split = input.find('\f');
    definitions.write(input.substr(0, split));
    answers.write(split == std::string::npos ? std::string() : input.substr(split + 1));
    // Afterwards standard input is empty again, so nothing left unread reaches the next run.
    FUZZ_CHECK(freopen(answers.path.c_str(), "r", stdin) != nullptr);
    const int result = scMain(definitions.path.c_str());
    FUZZ_CHECK(freopen("/dev/null", "r", stdin) != nullptr);
    FUZZ_CHECK(result == 0 || result == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzRun(data, size, {contentLines, summaryLoad, storeText, normalize, console});
}
