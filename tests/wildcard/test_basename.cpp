#include "support/Capture.h"
#include "wildcard/WCSubclients.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A basename parsed from text; null when the parse failed.
std::unique_ptr<WCBasename> parsed(const std::string& text, bool wildCard = true, unsigned long escape = '\\')
{
    std::unique_ptr<WCBasename> basename(new WCBasename(escape, wildCard));
    if (basename->parse(text))
        return nullptr;
    return basename;
}

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

// A star tries every split: without sharing the answers of equal sub-problems
// the rows of many stars would run for ages.
TEST(WCBasename, OverlapsAndContainsByTable)
{
    std::string manyStars;
    for (int i = 0; i < 1000; ++i)
        manyStars += "*a";
    const std::string twelve = "*a*a*a*a*a*a*a*a*a*a*a*a*b";
    const struct {
        std::string a;
        std::string b;
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
        {"x*", "x", true, true, true},
        {"x", "x*", true, true, false},
        {"a*b*c", "a*c", true, true, false},
        {"a*c", "a*b*c", true, true, true},
        {"a\\*", "a*", true, true, false},
        {"a*", "a\\*", true, true, true},
        // Between the first and the last star nothing is compared.
        {"a*x*b", "a*y*b", true, true, false},
        {"a*x*b", "ab", true, true, false},
        {twelve, std::string(60, 'a'), true, false, false},
        {twelve, std::string(60, 'a') + "b", true, true, true},
        {twelve, "*a" + twelve, true, true, true},
        {twelve, twelve.substr(2), true, true, false},
        {manyStars + "*b", std::string(2000, 'a'), true, false, false},
        // One character, set, question mark or star against another.
        {"a", "A", true, false, false},
        {"a", "A", false, true, true},
        {"a", "?", true, true, false},
        {"?", "x", true, true, true},
        {"[a-c]", "[c-f]", true, true, false},
        {"[a-c]", "[d-f]", true, false, false},
        {"[a-c]", "[bb]", true, true, true},      // one repeated character is a fixed character
        {"[a-cd-f]", "[b-e]", true, true, true},  // touching intervals cover as one
        {"[a-cx-z]", "[c-x]", true, true, false},
        {"[!a]", "a", true, false, false},
        {"b", "[!a]", true, true, false},
        {"[!a]", "[!b]", true, true, false},
        {"[!a-c]", "[!a-z]", true, true, true},
        {"[a-z]", "[!a]", true, true, false},  // a plain set never contains a negated one
        {"[A-Z]", "q", false, true, true},
        {"[!A-Z]", "q", false, false, false},
        // Ignoring case an interval from a capital to a small letter keeps
        // every character between, its capitals as small letters.
        {"[W-m]", "_", false, true, true},
        {"[W-m]", "[n-v]", false, false, false},
        {"[--c]", "Z", false, true, true},
        {"[a-z]", "[A-z]", false, true, false},  // '_' is no letter
        // Wide sets are compared by their interval bounds, not per character.
        {"[\x01-\xf4\x8f\xbf\xbf]", "[\x01-\xf4\x8f\xbf\xbe]", true, true, true},
        {"[\x01-\xf4\x8f\xbf\xbe]", "[\x01-\xf4\x8f\xbf\xbf]", true, true, false},
        {"[\x01-\xf1\xbf\xbf\xbf\xf2\x80\x80\x80-\xf4\x8f\xbf\xbf]", "[\x01-\xf4\x8f\xbf\xbf]", false, true, true},
        {"[!\x01-\xef\xbf\xbf]", "[\x01-\xf4\x8f\xbf\xbf]", true, true, false},
        {"[!\x01-\xef\xbf\xbf]", "[\x01-\xf1\xbf\xbf\xbf\xf2\x80\x80\x80-\xf4\x8f\xbf\xbf]", true, true, false},
        // A negated set without members stands for every character.
        {"[!]", "a", true, true, true},
        {"[a]", "[!]", true, true, false},
        // A set whose only interval was inverted stands for nothing.
        {"[z-a]", "a", true, false, false},
        {"[a]", "[z-a]", true, false, true},
    };
    for (const auto& c : cases) {
        std::unique_ptr<WCBasename> a = parsed(c.a), b = parsed(c.b);
        ASSERT_TRUE(a && b) << c.a << " / " << c.b;
        SCOPED_TRACE(c.a.substr(0, 30) + " / " + c.b.substr(0, 30) + (c.caseSensitive ? " (case)" : " (no case)"));
        EXPECT_EQ(a->overlaps(*b, c.caseSensitive), c.overlaps);
        EXPECT_EQ(b->overlaps(*a, c.caseSensitive), c.overlaps);
        EXPECT_EQ(a->contains(*b, c.caseSensitive, 0, 0), c.contains);
    }
}

TEST(WCBasename, OnlyALiteralMatchesANameExactly)
{
    std::unique_ptr<WCBasename> literal = parsed("Data*", false), pattern = parsed("d*");
    EXPECT_TRUE(literal->exactMatch("Data*", true));
    EXPECT_FALSE(literal->exactMatch("data*", true));
    EXPECT_TRUE(literal->exactMatch("DATA*", false));
    EXPECT_FALSE(pattern->exactMatch("d*", true));
}

// Past either end a token sequence gives the inert token, which stands for nothing.
TEST(WCBasename, TokensOutOfRangeStandForNothing)
{
    std::unique_ptr<WCBasename> a = parsed("a");
    WCSequence& tokens = *a->getTokens();
    EXPECT_EQ(&tokens.get(-1), &tokens.get(1));
    EXPECT_FALSE(tokens.get(1).matches(tokens.get(0), true));
}

// A wide set is copied by its interval bounds, not per character.
TEST(WCBasename, CaseInsensitiveCopyOfAWideSetStaysSmall)
{
    std::unique_ptr<WCBasename> wide = parsed("[A-\xf4\x8f\xbf\xbf]");
    std::unique_ptr<WCBasename> copy(wide->createCaseInsensitiveBasename());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->contains(*wide, true, 0, 0));
    EXPECT_LT(copy->toUtf8().size(), 300u);  // the partners of the letters only
}

}  // namespace
