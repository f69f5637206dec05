// Could a directory contain a pattern (dirnameTest), does it hold all of it (completelyContains).
#include "subclient/FSSubclientConf.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

namespace {

// A wildcard dirname taken literally is another text; a pattern may name paths
// outside the directory (/d*/x of /data); the default application type ignores case.
TEST(PatternTests, DirectoryAgainstPattern)
{
    const struct {
        const char* dirname;
        bool isWildcard;
        const char* pattern;
        int could;     // dirnameTest
        int holdsAll;  // completelyContains
    } cases[] = {{"/data", false, "/data/x/y", 1, 1},
                 {"/data", false, "/data", 1, 1},
                 {"/data/x", false, "/data", 0, 0},
                 {"/data", false, "/database", 0, 0},
                 {"/", false, "/anything/below", 1, 1},
                 {"/d*", true, "/data/x", 1, 1},
                 {"/d*", false, "/data/x", 0, 0},
                 {"/data", false, "/d*/x", 1, 0},
                 {"/data", false, "/d*", 1, 0},
                 {"/data", false, "/**", 1, 0},
                 {"/data", false, "/**/x", 1, 0},
                 {"/*", true, "/**/x", 1, 0},
                 {"/data/*.log", true, "/data/x.txt", 0, 0},
                 {"\\c:\\data", false, "\\c:\\data\\x", 1, 1},
                 {"/DATA", false, "/data/x", 1, 1},
                 {"", false, "/x", -1, -1},
                 {"//a", true, "/x", -1, -1},
                 {"/a", false, "/x//y", -1, -1},
                 {nullptr, false, "/x", -1, -1},
                 {"/x", false, nullptr, -1, -1}};
    FSSubclientConf conf, exact(13);
    CaptureLog log(1);
    for (const auto& c : cases) {
        const std::string what = std::string(c.dirname ? c.dirname : "null") + (c.isWildcard ? " (wild card) " : " ") +
                                 (c.pattern ? c.pattern : "null");
        EXPECT_EQ(c.could, conf.dirnameTest(c.dirname, c.pattern, '/', c.isWildcard)) << what;
        EXPECT_EQ(c.holdsAll, conf.completelyContains(c.dirname, c.pattern, '/', c.isWildcard)) << what;
    }
    EXPECT_EQ(0, exact.dirnameTest("/DATA", "/data/x", '/', false));
    EXPECT_TRUE(log.has(1, "Cannot parse dirname '' (literal)")) << log.dump();
    EXPECT_TRUE(log.has(1, "Cannot parse dirname '//a' (wild card)")) << log.dump();
    EXPECT_TRUE(log.has(1, "Cannot parse pattern '/x//y'")) << log.dump();
}

}  // namespace
