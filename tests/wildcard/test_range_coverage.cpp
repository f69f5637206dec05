// The set containment answer computed from interval bounds must equal the
// character-by-character walk it replaces, folding and negation included.
#include "wildcard/WCSubclients.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

struct Interval {
    unsigned long lo, hi;
};

struct Set {
    bool negated;
    std::vector<Interval> intervals;

    std::vector<Interval> bounds(bool caseSensitive) const
    {
        if (caseSensitive)
            return intervals;
        // Ignoring case each character stands for its folded form.
        std::vector<Interval> folded;
        for (Interval i : intervals)
            for (unsigned long c = i.lo; c <= i.hi; ++c)
                folded.push_back({fold(c), fold(c)});
        return folded;
    }

    static unsigned long fold(unsigned long c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

    unsigned long fixedChar() const
    {
        if (negated)
            return 0;
        unsigned long candidate = 0;
        for (Interval i : intervals) {
            if (i.lo != i.hi || (candidate != 0 && candidate != i.lo))
                return 0;
            candidate = i.lo;
        }
        return candidate;
    }

    void addTo(WCRange& range) const
    {
        for (Interval i : intervals)
            range.addRange(i.lo, i.hi);
    }
};

bool holds(const std::vector<Interval>& bounds, unsigned long c)
{
    for (Interval i : bounds)
        if (i.lo <= c && c <= i.hi)
            return true;
    return false;
}

// The walk over every character of the other set's intervals.
bool walkContains(Set mine, Set theirs, bool caseSensitive)
{
    if (unsigned long c = theirs.fixedChar())
        return holds(mine.bounds(caseSensitive), caseSensitive ? c : Set::fold(c)) != mine.negated;
    if (theirs.negated) {
        if (!mine.negated)
            return false;
        mine.negated = theirs.negated = false;
        return walkContains(theirs, mine, caseSensitive);
    }
    for (Interval i : theirs.bounds(caseSensitive))
        for (unsigned long c = i.lo; c <= i.hi; ++c)
            if (holds(mine.bounds(caseSensitive), c) == mine.negated)
                return false;
    return true;
}

// Sets over '0'..'~' so that both cases, the characters between them and
// intervals from capitals to small letters (such as Z-a) all occur.
Set randomSet(std::mt19937& random)
{
    std::uniform_int_distribution<unsigned long> character('0', '~');
    std::uniform_int_distribution<int> count(0, 4), width(0, 12), coin(0, 3);
    Set set{coin(random) == 0, {}};
    for (int n = count(random); n > 0; --n) {
        unsigned long lo = character(random);
        unsigned long hi = coin(random) == 0 ? lo : std::min<unsigned long>(lo + width(random), '~');
        set.intervals.push_back({lo, hi});
    }
    return set;
}

TEST(WCRange, ContainsAgreesWithTheCharacterWalk)
{
    std::mt19937 random(20261206);
    int negatedPairs = 0;
    for (int round = 0; round < 20000; ++round) {
        Set mine = randomSet(random), theirs = randomSet(random);
        if (round % 10 == 0)
            theirs = mine;  // equal sets are a common case
        WCRange a(mine.negated), b(theirs.negated);
        mine.addTo(a);
        theirs.addTo(b);
        negatedPairs += mine.negated && theirs.negated;
        for (bool caseSensitive : {true, false}) {
            ASSERT_EQ(a.contains(b, caseSensitive), walkContains(mine, theirs, caseSensitive))
                << "round " << round << ": " << a.toUtf8('\\') << " contains " << b.toUtf8('\\')
                << (caseSensitive ? "" : " (no case)");
        }
    }
    EXPECT_GT(negatedPairs, 100);
}

TEST(WCRange, ContainsWideIntervalsFromTheirBounds)
{
    WCRange everything(false), allButOne(false), split(false), negatedLow(true);
    everything.addRange(1, 0x10FFFF);
    allButOne.addRange(1, 0x10FFFE);
    split.addRange(1, 0x7FFFF);
    split.addRange(0x80000, 0x10FFFF);
    negatedLow.addRange(1, 0xFFFF);
    EXPECT_TRUE(everything.contains(allButOne, true));
    EXPECT_FALSE(allButOne.contains(everything, true));
    EXPECT_TRUE(split.contains(everything, false));
    EXPECT_FALSE(negatedLow.contains(everything, true));
    EXPECT_FALSE(negatedLow.contains(split, true));
}

}  // namespace
