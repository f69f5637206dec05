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
        {"/a/b", PathModeLastWild, "<a><b*>", "<[aA]*><[bB]*>"},
        {"/Ab/c*", PathModeLastWild, "<Ab><c**>", "<[Aa][bB]*><[cC]**>"},
        {"/x*/1?", PathModeLiteral, "<x*><1?>", "<[xX]\\**><1\\?*>"},  // a literal star stays literal
        {"/a/b/", PathModeLastWild, "<a><b>", "<[aA]*><[bB]*>"},       // b is not last: a delimiter follows it
        {"/", PathModeAllWild, "", ""},
        {"\\a\\[b-c]", PathModeAllWild, "<a*><[b-c]*>", "<[aA]*><[b-cB-C]*>"},
        {",x,y.z", PathModeLiteral, "<x><y.z>", "<[xX]*><[yY].[zZ]*>"},
        {",\xc3\xa9,[!a]", PathModeAllWild, "<\xc3\xa9*><[!a]*>", "<[\xc3\xa9\xc3\x89]*><[!aA]*>"},
        // A set gains the partners of its members: an interval those of the letters it holds.
        {"/[a\xc3\xa9]/[0-z]", PathModeAllWild, "<[a\xc3\xa9]*><[0-z]*>",
         "<[aA\xc3\xa9\xc3\x89]*><[0-zabcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ]*>"},
        {"/[A-c]/[@-B]/[@-_]", PathModeAllWild, "<[A-c]*><[@-B]*><[@-_]*>",
         "<[A-cabcdefghijklmnopqrstuvwxyzABC]*><[@-Bab]*><[@-_]*>"},
        {"/[x-\xc3\x81]/[\xc3\x9e-\xc3\xa1]", PathModeAllWild, "<[x-\xc3\x81]*><[\xc3\x9e-\xc3\xa1]*>",
         "<[x-\xc3\x81XYZ\xc3\xa0\xc3\xa1]*><[\xc3\x9e-\xc3\xa1\xc3\x80\xc3\x81]*>"},
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

// No name holds a NUL: a component with one is refused, not cut short
// (cut, /x/a would completely contain /x/a<NUL>b but could not contain it).
TEST(WCPath, ParseFailuresKeepWhatWasParsedBefore)
{
    CaptureLog log(-1);
    const std::pair<std::string, const char*> cases[] = {
        {"", ""}, {"//a", ""}, {"/a//b", "<a>"}, {std::string("/x/a\0b", 6), "<x>"}};
    for (const auto& c : cases) {
        WCPath path;
        EXPECT_TRUE(path.parse(c.first, PathModeLiteral)) << c.first;
        EXPECT_EQ(describe(path), c.second) << c.first;
    }
}

// Any number of levels, without deep recursion.
TEST(WCPath, ComparesLevelByLevel)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "/c";
    const struct {
        std::string a;
        PathMode aMode;
        std::string b;
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
        {"/", PathModeAllWild, "/anything/at/all", PathModeAllWild, true, true, true},
        {"/Ab/c*", PathModeLastWild, "/aB/Cx", PathModeLiteral, true, false, false},
        {"/Ab/c*", PathModeLastWild, "/aB/Cx", PathModeLiteral, false, true, true},
        {"\\a\\*", PathModeAllWild, "\\a\\b\\c", PathModeAllWild, true, true, true},
        {"\\x\\a/*", PathModeAllWild, "\\x\\ab", PathModeAllWild, true, false, false},  // the escape is the other slash
        {"/Data*", PathModeLiteral, "/data*", PathModeLiteral, true, false, false},
        {"/Data*", PathModeLiteral, "/data*", PathModeLiteral, false, true, true},
        {"/d*", PathModeAllWild, "/data*", PathModeLiteral, true, true, true},
        {"/logs/*.txt", PathModeAllWild, "/logs/[1].txt", PathModeLiteral, true, true, true},
        {"/logs/[1].txt", PathModeLiteral, "/logs/[1].txt", PathModeAllWild, true, false, false},  // '[' literal once
        {deep, PathModeAllWild, deep + "/d", PathModeLiteral, true, true, true},
        {deep + "/d", PathModeLiteral, deep, PathModeAllWild, true, false, false},
        // A set without members matches nothing: every path contains it, none could.
        {"/[q*m]*", PathModeAllWild, "/[q-m]*", PathModeAllWild, true, false, true},
    };
    for (const auto& c : cases) {
        WCPath a, b;
        ASSERT_FALSE(a.parse(c.a, c.aMode));
        ASSERT_FALSE(b.parse(c.b, c.bMode));
        SCOPED_TRACE(c.a.substr(0, 30) + " / " + c.b.substr(0, 30) + (c.caseSensitive ? " (case)" : " (no case)"));
        EXPECT_EQ(a.couldContain(b, c.caseSensitive), c.couldContain);
        EXPECT_EQ(a.completelyContains(b, c.caseSensitive), c.completelyContains);
    }
}

}  // namespace
