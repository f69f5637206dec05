// Could a directory contain a pattern, does it contain all of it (over the
// loaded history window), and did a subclient's past content hold a path.
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConfPrivate.h"

#include <algorithm>
#include <new>

namespace {

const char* textOf(const char* text)
{
    return text ? text : "";
}

// The two sides of one pattern test, parsed in the modes the test needs.
// Failures are logged on behalf of the test that asked (the call the object serves).
class PatternPair {
public:
    explicit PatternPair(CFSSubclientConfPrivate& d) : d_(d) {}

    bool parse(const char* dirname, const char* pattern, bool isWildcard)
    {
        directory_ = d_.pathTestPatterns.parse(textOf(dirname), isWildcard ? PathModeLastWild : PathModeLiteral,
                                               directoryScratch_);
        if (!directory_) {
            TLOG_CALL(d_.owner, 1, "Cannot parse dirname '%s' (%s)", textOf(dirname),
                      isWildcard ? "wild card" : "literal");
            return false;
        }
        pattern_ = d_.pathTestPatterns.parse(textOf(pattern), PathModeAllWild, patternScratch_);
        if (!pattern_) {
            TLOG_CALL(d_.owner, 1, "Cannot parse pattern '%s'", textOf(pattern));
            return false;
        }
        return true;
    }
    bool couldContain() { return directory_->couldContain(*pattern_, d_.caseSensitive); }
    bool completelyContains() { return directory_->completelyContains(*pattern_, d_.caseSensitive); }

private:
    CFSSubclientConfPrivate& d_;
    WCPath directoryScratch_;
    WCPath patternScratch_;
    WCPath* directory_ = nullptr;
    WCPath* pattern_ = nullptr;
};

bool stoodThrough(const CFSSubclientConfPrivate& d, const char* dirname, const char* pattern, const FSPlayback& record)
{
    if (record.kind != FSPlayback::kindPath || d.compare(record.text.c_str(), dirname) != 0)
        return true;
    if (record.created > d.historyFromTime) {
        TLOG_CALL(d.owner, 3, "'%s' is NOT completely contained in '%s' as %lu > %lu", pattern, dirname,
                  static_cast<unsigned long>(record.created), d.historyFromTime);
        return false;
    }
    if (record.modified != 0 && record.modified <= d.historyToTime) {
        TLOG_CALL(d.owner, 3, "'%s' is NOT completely contained in '%s' as %lu <= %lu", pattern, dirname,
                  static_cast<unsigned long>(record.modified), d.historyToTime);
        return false;
    }
    return true;
}

// With a history window loaded, a directory that is content of its own holds
// a pattern for the whole window only when it stood as content from before the
// window began until after it ended. Every record of that content must say so.
bool stoodThroughWindow(CFSSubclientConfPrivate& d, const char* dirname, const char* pattern)
{
    if (!d.historyWindowLoaded())
        return true;
    if (const std::vector<uint32_t>* named = d.historyIndex.pathRecords(d.replayVec, d.caseSensitive, dirname))
        return std::all_of(named->begin(), named->end(),
                           [&](uint32_t i) { return stoodThrough(d, dirname, pattern, d.replayVec[i]); });
    return std::all_of(d.replayVec.begin(), d.replayVec.end(),
                       [&](const FSPlayback& record) { return stoodThrough(d, dirname, pattern, record); });
}

}  // namespace

int CFSSubclientConfPrivate::heldThroughWindow(const FSSubclientDir* nodir, const char* pattern)
{
    // Read the nodir only when a window asks for its name.
    if (!historyWindowLoaded())
        return 1;
    return stoodThroughWindow(*this, nodir->name, pattern) ? 1 : 0;
}

int CFSSubclientConfPrivate::dirnameTest(const char* dirname, const char* pattern, char, bool isWildcard)
{
    const TCallOrigin reporting(owner, __PRETTY_FUNCTION__);
    PatternPair pair(*this);
    if (!pair.parse(dirname, pattern, isWildcard))
        return -1;
    return pair.couldContain() ? 1 : 0;
}

int FSSubclientConf::dirnameTest(const char* dirname, const char* pattern, char delim, bool isWildcard)
{
    try {
        return d->dirnameTest(dirname, pattern, delim, isWildcard);
    } catch (const std::bad_alloc&) {
        TLOG(-1, "%s", kFSOutOfMemory);
        return -1;
    }
}

int FSSubclientConf::completelyContains(const char* dirname, const char* pattern, char, bool isWildcard)
{
    TCALL_ORIGIN();
    try {
        PatternPair pair(*d);
        if (!pair.parse(dirname, pattern, isWildcard))
            return -1;
        if (!pair.completelyContains())
            return 0;
        return stoodThroughWindow(*d, dirname, pattern) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        TLOG(-1, "%s", kFSOutOfMemory);
        return -1;
    }
}

int CFSSubclientConfPrivate::pathTestHistory(const char* path, char delim, int scNum)
{
    if (scNum <= 0) {
        TLOG_ON(owner, 1, "Bad sc number %d in pathTestHistory", scNum);
        return -1;
    }
    size_t position = static_cast<size_t>(scNum) - 1;
    if (position >= historyStart.size())
        return 0;
    // Positions come from the history load; clamp them so that a bad one cannot reach outside the list.
    size_t end =
        position + 1 < historyStart.size() ? static_cast<size_t>(historyStart[position + 1]) : historyList.size();
    end = std::min(end, historyList.size());
    const size_t begin = std::min(static_cast<size_t>(std::max(historyStart[position], 0)), end);
    // The index finds the records that could contain the path; the others
    // answer 0 and are passed over. The trace records of level 3 are written
    // as the reading of every record meets them.
    std::vector<uint32_t>& found = historyCandidates;
    found.clear();
    if (!kxLogApplies(3) && historyIndex.pastContent(historyList, caseSensitive, textOf(path), found)) {
        std::sort(found.begin(), found.end());
        for (uint32_t i : found)
            if (i >= begin && i < end)
                if (int r = historyIndex.namesPrefix(i) ? 1 : historyRecordTest(i, path, delim, scNum))
                    return r;
        return 0;
    }
    for (size_t i = begin; i < end; ++i)
        if (int r = historyRecordTest(i, path, delim, scNum))
            return r;
    return 0;
}

int CFSSubclientConfPrivate::historyRecordTest(size_t i, const char* path, char delim, int scNum)
{
    const FSHistory& record = historyList[i];
    int r = dirnameTest(record.path.c_str(), path, delim, record.isWildcard);
    TLOG_ON(owner, 3, "'%s' delimiter %c sc %d %s '%s' dirnameTest returns %d", textOf(path), delim, scNum,
            record.isWildcard ? "wcContent" : "content", record.path.c_str(), r);
    return r;
}
