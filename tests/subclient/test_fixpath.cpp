// Path normalization and the wildcard marker.
#include "subclient/FSSubclientConf.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FixCase {
    std::string in;
    std::string out;  // of the string form
    char delim;
    const char* cOut = nullptr;  // of the C-string form when it differs; "#": fails, output untouched
    int appType = 1;
    bool fixSlashes = true;
    bool interchange = false;
};

// ":" alone is too short for a volume name; the C-string form refuses volume
// names too long for its fixed limit.
const std::string kNetWare = std::string(1023, 'V') + ":", kMountPoint = "V:\x12" + std::string(1021, 'm');
const std::string kFits = std::string(1022, 'V') + ":";
const FixCase kCases[] = {{"/", "/", '/'},
                          {"//a//b/", "/a/b", '/'},
                          {"a/b", "/a/b", '/'},
                          {"C:", "\\C:", '\\'},
                          {"c:\\dir\\sub\\", "\\c:\\dir\\sub", '\\'},
                          {"SYS:", "\\SYS:", '\\'},
                          {"V:\x12x", "\\V:\x12x", '\\'},
                          {"*.tmp", "/**/*.tmp", '/', "#"},
                          {":", "/**/:", '/', "#"},
                          {"%TEMP%", "/%TEMP%", '/', "#"},
                          {"/a\\b", "/a\\b", '/'},
                          {"/a\\b", "/a/b", '/', "/a\\b", 1, true, true},
                          {"/a\\b", "/a\\b", '/', nullptr, 6, true, true},
                          {"\\a/b", "\\a\\b", '\\'},
                          {"\\a/b", "\\a/b", '\\', nullptr, 6},
                          {"\\a/b", "\\a/b", '\\', nullptr, 1, false},
                          {"a\\", "\\a", '\\'},
                          {".a.b", ".a.b", '.'},
                          {",x,,y", ",x,y", ','},
                          {"<X>/y", "<X>/y", '/', "/<X>/y"},
                          {"", "", 0, "#"},
                          {kNetWare, "\\" + kNetWare, '\\', "#"},
                          {kMountPoint, "\\" + kMountPoint, '\\', "#"},
                          {kFits, "\\" + kFits, '\\'}};

TEST(FixPath, BothForms)
{
    for (const FixCase& c : kCases) {
        SCOPED_TRACE(c.in.substr(0, 20) + " type " + std::to_string(c.appType));
        FSSubclientConf conf(c.appType);
        conf.SetUseDelimiterInterchangeably(c.interchange);
        std::string out = "stale";
        EXPECT_EQ(c.delim, conf.fixPath(c.in, out, c.fixSlashes));
        EXPECT_EQ(c.out, out);
        std::vector<char> buffer(c.in.size() + 2, '#');
        buffer.back() = '\0';
        const std::string cOut = c.cOut ? c.cOut : c.out;
        EXPECT_EQ(cOut == "#" ? 0 : c.delim, conf.fixPath(c.in.c_str(), buffer.data(), c.fixSlashes));
        EXPECT_EQ(cOut, cOut == "#" ? std::string(1, buffer[0]) : std::string(buffer.data()));
    }
}

TEST(WildCardContent, MarkerSplitsPathFromTheRest)
{
    struct {
        const char* content;
        bool wild;
        const char* path;
    } cases[] = {{"/data/*.log\\/\\/", true, "/data/*.log"},
                 {"/a*\\/\\/x\\/\\/", true, "/a*"},
                 {"/data/x", false, "/data/x"},
                 {"\\/\\/", true, ""},
                 {"/a\\/b", false, "/a\\/b"}};
    for (const auto& c : cases) {
        std::string path = "stale";
        EXPECT_EQ(c.wild, isWildCardContent(c.content, path)) << c.content;
        EXPECT_EQ(c.path, path) << c.content;
    }
}

}  // namespace
