// The fast answers checked against plain recursive definitions on many small
// generated patterns: containment of basenames and whole-name matching.
#include "Patterns.h"
#include "wildcard/TPathMatch.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Every split for every star, as the containment rule reads.
bool recursiveContains(WCSequence& mine, WCSequence& theirs, int i, int j, bool caseSensitive)
{
    for (; i < mine.getSize(); ++i, ++j) {
        if (mine.get(i).isStar()) {
            for (int k = j; k <= theirs.getSize(); ++k)
                if (recursiveContains(mine, theirs, i + 1, k, caseSensitive))
                    return true;
            return false;
        }
        if (j >= theirs.getSize() || !mine.get(i).contains(theirs.get(j), caseSensitive))
            return false;
    }
    return j >= theirs.getSize();
}

bool recursiveMatch(const std::string& pattern, std::size_t p, const std::string& name, std::size_t n)
{
    if (p == pattern.size())
        return n == name.size();
    if (pattern[p] == '*')
        return recursiveMatch(pattern, p + 1, name, n) || (n < name.size() && recursiveMatch(pattern, p, name, n + 1));
    if (n == name.size())
        return false;
    if (pattern[p] == '?' || pattern[p] == name[n])
        return recursiveMatch(pattern, p + 1, name, n + 1);
    return false;
}

std::string randomText(std::mt19937& random, const std::string& alphabet, int longest)
{
    std::uniform_int_distribution<int> length(0, longest);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text;
    for (int n = length(random); n > 0; --n)
        text += alphabet[pick(random)];
    return text;
}

TEST(Differential, BasenameContainsAgreesWithTheRecursiveRule)
{
    const std::string pieces[] = {"a", "b", "A", "?", "*", "[ab]", "[!a]", "[a-z]"};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> length(1, 6), pick(0, 7);
    int contained = 0;
    for (int round = 0; round < 5000; ++round) {
        std::string a, b;
        for (int n = length(random); n > 0; --n)
            a += pieces[pick(random)];
        for (int n = length(random); n > 0; --n)
            b += pieces[pick(random)];
        std::unique_ptr<WCBasename> mine = parsed(a), theirs = parsed(b);
        ASSERT_TRUE(mine && theirs);
        for (bool caseSensitive : {true, false}) {
            bool expected = recursiveContains(*mine->getTokens(), *theirs->getTokens(), 0, 0, caseSensitive);
            contained += expected;
            ASSERT_EQ(mine->contains(*theirs, caseSensitive, 0, 0), expected) << a << " contains " << b;
        }
    }
    EXPECT_GT(contained, 200);
}

TEST(Differential, MatchNameAgreesWithTheRecursiveRule)
{
    std::mt19937 random(11);
    int matched = 0;
    for (int round = 0; round < 5000; ++round) {
        std::string pattern = randomText(random, "ab?*", 8), name = randomText(random, "ab", 10);
        if (pattern.empty())
            continue;
        TPathMatch matcher;
        ASSERT_EQ(matcher.compilePattern(pattern, 1, 0), 0);
        bool expected = recursiveMatch(pattern, 0, name, 0);
        matched += expected;
        ASSERT_EQ(matcher.matchName(name) != 0, expected) << pattern << " / " << name;
    }
    EXPECT_GT(matched, 200);
}

}  // namespace
