// Does a subclient back up a path: its scan start points and nodirs in the
// whole-tree directory list, then its content history.
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConfPrivate.h"

#include <new>

// Every message of one pathTest call carries pathTest's own signature.
#define PATHTEST_LOG(level, ...) TLOG_CALL(&conf_, level, __VA_ARGS__)

namespace {

// The entries of the subclient's chain as the walk meets them, and the nodirs
// of each: every one of them, or only those the kept list's index says can
// concern the path (the others answer no and are passed over).
class ChainWalk {
public:
    virtual ~ChainWalk() = default;
    // 0 with the next entry (null past the last), -1 when the list fails.
    virtual int nextEntry(FSSubclientDir*& entry) = 0;
    // The nodir after previous (the first when null) of the entry last returned.
    virtual const FSSubclientDir* nextNodir(const FSSubclientDir* previous) = 0;
    // The entry, or the nodir, last returned is known to name the path or an
    // ancestor of it: its test would answer yes.
    virtual bool entryNamesPrefix() const { return false; }
    virtual bool nodirNamesPrefix() const { return false; }
};

class WholeChain : public ChainWalk {
public:
    WholeChain(FSSubclientDirlist& list, int scNum) : list_(list), scNum_(scNum) {}
    int nextEntry(FSSubclientDir*& entry) override
    {
        int walk = started_ ? list_.getNext(&entry) : list_.getFirst(scNum_, &entry);
        started_ = true;
        entry_ = entry;
        return walk;
    }
    const FSSubclientDir* nextNodir(const FSSubclientDir* previous) override
    {
        return previous ? previous->nextNodir : entry_->nodirs;
    }

private:
    FSSubclientDirlist& list_;
    int scNum_;
    bool started_ = false;
    const FSSubclientDir* entry_ = nullptr;
};

class IndexedChain : public ChainWalk {
public:
    explicit IndexedChain(const std::vector<const FSKeptListIndex::Item*>& items) : items_(items) {}
    int nextEntry(FSSubclientDir*& entry) override
    {
        while (next_ < items_.size() && started_ && items_[next_]->entryOrder == entryOrder_)
            ++next_;
        started_ = true;
        entry = nullptr;
        entryNamesPrefix_ = false;
        if (next_ < items_.size()) {
            entry = items_[next_]->entry;
            entryOrder_ = items_[next_]->entryOrder;
            if (items_[next_]->nodirOrder == 0)
                entryNamesPrefix_ = items_[next_++]->namesPrefix;
        }
        return 0;
    }
    const FSSubclientDir* nextNodir(const FSSubclientDir*) override
    {
        if (next_ < items_.size() && items_[next_]->entryOrder == entryOrder_) {
            nodirNamesPrefix_ = items_[next_]->namesPrefix;
            return items_[next_++]->nodir;
        }
        return nullptr;
    }
    bool entryNamesPrefix() const override { return entryNamesPrefix_; }
    bool nodirNamesPrefix() const override { return nodirNamesPrefix_; }

private:
    const std::vector<const FSKeptListIndex::Item*>& items_;
    std::size_t next_ = 0;
    uint32_t entryOrder_ = 0;
    bool started_ = false;
    bool entryNamesPrefix_ = false;
    bool nodirNamesPrefix_ = false;
};

// One pathTest call.
class PathClassifier {
public:
    PathClassifier(FSSubclientConf& conf, CFSSubclientConfPrivate& d, const char* path, int scNum)
        : conf_(conf), d_(d), path_(path), scNum_(scNum), normalized_(d.pathTestPath)
    {}
    int run();

private:
    FSSubclientDirlist* keptList();
    int classify(FSSubclientDirlist& list);
    int classify(ChainWalk& chain);
    int mayHold(ChainWalk& chain, const FSSubclientDir& entry, const FSSubclientDir*& heldBy);
    int couldHold(const FSSubclientDir& entry);
    int nodirHolding(ChainWalk& chain, const FSSubclientDir*& holder);
    static bool isBelow(const FSSubclientDir& entry, const FSSubclientDir& nodir);
    const char* scanName(const FSSubclientDir& entry);
    int claimed();
    int fallBack(const FSSubclientDir* heldBy);

    FSSubclientConf& conf_;
    CFSSubclientConfPrivate& d_;
    const char* path_;  // as given, for the messages
    int scNum_;
    std::string& normalized_;  // kept by the configuration: no allocation per call
    char delim_ = 0;
    std::string converted_;
};

int PathClassifier::run()
{
    PATHTEST_LOG(3, "*** pathTest path='%s', sc_num=%d ***", path_, scNum_);
    if (!d_.root) {
        PATHTEST_LOG(1, "No tree");
        return -1;
    }
    if (scNum_ < 1 || scNum_ > d_.numSubclients) {
        PATHTEST_LOG(1, "('%s', %d): bad subclient number", path_, scNum_);
        return -1;
    }
    d_.pathTestInput.assign(path_);
    delim_ = conf_.fixPath(d_.pathTestInput, normalized_, false);
    if (!delim_) {
        PATHTEST_LOG(1, "(%s, %d): invalid path", path_, scNum_);
        return -1;
    }
    FSPatternCache::Session keepParsed(d_.pathTestPatterns);
    FSSubclientDirlist* list = keptList();
    return list ? classify(*list) : -1;
}

// The sorted whole-tree list for the root of the path's delimiter. A list kept
// from an earlier call is reused while nothing that shapes it has changed:
// every such change drops it (dropPathTestDirlist).
FSSubclientDirlist* PathClassifier::keptList()
{
    if (d_.pathTestDirlistReusable(delim_))
        return d_.pathTestDirlist;
    d_.dropPathTestDirlist();
    const char root[] = {delim_, '\0'};
    d_.pathTestDirlist = conf_.createDirlist(root, false);
    if (!d_.pathTestDirlist) {
        PATHTEST_LOG(1, "(%s, %d): createDirlist failed", path_, scNum_);
        return nullptr;
    }
    // An unsorted list stays kept but is not reusable: pathTestDelim stays 0.
    if (d_.pathTestDirlist->sort() < 0) {
        PATHTEST_LOG(1, "(%s, %d): sort failed", path_, scNum_);
        return nullptr;
    }
    d_.pathTestDelim = delim_;
    return d_.pathTestDirlist;
}

// The index serves plain paths; the image-volume types convert names as they
// test them, type 106 decides at the first entry, and the per-entry trace
// records are written as the whole walk meets the entries.
int PathClassifier::classify(FSSubclientDirlist& list)
{
    std::vector<const FSKeptListIndex::Item*>& items = d_.pathTestCandidates;
    bool indexed = d_.appType != 65 && d_.appType != 75 && d_.appType != 106 && !kxLogApplies(3) &&
                   (d_.pathTestIndex.built() || d_.pathTestIndex.build(list, d_.numSubclients, d_.caseSensitive)) &&
                   d_.pathTestIndex.candidates(normalized_.c_str(), scNum_, items);
    if (indexed) {
        IndexedChain chain(items);
        return classify(chain);
    }
    WholeChain chain(list, scNum_);
    return classify(chain);
}

// The first scan start point of the subclient that could contain the path
// decides: the subclient backs it up unless one of the entry's nodirs holds
// all of it. Such a nodir may in turn hold a deeper scan start point of the
// same subclient (it follows in pre-order), which takes the path back; only
// entries inside the holding nodir get that chance, and when none takes it the
// history decides.
int PathClassifier::classify(ChainWalk& chain)
{
    FSSubclientDir* entry = nullptr;
    const FSSubclientDir* heldBy = nullptr;
    int walk = chain.nextEntry(entry);
    if (walk == 0 && scNum_ == 1) {
        // The default subclient scans from the root entry: only its nodirs can hand the path on.
        if (entry && nodirHolding(chain, heldBy) < 0)
            return -1;
        if (!heldBy)
            return claimed();
        walk = chain.nextEntry(entry);
    }
    for (; walk == 0 && entry; walk = chain.nextEntry(entry)) {
        if (heldBy && !isBelow(*entry, *heldBy))
            continue;
        int r = mayHold(chain, *entry, heldBy);
        if (r != 0)
            return r;
    }
    return walk < 0 ? -1 : fallBack(heldBy);
}

bool PathClassifier::isBelow(const FSSubclientDir& entry, const FSSubclientDir& nodir)
{
    for (const FSSubclientDir* up = entry.parent; up; up = up->parent)
        if (up == &nodir)
            return true;
    return false;
}

// 1 when entry claims the path, -1 on failure, 0 to go on (heldBy becomes the nodir of entry that holds it).
int PathClassifier::mayHold(ChainWalk& chain, const FSSubclientDir& entry, const FSSubclientDir*& heldBy)
{
    if (d_.appType == 106)
        return 1;
    int r = chain.entryNamesPrefix() ? 1 : couldHold(entry);
    if (r < 0) {
        PATHTEST_LOG(1, "('%s', %d): dirname test failed (%s and %s)", path_, scNum_, scanName(entry),
                     normalized_.c_str());
        return -1;
    }
    if (r == 0)
        return 0;
    const FSSubclientDir* holder = nullptr;
    if (nodirHolding(chain, holder) < 0)
        return -1;
    if (!holder)
        return claimed();
    heldBy = holder;
    return 0;
}

int PathClassifier::couldHold(const FSSubclientDir& entry)
{
    const char* name = scanName(entry);
    PATHTEST_LOG(3, "%d: calling dirnameTest dirname='%s' pattern='%s'", scNum_, name, normalized_.c_str());
    int r = d_.dirnameTest(name, normalized_.c_str(), delim_, entry.isWildcard);
    PATHTEST_LOG(3, "%d: dirname '%s' pattern '%s' returns %d", scNum_, name, normalized_.c_str(), r);
    return r;
}

// Finds the first nodir of the chain's current entry that holds all of the
// path (holder stays null when none does); -1 on failure.
int PathClassifier::nodirHolding(ChainWalk& chain, const FSSubclientDir*& holder)
{
    for (const FSSubclientDir* nodir = chain.nextNodir(nullptr); nodir; nodir = chain.nextNodir(nodir)) {
        int r = chain.nodirNamesPrefix()
                    ? d_.heldThroughWindow(nodir, normalized_.c_str())
                    : conf_.completelyContains(nodir->name, normalized_.c_str(), delim_, nodir->isWildcard);
        if (r < 0) {
            PATHTEST_LOG(1, "('%s', %d): containment test failed (%s and %s)", path_, scNum_, nodir->name,
                         normalized_.c_str());
            return -1;
        }
        if (r > 0) {
            holder = nodir;
            return 0;
        }
        PATHTEST_LOG(3, "%d: nodirNode '%s', continue", scNum_, nodir->name);
    }
    return 0;
}

// Image-volume names are scanned with the path's delimiter in place of their
// marker. The conversion works on a copy: the same entry is a nodir of other
// subclients, where a kept list must show the name as built.
const char* PathClassifier::scanName(const FSSubclientDir& entry)
{
    if (d_.appType != 65 && d_.appType != 75)
        return entry.name;
    converted_.assign(entry.name);
    imageVolumeNameToPath(&converted_[0], d_.pathTestDelim);
    return converted_.c_str();
}

int PathClassifier::claimed()
{
    PATHTEST_LOG(3, scNum_ == 1 ? "%d: returns 1" : "%d: pathTest returns 1", scNum_);
    return 1;
}

int PathClassifier::fallBack(const FSSubclientDir* heldBy)
{
    int h = d_.pathTestHistory(normalized_.c_str(), delim_, scNum_);
    if (heldBy)
        PATHTEST_LOG(3, scNum_ == 1 ? "%d: nodirNode '%s', returns %d" : "%d: nodirNode '%s', pathTest returns %d",
                     scNum_, heldBy->name, h);
    else
        PATHTEST_LOG(3, "%d: pathTest returns %d", scNum_, h);
    return h;
}

}  // namespace

// A list built before a subclient was added, or before the application type
// changed (its names may be converted for another one), is not reused either.
bool CFSSubclientConfPrivate::pathTestDirlistReusable(char delim)
{
    return pathTestDirlist && pathTestDelim == delim && pathTestDirlist->numSubclients == numSubclients &&
           pathTestDirlist->appType == appType;
}

void CFSSubclientConfPrivate::dropPathTestDirlist()
{
    delete pathTestDirlist;
    pathTestDirlist = nullptr;
    pathTestDelim = 0;
    pathTestPatterns.clear();
    pathTestIndex.clear();
}

int FSSubclientConf::pathTest(const char* path, int scNum)
{
    TCALL_ORIGIN();
    try {
        return PathClassifier(*this, *d, path ? path : "", scNum).run();
    } catch (const std::bad_alloc&) {
        TLOG(-1, "%s", kFSOutOfMemory);
        return -1;
    }
}

int FSSubclientConf::pathTest(const char* path, const char* scName)
{
    int scNum = scName ? nameToNumber(scName) : -1;
    return scNum < 1 ? -1 : pathTest(path, scNum);
}
