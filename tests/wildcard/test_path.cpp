#include "support/Capture.h"
#include "wildcard/WCSubclients.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string describe(WCPath& path)
{
    std::string text;
    for (WCBasename* b : *path.getBasenames())
        text += "<" + b->getBasename() + (b->isWildCard() ? "*" : "") + ">";
    return text;
}

TEST(WCPath, SplitsAtItsFirstCharacter)
{
    const struct {
        const char* text;
        PathMode mode;
        const char* components;  // <text> with * after a pattern
    } cases[] = {
        {"/a/b", PathModeLiteral, "<a><b>"},
        {"/a/b", PathModeLastWild, "<a><b*>"},
        {"/a/b", PathModeAllWild, "<a*><b*>"},
        {"/a/b/", PathModeLastWild, "<a><b>"},  // b is not last: a delimiter follows it
        {"/", PathModeAllWild, ""},
        {"\\a\\b", PathModeAllWild, "<a*><b*>"},
        {",x,y.z", PathModeLiteral, "<x><y.z>"},
    };
    for (const auto& c : cases) {
        WCPath path;
        ASSERT_FALSE(path.parse(c.text, c.mode)) << c.text;
        EXPECT_EQ(describe(path), c.components) << c.text;
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
        const char* b;
        bool caseSensitive;
        bool couldContain;
        bool completelyContains;
    } cases[] = {
        {"/data", "/data/x/y", true, true, true},
        {"/data/x", "/data", true, false, false},
        {"/d*", "/data/x", true, true, true},
        {"/data", "/d*", true, true, false},
        {"/a/b/c", "/a/**", true, true, false},
        {"/a/x/c", "/a/**/y", true, true, false},
        {"/*", "/**/x", true, true, false},
        {"/", "/anything/at/all", true, true, true},
        {"/", "/", true, true, true},
        {"/Data/*.log", "/data/app.LOG", true, false, false},
        {"/Data/*.log", "/data/app.LOG", false, true, true},
        {"\\a\\*", "\\a\\b\\c", true, true, true},
        {"\\x\\a/*", "\\x\\ab", true, false, false},  // the escape is the other slash
        {"/x/a\\*", "/x/ab", true, false, false},
        // A set without members matches nothing: every path contains it, none could.
        {"/[q*m]*", "/[q-m]*", true, false, true},
    };
    for (const auto& c : cases) {
        WCPath a, b;
        ASSERT_FALSE(a.parse(c.a, PathModeAllWild));
        ASSERT_FALSE(b.parse(c.b, PathModeAllWild));
        SCOPED_TRACE(std::string(c.a) + " / " + c.b + (c.caseSensitive ? " (case)" : " (no case)"));
        EXPECT_EQ(a.couldContain(b, c.caseSensitive), c.couldContain);
        EXPECT_EQ(a.completelyContains(b, c.caseSensitive), c.completelyContains);
    }
}

TEST(WCPath, LiteralPathUnderAPattern)
{
    WCPath pattern, literal;
    ASSERT_FALSE(pattern.parse("/logs/*.txt", PathModeAllWild));
    ASSERT_FALSE(literal.parse("/logs/[1].txt", PathModeLiteral));
    EXPECT_TRUE(pattern.completelyContains(literal, true));
    WCPath asPattern;
    ASSERT_FALSE(asPattern.parse("/logs/[1].txt", PathModeAllWild));
    EXPECT_FALSE(literal.couldContain(asPattern, true));  // '[' is literal on one side only
}

TEST(WCPath, CaseInsensitiveCopy)
{
    WCPath path;
    ASSERT_FALSE(path.parse("/Ab/c*", PathModeLastWild));
    std::unique_ptr<WCPath> copy(path.createCaseInsensitivePath());
    ASSERT_TRUE(copy);
    EXPECT_EQ(describe(*copy), "<[Aa][bB]*><[cC]**>");
    WCPath name;
    ASSERT_FALSE(name.parse("/aB/Cx", PathModeLiteral));
    EXPECT_FALSE(path.completelyContains(name, true));
    EXPECT_TRUE(copy->completelyContains(name, true));

    WCPath root;
    ASSERT_FALSE(root.parse("/", PathModeLiteral));
    std::unique_ptr<WCPath> rootCopy(root.createCaseInsensitivePath());
    ASSERT_TRUE(rootCopy);
    EXPECT_TRUE(rootCopy->getBasenames()->empty());
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
