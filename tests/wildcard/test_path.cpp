#include "support/Capture.h"
#include "wildcard/WCSubclients.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each component as <text>, with * after a pattern.
std::string describe(WCPath& path)
{
    std::string text;
    for (WCBasename* b : *path.getBasenames())
        text += "<" + b->getBasename() + (b->isWildCard() ? "*" : "") + ">";
    return text;
}

TEST(WCPath, SplitsAtItsFirstCharacterAndCopiesIgnoringCase)
{
    const struct {
        const char* text;
        PathMode mode;
        const char* components;
        const char* caseInsensitive;
    } cases[] = {
        {"/a/b", PathModeLiteral, "<a><b>", "<[aA]*><[bB]*>"},
        {"/a/b", PathModeLastWild, "<a><b*>", "<[aA]*><[bB]*>"},
        {"/Ab/c*", PathModeLastWild, "<Ab><c**>", "<[Aa][bB]*><[cC]**>"},
        {"/x*/1?", PathModeLiteral, "<x*><1?>", "<[xX]\\**><1\\?*>"},  // a literal star stays literal
        {"/a/b/", PathModeLastWild, "<a><b>", "<[aA]*><[bB]*>"},       // b is not last: a delimiter follows it
        {"/", PathModeAllWild, "", ""},
        {"\\a\\[b-c]", PathModeAllWild, "<a*><[b-c]*>", "<[aA]*><[b-cB-C]*>"},
        {",x,y.z", PathModeLiteral, "<x><y.z>", "<[xX]*><[yY].[zZ]*>"},
    };
    for (const auto& c : cases) {
        WCPath path;
        ASSERT_FALSE(path.parse(c.text, c.mode)) << c.text;
        EXPECT_EQ(describe(path), c.components) << c.text;
        std::unique_ptr<WCPath> copy(path.createCaseInsensitivePath());
        ASSERT_TRUE(copy) << c.text;
        EXPECT_EQ(describe(*copy), c.caseInsensitive) << c.text;
    }
}

TEST(WCPath, ParseFailures)
{
    CaptureLog log(-1);
    WCPath empty, leading, doubled, withNul;
    EXPECT_TRUE(empty.parse("", PathModeAllWild));
    EXPECT_TRUE(leading.parse("//a", PathModeAllWild));
    EXPECT_TRUE(doubled.parse("/a//b", PathModeAllWild));
    EXPECT_EQ(describe(doubled), "<a*>");  // what was parsed before the failure stays
    // No name holds a NUL: a component with one is refused, not cut short
    // (cut, /x/a would completely contain /x/a<NUL>b but could not contain it).
    EXPECT_TRUE(withNul.parse(std::string("/x/a\0b", 6), PathModeLiteral));
    EXPECT_EQ(describe(withNul), "<x>");
}

TEST(WCPath, ComparesLevelByLevel)
{
    const struct {
        const char* a;
        PathMode aMode;
        const char* b;
        PathMode bMode;
        bool caseSensitive;
        bool couldContain;
        bool completelyContains;
    } cases[] = {
        {"/data", PathModeAllWild, "/data/x/y", PathModeAllWild, true, true, true},
        {"/data/x", PathModeAllWild, "/data", PathModeAllWild, true, false, false},
        {"/d*", PathModeAllWild, "/data/x", PathModeAllWild, true, true, true},
        {"/data", PathModeAllWild, "/d*", PathModeAllWild, true, true, false},
        {"/a/x/c", PathModeAllWild, "/a/**/y", PathModeAllWild, true, true, false},
        {"/*", PathModeAllWild, "/**/x", PathModeAllWild, true, true, false},
        {"/", PathModeAllWild, "/anything/at/all", PathModeAllWild, true, true, true},
        {"/Ab/c*", PathModeLastWild, "/aB/Cx", PathModeLiteral, true, false, false},
        {"/Ab/c*", PathModeLastWild, "/aB/Cx", PathModeLiteral, false, true, true},
        {"\\a\\*", PathModeAllWild, "\\a\\b\\c", PathModeAllWild, true, true, true},
        {"\\x\\a/*", PathModeAllWild, "\\x\\ab", PathModeAllWild, true, false, false},  // the escape is the other slash
        {"/x/a\\*", PathModeAllWild, "/x/ab", PathModeAllWild, true, false, false},
        {"/logs/*.txt", PathModeAllWild, "/logs/[1].txt", PathModeLiteral, true, true, true},
        {"/logs/[1].txt", PathModeLiteral, "/logs/[1].txt", PathModeAllWild, true, false, false},  // '[' literal once
        // A set without members matches nothing: every path contains it, none could.
        {"/[q*m]*", PathModeAllWild, "/[q-m]*", PathModeAllWild, true, false, true},
    };
    for (const auto& c : cases) {
        WCPath a, b;
        ASSERT_FALSE(a.parse(c.a, c.aMode));
        ASSERT_FALSE(b.parse(c.b, c.bMode));
        SCOPED_TRACE(std::string(c.a) + " / " + c.b + (c.caseSensitive ? " (case)" : " (no case)"));
        EXPECT_EQ(a.couldContain(b, c.caseSensitive), c.couldContain);
        EXPECT_EQ(a.completelyContains(b, c.caseSensitive), c.completelyContains);
    }
}

TEST(WCPath, TakesAnyNumberOfComponents)
{
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "/c";
    WCPath a, b;
    ASSERT_FALSE(a.parse(text, PathModeAllWild));
    ASSERT_FALSE(b.parse(text + "/d", PathModeLiteral));
    EXPECT_EQ(a.getBasenames()->size(), 100000u);
    EXPECT_TRUE(a.couldContain(b, true));
    EXPECT_TRUE(a.completelyContains(b, true));
    EXPECT_FALSE(b.couldContain(a, true));
}

}  // namespace
