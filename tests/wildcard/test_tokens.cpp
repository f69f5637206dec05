#include "Patterns.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

struct Relation {
    const char* a;
    const char* b;
    bool caseSensitive;
    bool matches;   // a.matches(b), which must equal b.matches(a)
    bool contains;  // a.contains(b)
};

TEST(WCToken, MatchesAndContainsByTable)
{
    const Relation cases[] = {
        {"a", "A", true, false, false},
        {"a", "A", false, true, true},
        {"a", "?", true, true, false},
        {"a", "*", true, true, false},
        {"?", "x", true, true, true},
        {"?", "*", true, true, false},
        {"*", "*", true, true, true},
        {"[a-c]", "[c-f]", true, true, false},
        {"[a-c]", "[d-f]", true, false, false},
        {"[a-c]", "[bb]", true, true, true},      // one repeated character is a fixed character
        {"[a-cd-f]", "[b-e]", true, true, true},  // touching intervals cover as one
        {"[a-cx-z]", "[c-x]", true, true, false},
        {"[!a]", "a", true, false, false},
        {"b", "[!a]", true, true, false},
        {"[!a]", "[!b]", true, true, false},
        {"[!a-c]", "[!a-z]", true, true, true},
        {"[!a-c]", "[c-f]", true, true, false},
        {"[a-z]", "[!a]", true, true, false},  // a plain set never contains a negated one
        {"[A-Z]", "q", true, false, false},
        {"[A-Z]", "q", false, true, true},
        {"[!A-Z]", "q", false, false, false},
        // Ignoring case an interval from a capital to a small letter keeps
        // every character between, its capitals as small letters.
        {"[W-m]", "_", false, true, true},
        {"[W-m]", "[n-v]", false, false, false},
        {"[--c]", "Z", false, true, true},
        {"[a-z]", "[A-z]", false, true, false},  // '_' is no letter
        // A negated set without members stands for every character.
        {"[!]", "a", true, true, true},
        {"[a]", "[!]", true, true, false},
        // A set whose only interval was inverted stands for nothing.
        {"[z-a]", "a", true, false, false},
        {"[a]", "[z-a]", true, false, true},
    };
    CaptureLog log(-1);
    for (const Relation& c : cases) {
        OneToken a(c.a), b(c.b);
        ASSERT_TRUE(a.basename && b.basename) << c.a << " / " << c.b;
        SCOPED_TRACE(std::string(c.a) + " / " + c.b + (c.caseSensitive ? " (case)" : " (no case)"));
        EXPECT_EQ(a.token().matches(b.token(), c.caseSensitive), c.matches);
        EXPECT_EQ(b.token().matches(a.token(), c.caseSensitive), c.matches);
        EXPECT_EQ(a.token().contains(b.token(), c.caseSensitive), c.contains);
    }
}

TEST(WCToken, CaseInsensitiveCopies)
{
    const struct {
        const char* pattern;
        const char* copy;
    } cases[] = {
        {"a", "[aA]"},
        {"\xc3\xa9", "[\xc3\xa9\xc3\x89]"},
        {"[!a]", "[!aA]"},
        {"[a\xc3\xa9]", "[aA\xc3\xa9\xc3\x89]"},
        {"[0-z]", "[0-zabcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ]"},
        {"[A-c]", "[A-cabcdefghijklmnopqrstuvwxyzABC]"},
        {"[@-B]", "[@-Bab]"},
        {"[@-_]", "[@-_]"},  // neither bound has a partner: nothing is added
        {"[x-\xc3\x81]", "[x-\xc3\x81XYZ\xc3\xa0\xc3\xa1]"},
        {"[\xc3\x9e-\xc3\xa1]", "[\xc3\x9e-\xc3\xa1\xc3\x80\xc3\x81]"},
    };
    for (const auto& c : cases) {
        OneToken pattern(c.pattern);
        ASSERT_TRUE(pattern.basename) << c.pattern;
        std::unique_ptr<WCToken> copy(pattern.token().createCaseInsensitiveToken());
        ASSERT_TRUE(copy) << c.pattern;
        EXPECT_EQ(copy->toUtf8('\\'), c.copy) << c.pattern;
    }
}

// Wide sets are copied and compared by their interval bounds, not per character.
TEST(WCRange, WideSetsStayCheap)
{
    WCRange wide(false), everything(false), allButOne(false), split(false), negatedLow(true);
    wide.addRange('A', 0x10FFFF);
    std::unique_ptr<WCToken> copy(wide.createCaseInsensitiveToken());
    ASSERT_TRUE(copy);
    WCTokenArgs args;
    int intervals = 0;
    for (bool more = copy->getFirst(args); more; more = copy->getNext(args))
        ++intervals;
    EXPECT_EQ(intervals, 1 + 52 + 56);
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
