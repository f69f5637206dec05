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
        const char* rendered;
    } cases[] = {
        {"a\\*b", '\\', true, "a\\*b"},
        {"ab\\", '\\', true, "ab\\\\"},  // a trailing escape is literal
        {"[abc", '\\', true, "\\[abc"},  // unclosed set: literal '['
        {"[]a]", '\\', true, "[\\]a]"},  // ']' first is a member
        {"[]", '\\', true, "\\[]"},
        {"[!]", '\\', true, "[!]"},  // negated, no members
        {"[^]x]", '\\', true, "[!]x]"},
        {"[a-]", '\\', true, "[a\\-]"},
        {"[//\\]", '/', true, "[//\\]"},
        {"[a\\]", '\\', true, "\\[a]"},    // the escaped ']' does not close
        {"[a\\", '\\', true, "\\[a\\\\"},  // an escape at the end leaves the set open
        {"[a\\-z]", '\\', true, "[a\\-z]"},
        {"[\\a-\\z]", '\\', true, "[a-z]"},
        {"[+-\\]]", '\\', true, "[+-\\]]"},    // an upper bound ']' or escape is escaped,
        {"[+-\\\\]", '\\', true, "[+-\\\\]"},  // or the rendering would not read back
        {"[\xc3\xa9-\xc3\xbc]", '\\', true, "[\xc3\xa9-\xc3\xbc]"},
        // Encoded surrogates are read as values and written back as read.
        {"[\xed\xa0\x80-\xed\xbf\xbf]", '\\', true, "[\xed\xa0\x80-\xed\xbf\xbf]"},
        {"\xed\xbf\xbf*", '\\', false, "\xed\xbf\xbf\\*"},
        {"*[x]\\", '\\', false, "\\*\\[x]\\\\"},
        {"[z-ax]", '\\', true, "[x]"},  // an inverted interval is dropped, the rest kept
    };
    CaptureLog log(1);
    for (const auto& c : cases) {
        std::unique_ptr<WCBasename> b = parsed(c.text, c.wildCard, c.escape);
        ASSERT_TRUE(b) << c.text << "\n" << log.dump();
        EXPECT_EQ(b->getBasename(), c.text);
        EXPECT_EQ(b->isWildCard(), c.wildCard);
        EXPECT_EQ(b->toUtf8(), c.rendered) << c.text;
    }
}

TEST(WCBasename, TakesComponentsUpToTheCapacityAndKeepsTheOldTextOnFailure)
{
    std::unique_ptr<WCBasename> stars = parsed(std::string(WCConverter::capacity, '*'));
    ASSERT_TRUE(stars);
    EXPECT_EQ(stars->getNumStars(), 2048);
    EXPECT_TRUE(stars->isStarStar());  // two or more tokens, all of them stars
    for (const char* text : {"*", "a**", "**a", "\\*\\*"})
        EXPECT_FALSE(parsed(text)->isStarStar()) << text;
    EXPECT_TRUE(stars->contains(*stars, true, 0, 0));
    EXPECT_TRUE(stars->overlaps(*stars, true));
    std::unique_ptr<WCBasename> brackets = parsed(std::string(WCConverter::capacity, '['));
    ASSERT_TRUE(brackets);
    EXPECT_EQ(brackets->getTokens()->getSize(), 2048);

    CaptureLog log(-1);
    WCBasename b('\\', true);
    EXPECT_FALSE(b.parse("ok"));
    for (const std::string& bad : {std::string(), std::string("bad\xc3"), std::string("ok\0more", 7),
                                   std::string(WCConverter::capacity + 1, 'x')})
        EXPECT_TRUE(b.parse(bad)) << bad;  // a NUL would cut the name short
    EXPECT_EQ(b.getBasename(), "ok");
    EXPECT_EQ(b.toUtf8(), "ok");
}

TEST(WCBasename, OverlapsAndContainsByTable)
{
    const struct {
        const char* a;
        const char* b;
        bool caseSensitive;
        bool overlaps;  // must hold both ways
        bool contains;  // a contains b
    } cases[] = {
        {"*", "**", true, true, true},
        {"?*", "*", true, true, false},
        {"a*", "ab*", true, true, true},
        {"?", "*", true, true, false},
        {"a?c", "abc", true, true, true},
        {"a?c", "abcd", true, false, false},
        {"*.txt", "*.doc", true, false, false},
        {"*.txt", "*.TXT", true, false, false},
        {"*.txt", "*.TXT", false, true, true},
        {"x*", "x", true, true, true},
        {"x", "x*", true, true, false},
        {"[!a-c]*", "[!a-z]*", true, true, true},
        {"a*b*c", "a*c", true, true, false},
        {"a*c", "a*b*c", true, true, true},
        {"a\\*", "a*", true, true, false},
        {"a*", "a\\*", true, true, true},
        // Between the first and the last star nothing is compared.
        {"a*x*b", "a*y*b", true, true, false},
        {"a*x*b", "ab", true, true, false},
    };
    for (const auto& c : cases) {
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
    EXPECT_TRUE(star->contains(*b, true, 0, 0));
    EXPECT_FALSE(b->contains(*star, true, 0, 0));
    EXPECT_TRUE(a->exactMatch("Data*", true));
    EXPECT_FALSE(a->exactMatch("data*", true));
    EXPECT_TRUE(a->exactMatch("DATA*", false));
    EXPECT_FALSE(star->exactMatch("d*", true));  // a pattern is never an exact match
}

// A star tries every split; without sharing the answers of equal sub-problems
// these cases would run for ages.
TEST(WCBasename, ContainsManyStarsInPolynomialTime)
{
    std::string manyStars;
    for (int i = 0; i < 1000; ++i)
        manyStars += "*a";
    const std::string twelve = "*a*a*a*a*a*a*a*a*a*a*a*a*b";
    const struct {
        std::string a, b;
        bool contains;
    } cases[] = {
        {twelve, std::string(60, 'a'), false},
        {twelve, std::string(60, 'a') + "b", true},
        {twelve, "*a" + twelve, true},
        {twelve, twelve.substr(2), false},
        {manyStars + "*b", std::string(2000, 'a'), false},
    };
    for (const auto& c : cases) {
        std::unique_ptr<WCBasename> a = parsed(c.a), b = parsed(c.b);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(a->contains(*b, true, 0, 0), c.contains) << c.b.substr(0, 30);
    }
}

}  // namespace
