// Could a directory contain a pattern, does it contain all of it (over the
// loaded history window), and did a subclient's past content hold a path.
#include "subclient/FSSubclientConfPrivate.h"

#include <algorithm>
#include <new>

namespace {

const char* textOf(const char* text)
{
    return text ? text : "";
}

// The two sides of one pattern test, parsed in the modes the test needs.
// Failures are logged on behalf of the test that asked (its origin).
class PatternPair {
public:
    PatternPair(CFSSubclientConfPrivate& d, const char* origin) : d_(d), origin_(origin) {}

    bool parse(const char* dirname, const char* pattern, bool isWildcard)
    {
        directory_ = d_.pathTestPatterns.parse(textOf(dirname), isWildcard ? PathModeLastWild : PathModeLiteral,
                                               directoryScratch_);
        if (!directory_) {
            d_.owner->log(1, origin_, __LINE__, "Cannot parse dirname '%s' (%s)", textOf(dirname),
                          isWildcard ? "wild card" : "literal");
            return false;
        }
        pattern_ = d_.pathTestPatterns.parse(textOf(pattern), PathModeAllWild, patternScratch_);
        if (!pattern_) {
            d_.owner->log(1, origin_, __LINE__, "Cannot parse pattern '%s'", textOf(pattern));
            return false;
        }
        return true;
    }
    bool couldContain() { return directory_->couldContain(*pattern_, d_.caseSensitive); }
    bool completelyContains() { return directory_->completelyContains(*pattern_, d_.caseSensitive); }

private:
    CFSSubclientConfPrivate& d_;
    const char* origin_;
    WCPath directoryScratch_;
    WCPath patternScratch_;
    WCPath* directory_ = nullptr;
    WCPath* pattern_ = nullptr;
};

// With a history window loaded, a directory that is content of its own holds
// a pattern for the whole window only when it stood as content from before the
// window began until after it ended. Every record of that content must say so.
bool stoodThroughWindow(const CFSSubclientConfPrivate& d, const char* origin, const char* dirname,
                        const char* pattern)
{
    if (d.historyList.empty() || d.historyToTime == 0)
        return true;
    for (const FSPlayback& record : d.replayVec) {
        if (record.kind != FSPlayback::kindPath || d.compare(record.text.c_str(), dirname) != 0)
            continue;
        if (record.created > d.historyFromTime) {
            d.owner->log(3, origin, __LINE__, "'%s' is NOT completely contained in '%s' as %lu > %lu", pattern,
                         dirname, static_cast<unsigned long>(record.created), d.historyFromTime);
            return false;
        }
        if (record.modified != 0 && record.modified <= d.historyToTime) {
            d.owner->log(3, origin, __LINE__, "'%s' is NOT completely contained in '%s' as %lu <= %lu", pattern,
                         dirname, static_cast<unsigned long>(record.modified), d.historyToTime);
            return false;
        }
    }
    return true;
}

}  // namespace

int CFSSubclientConfPrivate::dirnameTest(const char* dirname, const char* pattern, char, bool isWildcard)
{
    PatternPair pair(*this, __PRETTY_FUNCTION__);
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
    try {
        PatternPair pair(*d, __PRETTY_FUNCTION__);
        if (!pair.parse(dirname, pattern, isWildcard))
            return -1;
        if (!pair.completelyContains())
            return 0;
        return stoodThroughWindow(*d, __PRETTY_FUNCTION__, dirname, pattern) ? 1 : 0;
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
    size_t end = position + 1 < historyStart.size() ? static_cast<size_t>(historyStart[position + 1])
                                                     : historyList.size();
    end = std::min(end, historyList.size());
    for (size_t i = static_cast<size_t>(std::max(historyStart[position], 0)); i < end; ++i) {
        const FSHistory& record = historyList[i];
        int r = dirnameTest(record.path.c_str(), path, delim, record.isWildcard);
        TLOG_ON(owner, 3, "'%s' delimiter %c sc %d %s '%s' dirnameTest returns %d", textOf(path), delim, scNum,
                record.isWildcard ? "wcContent" : "content", record.path.c_str(), r);
        if (r != 0)
            return r;
    }
    return 0;
}
