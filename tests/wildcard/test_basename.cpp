#include "Patterns.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

TEST(WCBasename, ParsesAndRendersBack)
{
    const struct {
        const char* text;
        unsigned long escape;
        bool wildCard;
        int tokens;
        int stars;
        const char* rendered;
    } cases[] = {
        {"abc", '\\', true, 3, 0, "abc"},
        {"a\\*b", '\\', true, 3, 0, "a\\*b"},
        {"ab\\", '\\', true, 3, 0, "ab\\\\"},  // a trailing escape is literal
        {"[abc", '\\', true, 4, 0, "\\[abc"},  // unclosed set: literal '['
        {"a[", '\\', true, 2, 0, "a\\["},
        {"[]a]", '\\', true, 1, 0, "[\\]a]"},  // ']' first is a member
        {"[]", '\\', true, 2, 0, "\\[]"},
        {"[!]", '\\', true, 1, 0, "[!]"},  // negated, no members
        {"[^]x]", '\\', true, 3, 0, "[!]x]"},
        {"[a-]", '\\', true, 1, 0, "[a\\-]"},
        {"[-a]", '\\', true, 1, 0, "[-a]"},
        {"[a-c-]", '\\', true, 1, 0, "[a-c-]"},
        {"[^a-c]", '\\', true, 1, 0, "[!a-c]"},
        {"[//\\]", '/', true, 1, 0, "[//\\]"},
        {"[a\\]", '\\', true, 3, 0, "\\[a]"},    // the escaped ']' does not close
        {"[a\\", '\\', true, 3, 0, "\\[a\\\\"},  // an escape at the end leaves the set open
        {"[a\\-z]", '\\', true, 1, 0, "[a\\-z]"},
        {"[\\a-\\z]", '\\', true, 1, 0, "[a-z]"},
        {"[+-\\]]", '\\', true, 1, 0, "[+-\\]]"},    // an upper bound ']' or escape is escaped,
        {"[+-\\\\]", '\\', true, 1, 0, "[+-\\\\]"},  // or the rendering would not read back
        {"[\xc3\xa9-\xc3\xbc]", '\\', true, 1, 0, "[\xc3\xa9-\xc3\xbc]"},
        // Encoded surrogates are read as values and written back as read,
        // in a literal, a set member and an interval's bounds.
        {"\xed\xa0\x80?", '\\', true, 2, 0, "\xed\xa0\x80?"},
        {"[\xed\xa0\x99"
         "a-c]",
         '\\', true, 1, 0,
         "[\xed\xa0\x99"
         "a-c]"},
        {"[\xed\xa0\x80-\xed\xbf\xbf]", '\\', true, 1, 0, "[\xed\xa0\x80-\xed\xbf\xbf]"},
        {"\xed\xbf\xbf*", '\\', false, 2, 0, "\xed\xbf\xbf\\*"},
        {"*.*", '\\', true, 3, 2, "*.*"},
        {"a/*b", '/', true, 3, 0, "a/*b"},
        {"[a/]]", '/', true, 1, 0, "[a/]]"},
        {"*[x]\\", '\\', false, 5, 0, "\\*\\[x]\\\\"},
        {"[z-ax]", '\\', true, 1, 0, "[x]"},  // an inverted interval is dropped, the rest kept
    };
    CaptureLog log(1);
    for (const auto& c : cases) {
        std::unique_ptr<WCBasename> b = parsed(c.text, c.wildCard, c.escape);
        ASSERT_TRUE(b) << c.text << "\n" << log.dump();
        EXPECT_EQ(b->getTokens()->getSize(), c.tokens) << c.text;
        EXPECT_EQ(b->getNumStars(), c.stars) << c.text;
        EXPECT_EQ(b->getBasename(), c.text);
        EXPECT_EQ(b->isWildCard(), c.wildCard);
        EXPECT_EQ(b->toUtf8(), c.rendered) << c.text;
    }
}

TEST(WCBasename, ParseFailuresKeepTheOldText)
{
    CaptureLog log(-1);
    WCBasename b('\\', true);
    EXPECT_FALSE(b.parse("ok"));
    for (const std::string& bad : {std::string(), std::string("bad\xc3"), std::string("ok\0more", 7),
                                   std::string(WCConverter::capacity + 1, 'x')})
        EXPECT_TRUE(b.parse(bad)) << bad;  // a NUL would cut the name short
    EXPECT_EQ(b.getBasename(), "ok");
    EXPECT_EQ(b.toUtf8(), "ok");
}

TEST(WCBasename, TakesComponentsUpToTheCapacity)
{
    const std::string longest(WCConverter::capacity, '*');
    std::unique_ptr<WCBasename> stars = parsed(longest);
    ASSERT_TRUE(stars);
    EXPECT_EQ(stars->getNumStars(), 2048);
    EXPECT_TRUE(stars->isStarStar());
    EXPECT_TRUE(stars->contains(*stars, true, 0, 0));
    EXPECT_TRUE(stars->overlaps(*stars, true));

    std::unique_ptr<WCBasename> brackets = parsed(std::string(WCConverter::capacity, '['));
    ASSERT_TRUE(brackets);
    EXPECT_EQ(brackets->getTokens()->getSize(), 2048);
}

struct Comparison {
    const char* a;
    const char* b;
    bool caseSensitive;
    bool overlaps;  // must hold both ways
    bool contains;  // a contains b
};

TEST(WCBasename, OverlapsAndContainsByTable)
{
    const Comparison cases[] = {
        {"*", "anything", true, true, true},
        {"*", "*", true, true, true},
        {"*", "**", true, true, true},
        {"**", "*", true, true, true},
        {"?*", "*", true, true, false},
        {"a*", "ab*", true, true, true},
        {"ab*", "a*", true, true, false},
        {"?", "*", true, true, false},
        {"a?c", "abc", true, true, true},
        {"a?c", "abcd", true, false, false},
        {"a*", "abc", true, true, true},
        {"*.txt", "report.txt", true, true, true},
        {"*.txt", "*.doc", true, false, false},
        {"*.txt", "*.TXT", true, false, false},
        {"*.txt", "*.TXT", false, true, true},
        {"a*b", "ab", true, true, true},
        {"x*", "x", true, true, true},
        {"x", "x*", true, true, false},
        {"[a-c]x", "bx", true, true, true},
        {"[!a-c]x", "bx", true, false, false},
        {"[!a-c]*", "[!a-z]*", true, true, true},
        {"Data", "data", true, false, false},
        {"Data", "data", false, true, true},
        {"a*b*c", "a*c", true, true, false},
        {"a*c", "a*b*c", true, true, true},
        {"a\\*", "a*", true, true, false},
        {"a*", "a\\*", true, true, true},
        // Between the first and the last star nothing is compared.
        {"a*x*b", "a*y*b", true, true, false},
        {"a*x*b", "ab", true, true, false},
    };
    for (const Comparison& c : cases) {
        std::unique_ptr<WCBasename> a = parsed(c.a), b = parsed(c.b);
        ASSERT_TRUE(a && b) << c.a << " / " << c.b;
        SCOPED_TRACE(std::string(c.a) + " / " + c.b + (c.caseSensitive ? " (case)" : " (no case)"));
        EXPECT_EQ(a->overlaps(*b, c.caseSensitive), c.overlaps);
        EXPECT_EQ(b->overlaps(*a, c.caseSensitive), c.overlaps);
        EXPECT_EQ(a->contains(*b, c.caseSensitive, 0, 0), c.contains);
    }
}

TEST(WCBasename, LiteralsCompareTheirText)
{
    std::unique_ptr<WCBasename> a = parsed("Data*", false), b = parsed("data*", false), star = parsed("d*");
    ASSERT_TRUE(a && b && star);
    EXPECT_FALSE(a->overlaps(*b, true));
    EXPECT_TRUE(a->overlaps(*b, false));
    EXPECT_TRUE(star->overlaps(*b, true));
    EXPECT_TRUE(star->contains(*b, true, 0, 0));
    EXPECT_FALSE(b->contains(*star, true, 0, 0));
    EXPECT_TRUE(a->exactMatch("Data*", true));
    EXPECT_FALSE(a->exactMatch("data*", true));
    EXPECT_TRUE(a->exactMatch("DATA*", false));
    EXPECT_FALSE(a->exactMatch("Data", false));
    EXPECT_FALSE(star->exactMatch("d*", true));  // a pattern is never an exact match
}

// A star tries every split; without sharing the answers of equal sub-problems
// these cases would run for ages.
TEST(WCBasename, ContainsManyStarsInPolynomialTime)
{
    std::unique_ptr<WCBasename> pattern = parsed("*a*a*a*a*a*a*a*a*a*a*a*a*b");
    std::unique_ptr<WCBasename> run = parsed(std::string(60, 'a'));
    std::unique_ptr<WCBasename> runB = parsed(std::string(60, 'a') + "b");
    std::unique_ptr<WCBasename> fewer = parsed("*a*a*a*a*a*a*a*a*a*a*a*b");
    std::unique_ptr<WCBasename> more = parsed("*a*a*a*a*a*a*a*a*a*a*a*a*a*b");
    ASSERT_TRUE(pattern && run && runB && fewer && more);
    EXPECT_FALSE(pattern->contains(*run, true, 0, 0));
    EXPECT_TRUE(pattern->contains(*runB, true, 0, 0));
    EXPECT_TRUE(pattern->contains(*more, true, 0, 0));
    EXPECT_FALSE(pattern->contains(*fewer, true, 0, 0));

    std::string manyStars;
    for (int i = 0; i < 1000; ++i)
        manyStars += "*a";
    std::unique_ptr<WCBasename> wide = parsed(manyStars + "*b");
    std::unique_ptr<WCBasename> longRun = parsed(std::string(2000, 'a'));
    ASSERT_TRUE(wide && longRun);
    EXPECT_FALSE(wide->contains(*longRun, true, 0, 0));
}

TEST(WCBasename, IsStarStar)
{
    const struct {
        const char* text;
        bool starStar;
    } cases[] = {{"**", true}, {"***", true}, {"*", false}, {"a**", false}, {"**a", false}, {"\\*\\*", false}};
    for (const auto& c : cases) {
        std::unique_ptr<WCBasename> b = parsed(c.text);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->isStarStar(), c.starStar) << c.text;
    }
    EXPECT_FALSE(WCBasename('\\', true).isStarStar());
}

TEST(WCBasename, CaseInsensitiveCopy)
{
    const struct {
        const char* text;
        bool wildCard;
        const char* copy;
    } cases[] = {
        {"a*[b-c]", true, "[aA]*[b-cB-C]"},
        {"x*", false, "[xX]\\*"},
        {"1?", true, "1?"},
    };
    for (const auto& c : cases) {
        std::unique_ptr<WCBasename> b = parsed(c.text, c.wildCard);
        ASSERT_TRUE(b);
        std::unique_ptr<WCBasename> copy(b->createCaseInsensitiveBasename());
        ASSERT_TRUE(copy);
        EXPECT_TRUE(copy->isWildCard());
        EXPECT_EQ(copy->getBasename(), c.copy);
        EXPECT_EQ(copy->toUtf8(), c.copy);
        EXPECT_EQ(copy->getNumStars(), b->getNumStars());
    }
    std::unique_ptr<WCBasename> pattern = parsed("Rep*.TXT"), name = parsed("report.txt", false);
    std::unique_ptr<WCBasename> folded(pattern->createCaseInsensitiveBasename());
    EXPECT_FALSE(pattern->contains(*name, true, 0, 0));
    EXPECT_TRUE(folded->contains(*name, true, 0, 0));
}

}  // namespace
