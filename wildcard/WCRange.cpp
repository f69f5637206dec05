// Bracketed sets: membership, the matches/contains relations with other tokens,
// rendering and the case-insensitive copy.
#include "wildcard/WCSubclients.h"
#include "wildcard/WCText.h"

#include "platform/TDebuggable.h"

#include <algorithm>
#include <new>

namespace {

typedef WCRange::Interval Interval;

// Clears a negation flag for the duration of an inner comparison.
class NegationCleared {
public:
    explicit NegationCleared(bool& flag) : flag_(flag), saved_(flag) { flag_ = false; }
    ~NegationCleared() { flag_ = saved_; }
    NegationCleared(const NegationCleared&) = delete;
    NegationCleared& operator=(const NegationCleared&) = delete;

private:
    bool& flag_;
    bool saved_;
};

// The union of a list of intervals, sorted and merged, so that coverage and
// intersection questions cost a binary search instead of a walk over characters.
class IntervalUnion {
public:
    explicit IntervalUnion(const std::vector<Interval>& intervals)
    {
        std::vector<Interval> sorted(intervals);
        std::sort(sorted.begin(), sorted.end(), [](const Interval& a, const Interval& b) { return a.lo < b.lo; });
        for (const Interval& i : sorted) {
            if (!merged_.empty() && (i.lo <= merged_.back().hi || i.lo - merged_.back().hi == 1))
                merged_.back().hi = std::max(merged_.back().hi, i.hi);
            else
                merged_.push_back(i);
        }
    }

    bool covers(const Interval& i) const
    {
        // The last merged interval starting at or before i.lo is the only candidate.
        auto after = std::upper_bound(merged_.begin(), merged_.end(), i.lo,
                                      [](unsigned long lo, const Interval& m) { return lo < m.lo; });
        return after != merged_.begin() && std::prev(after)->hi >= i.hi;
    }

    bool intersects(const Interval& i) const
    {
        // The first merged interval ending at or after i.lo is the only candidate.
        auto candidate = std::lower_bound(merged_.begin(), merged_.end(), i.lo,
                                          [](const Interval& m, unsigned long lo) { return m.hi < lo; });
        return candidate != merged_.end() && candidate->lo <= i.hi;
    }

private:
    std::vector<Interval> merged_;
};

bool isAsciiLower(unsigned long c)
{
    return c >= 'a' && c <= 'z';
}

bool isAsciiUpper(unsigned long c)
{
    return c >= 'A' && c <= 'Z';
}

// Every character with a case partner lies in 'A'..U+00FD.
const unsigned long firstCased = 'A';
const unsigned long lastCased = 0xFD;

// The characters an interval stands for in a comparison. With case it is
// itself; ignoring case, where a capital stands for its small letter, it is
// its part below 'A', its capitals lowered and its part above 'Z'. Lowering
// the bounds alone would turn [W-m] into the inverted [w-m] and lose every
// character between.
struct IntervalPieces {
    Interval pieces[3];
    int count = 0;

    IntervalPieces(const Interval& i, bool caseSensitive)
    {
        if (caseSensitive)
            pieces[count++] = i;
        else
            fold(i);
    }

    void fold(const Interval& i)
    {
        if (i.lo < 'A')
            pieces[count++] = {i.lo, std::min<unsigned long>(i.hi, 'A' - 1)};
        if (i.lo <= 'Z' && i.hi >= 'A')
            pieces[count++] = {std::max<unsigned long>(i.lo, 'A') + lcCorrect,
                               std::min<unsigned long>(i.hi, 'Z') + lcCorrect};
        if (i.hi > 'Z')
            pieces[count++] = {std::max<unsigned long>(i.lo, 'Z' + 1), i.hi};
    }
};

}  // namespace

WCRange::WCRange(bool negated) : negated(negated), nextRange(-1) {}

void WCRange::addRange(unsigned long minChar, unsigned long maxChar)
{
    if (maxChar != 0 && minChar > maxChar) {
        dbg.debug(1, "addRange: minChar %d > maxChar %d\n", static_cast<int>(minChar), static_cast<int>(maxChar));
        return;
    }
    const Interval interval = {minChar, maxChar != 0 ? maxChar : minChar};
    bounds.push_back(interval);
    const IntervalPieces folded(interval, false);
    lowerBounds.insert(lowerBounds.end(), folded.pieces, folded.pieces + folded.count);
}

const std::vector<Interval>& WCRange::boundsFor(bool caseSensitive) const
{
    return caseSensitive ? bounds : lowerBounds;
}

bool WCRange::holds(unsigned long c, bool caseSensitive) const
{
    for (const Interval& i : boundsFor(caseSensitive))
        if (i.lo <= c && c <= i.hi)
            return true;
    return false;
}

unsigned long WCRange::getFixedChar()
{
    if (negated)
        return 0;
    unsigned long candidate = 0;
    for (const Interval& i : bounds) {
        if (i.lo != i.hi || (candidate != 0 && candidate != i.lo))
            return 0;
        candidate = i.lo;
    }
    return candidate;
}

bool WCRange::getFirst(WCTokenArgs& args)
{
    if (bounds.empty())
        return false;
    args.negated = negated;
    args.minChar = bounds[0].lo;
    args.maxChar = bounds[0].hi;
    nextRange = 1;
    return true;
}

bool WCRange::getNext(WCTokenArgs& args)
{
    if (nextRange < 0 || static_cast<std::size_t>(nextRange) >= bounds.size())
        return false;
    args.minChar = bounds[static_cast<std::size_t>(nextRange)].lo;
    args.maxChar = bounds[static_cast<std::size_t>(nextRange)].hi;
    ++nextRange;
    return true;
}

bool WCRange::matches(WCToken& other, bool caseSensitive)
{
    if (other.isQuestion() || other.isStar())
        return true;
    WCTokenArgs args;
    bool enumerated = other.getFirst(args);
    // Read the flag from the set itself: a negated set without members has no
    // interval to report it, yet it matches every character.
    WCRange* otherSet = dynamic_cast<WCRange*>(&other);
    bool otherNegated = otherSet && otherSet->negated;
    if (!enumerated && !otherNegated)
        return false;
    if (!negated && !otherNegated)
        return overlapsIntervalsOf(other, args, caseSensitive);
    if (negated && otherNegated)
        return true;
    if (negated) {
        NegationCleared cleared(negated);
        return !contains(other, caseSensitive);
    }
    NegationCleared cleared(otherSet->negated);
    return !otherSet->contains(*this, caseSensitive);
}

// Does some interval that other enumerates (args holds its first) meet one of ours?
bool WCRange::overlapsIntervalsOf(WCToken& other, WCTokenArgs& args, bool caseSensitive)
{
    do {
        const IntervalPieces theirs({args.minChar, args.maxChar}, caseSensitive);
        for (int k = 0; k < theirs.count; ++k)
            for (const Interval& i : boundsFor(caseSensitive))
                if (i.lo <= theirs.pieces[k].hi && i.hi >= theirs.pieces[k].lo)
                    return true;
    } while (other.getNext(args));
    return false;
}

bool WCRange::contains(WCToken& other, bool caseSensitive)
{
    if (other.isQuestion() || other.isStar())
        return false;
    unsigned long c = other.getFixedChar();
    if (c != 0)
        return holds(caseSensitive ? c : foldAscii(c), caseSensitive) != negated;
    WCRange* otherSet = dynamic_cast<WCRange*>(&other);
    if (otherSet && otherSet->negated) {
        if (!negated)
            return false;
        NegationCleared mine(negated);
        NegationCleared theirs(otherSet->negated);
        return otherSet->contains(*this, caseSensitive);
    }
    return coversCharactersOf(other, caseSensitive);
}

// Every character of other's intervals lies inside ours (outside them when negated).
bool WCRange::coversCharactersOf(WCToken& other, bool caseSensitive)
{
    std::vector<Interval> theirs;
    if (WCRange* otherSet = dynamic_cast<WCRange*>(&other)) {
        theirs = otherSet->boundsFor(caseSensitive);
    } else {
        WCTokenArgs args;
        for (bool more = other.getFirst(args); more; more = other.getNext(args)) {
            const IntervalPieces pieces({args.minChar, args.maxChar}, caseSensitive);
            theirs.insert(theirs.end(), pieces.pieces, pieces.pieces + pieces.count);
        }
    }
    IntervalUnion ours(boundsFor(caseSensitive));
    for (const Interval& i : theirs) {
        if (negated ? ours.intersects(i) : !ours.covers(i))
            return false;
    }
    return true;
}

// Empty when memory runs out.
std::string WCRange::toUtf8(unsigned long escapeChar)
try {
    const std::string escape(1, static_cast<char>(escapeChar & 0xFF));
    std::string text = negated ? "[!" : "[";
    bool previousSingle = false;
    for (std::size_t n = 0; n < bounds.size(); ++n) {
        unsigned long lo = bounds[n].lo;
        unsigned long hi = bounds[n].hi;
        if (n == 0 && !negated && (lo == '!' || lo == '^'))
            text += escape;
        if (lo == escapeChar)
            text += escape;
        if (lo == '-' && previousSingle) {
            text += escape;
            previousSingle = false;
        }
        if (lo == ']')
            text += escape;
        text += utf8Of(lo);
        if (hi != lo) {
            text += "-";
            // An unescaped ']' would close the set and an unescaped escape
            // character would take the ']' after it: either breaks the re-parse.
            if (hi == ']' || hi == escapeChar)
                text += escape;
            text += utf8Of(hi);
        } else
            previousSingle = true;
    }
    return text + "]";
} catch (const std::bad_alloc&) {
    return std::string();
}

WCToken* WCRange::createCaseInsensitiveToken()
{
    WCRange* copy = new (std::nothrow) WCRange(negated);
    if (copy && !addCaseInsensitiveBoundsTo(*copy)) {
        delete copy;
        copy = nullptr;
    }
    if (!copy)
        dbg.debug(1, "createCaseInsensitiveToken out of memory");
    return copy;
}

// Each interval followed by the partners of its letters; false when memory runs out.
bool WCRange::addCaseInsensitiveBoundsTo(WCRange& copy) const
{
    try {
        for (const Interval& i : bounds) {
            copy.addRange(i.lo, i.hi);
            bool sameCaseRun = (isAsciiLower(i.lo) && (i.hi == i.lo || isAsciiLower(i.hi))) ||
                               (isAsciiUpper(i.lo) && (i.hi == i.lo || isAsciiUpper(i.hi)));
            unsigned long lowPartner = getOtherCase(i.lo);
            unsigned long highPartner = i.hi != i.lo ? getOtherCase(i.hi) : 0;
            if (lowPartner != 0 && sameCaseRun)
                copy.addRange(lowPartner, highPartner);
            else if (lowPartner != 0 && i.hi == i.lo)
                copy.addRange(lowPartner, 0);
            else if (lowPartner != 0 || highPartner != 0)
                addPartnersOf(copy, i.lo, i.hi);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// Adds, one by one, the partner of every character of lo..hi that has one.
void WCRange::addPartnersOf(WCRange& target, unsigned long lo, unsigned long hi)
{
    for (unsigned long c = std::max(lo, firstCased); c <= std::min(hi, lastCased); ++c)
        if (unsigned long partner = getOtherCase(c))
            target.addRange(partner, 0);
}
