#include "support/Capture.h"
#include "wildcard/TPathMatch.h"

#include <gtest/gtest.h>

namespace {

enum Case { sensitive, insensitive };

TEST(TPathMatch, MatchesWholeNamesByTable)
{
    const struct {
        const char* pattern;
        std::string name;
        Case mode;
        bool matches;
        char escape = '\\';
    } cases[] = {
        {"*.log", "app.log.1", sensitive, false},
        {"*.log", "app.LOG", insensitive, true},
        {"*", "", sensitive, true},
        {"?", "", sensitive, false},
        {"?", "\xc3\xa9", sensitive, true},  // one character, two bytes
        {"??", "\xc3\xa9", sensitive, false},
        {"*??", "aa\xc3\xa9", sensitive, true},  // the star gives back whole characters
        {"caf?.log", "caf\xe9.log", sensitive, true},
        {"?", "\xed\xa0\x80", sensitive, true},             // an encoded surrogate is one character,
        {"???", "\xed\xa0\x80", sensitive, false},          // as pattern texts read it,
        {"\xed\xa8\xa0", "\xed\xa8\xa0", sensitive, true},  // so such a pattern matches its own text
        {"\xed\xb2\x80", "\x80", sensitive, false},         // and no stray byte
        {"?*", "\x80\xff", sensitive, true},
        {"caf\xc3\xa9", "caf\xe9", sensitive, false},
        {"caf\xc3\xa9", "CAF\xc3\x89", insensitive, false},  // only ASCII letters fold
        {"CAF\xc3\xa9", "caf\xc3\xa9", insensitive, true},
        {"a*x*b", "ayb", sensitive, false},  // the text between stars counts here
        {"*ab", "aab", sensitive, true},
        {"**x", "x", sensitive, true},
        {"[a-c]x", "Bx", sensitive, false},
        {"[a-c]x", "Bx", insensitive, true},
        {"[A-C]x", "bx", insensitive, true},
        {"[!a-c]x", "Bx", insensitive, false},
        {"[A-z]", "[", insensitive, true},
        {"[!]]", "x]", sensitive, true},  // an empty negated set, then ']'
        {"a\\*", "ab", sensitive, false},
        {"a/*\\", "a*\\", sensitive, true, '/'},
        {"a/*\\", "ab\\", sensitive, false, '/'},
        // Backtracking into every star would take exponential time here.
        {"*a*a*a*a*a*a*a*a*a*a*a*a*b", std::string(10000, 'a'), sensitive, false},
        {"*a*a*a*a*a*a*a*a*a*a*a*a*b", std::string(10000, 'a') + "b", sensitive, true},
    };
    for (const auto& c : cases) {
        TPathMatch matcher;
        if (c.mode == insensitive)
            matcher.caseInsensitive();
        matcher.setEscape(c.escape);
        matcher.setDelimiter(c.escape == '/' ? '\\' : '/');  // the other slash
        ASSERT_EQ(matcher.compilePattern(c.pattern, 1, 0), 0) << c.pattern;
        EXPECT_EQ(matcher.matchName(c.name) != 0, c.matches)
            << c.pattern << " / " << c.name << (c.mode == insensitive ? " (no case)" : "");
    }
}

TEST(TPathMatch, RefusesMalformedPatterns)
{
    CaptureLog log(-1);
    TPathMatch matcher;
    EXPECT_EQ(matcher.matchName("x"), 0);  // nothing compiled yet
    ASSERT_EQ(matcher.compilePattern("*", 1, 0), 0);
    const std::string malformed[] = {"", "bad\xc3", std::string(WCConverter::capacity + 1, 'x')};
    for (const std::string& pattern : malformed) {
        EXPECT_NE(matcher.compilePattern(pattern, 1, 0), 0);
        EXPECT_EQ(matcher.matchName("x"), 0);  // a refused pattern matches nothing
    }
}

}  // namespace
