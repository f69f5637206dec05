// Path normalization, the wildcard marker and image-volume names.
#include "subclient/FSSubclientConf.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct FixCase {
    const char* in;
    int appType;
    bool fixSlashes;
    bool interchange;
    const char* stringOut;  // string form
    char stringDelim;
    const char* cOut;  // C-string form; null when it fails
    char cDelim;
};

const FixCase kCases[] = {
    {"/", 1, true, false, "/", '/', "/", '/'},
    {"//a//b/", 1, true, false, "/a/b", '/', "/a/b", '/'},
    {"/a/b//", 1, true, false, "/a/b", '/', "/a/b", '/'},
    {"a/b", 1, true, false, "/a/b", '/', "/a/b", '/'},
    {"C:", 1, true, false, "\\C:", '\\', "\\C:", '\\'},
    {"c:", 1, true, false, "\\c:", '\\', "\\c:", '\\'},
    {"c:\\dir\\sub\\", 1, true, false, "\\c:\\dir\\sub", '\\', "\\c:\\dir\\sub", '\\'},
    {"SYS:", 1, true, false, "\\SYS:", '\\', "\\SYS:", '\\'},
    {"V:\x12x", 1, true, false, "\\V:\x12x", '\\', "\\V:\x12x", '\\'},
    {"*.tmp", 1, true, false, "/**/*.tmp", '/', nullptr, 0},
    {":", 1, true, false, "/**/:", '/', nullptr, 0},  // too short for a volume name
    {"%TEMP%", 1, true, false, "/%TEMP%", '/', nullptr, 0},
    {"/a\\b", 1, true, false, "/a\\b", '/', "/a\\b", '/'},
    {"/a\\b", 1, true, true, "/a/b", '/', "/a\\b", '/'},
    {"/a\\b", 6, true, true, "/a\\b", '/', "/a\\b", '/'},
    {"\\a/b", 1, true, false, "\\a\\b", '\\', "\\a\\b", '\\'},
    {"\\a/b", 6, true, false, "\\a/b", '\\', "\\a/b", '\\'},
    {"\\a/b", 1, false, false, "\\a/b", '\\', "\\a/b", '\\'},
    {"a\\", 1, true, false, "\\a", '\\', "\\a", '\\'},
    {".a.b", 1, true, false, ".a.b", '.', ".a.b", '.'},
    {",x,,y", 1, true, false, ",x,y", ',', ",x,y", ','},
    {"<X>/y", 1, true, false, "<X>/y", '/', "/<X>/y", '/'},
    {"", 1, true, false, "", 0, nullptr, 0},
};

class FixPathTable : public ::testing::TestWithParam<FixCase> {};

TEST_P(FixPathTable, BothForms)
{
    const FixCase& c = GetParam();
    FSSubclientConf conf(c.appType);
    conf.SetUseDelimiterInterchangeably(c.interchange);

    std::string out = "stale";
    EXPECT_EQ(c.stringDelim, conf.fixPath(std::string(c.in), out, c.fixSlashes));
    EXPECT_EQ(c.stringOut, out);

    std::vector<char> buffer(strlen(c.in) + 2, '#');
    const char delim = conf.fixPath(c.in, buffer.data(), c.fixSlashes);
    EXPECT_EQ(c.cDelim, delim);
    if (c.cOut)
        EXPECT_STREQ(c.cOut, buffer.data());
    else
        EXPECT_EQ('#', buffer[0]) << "output touched on failure";
}

INSTANTIATE_TEST_SUITE_P(Cases, FixPathTable, ::testing::ValuesIn(kCases));

TEST(FixPath, MessagesOfTheTwoForms)
{
    CaptureLog log(1);
    FSSubclientConf conf;
    std::string out;
    conf.fixPath(std::string("*.tmp"), out, true);
    EXPECT_TRUE(log.has(1, "No delimiter for *.tmp, changing it to /**/*.tmp with delimiter /")) << log.dump();
    char buffer[16];
    conf.fixPath("abc", buffer, true);
    EXPECT_TRUE(log.has(-1, "No delimiter for abc")) << log.dump();
}

TEST(FixPath, OverLongVolumeNamesFailInTheCStringForm)
{
    CaptureLog log(1);
    FSSubclientConf conf;
    const std::string netWare = std::string(1023, 'V') + ":";
    std::vector<char> buffer(netWare.size() + 2);
    EXPECT_EQ(0, conf.fixPath(netWare.c_str(), buffer.data(), true));
    EXPECT_TRUE(log.has(-1, "Path too long at 1024 to turn into NetWare volume")) << log.dump();

    const std::string mountPoint = "V:\x12" + std::string(1021, 'm');
    EXPECT_EQ(0, conf.fixPath(mountPoint.c_str(), buffer.data(), true));
    EXPECT_TRUE(log.has(-1, "Path too long at 1024 to turn into Mount point volume")) << log.dump();

    const std::string fits = std::string(1022, 'V') + ":";
    EXPECT_EQ('\\', conf.fixPath(fits.c_str(), buffer.data(), true));
    EXPECT_EQ("\\" + fits, std::string(buffer.data()));
}

TEST(WildCardContent, MarkerSplitsPathFromTheRest)
{
    struct {
        const char* content;
        bool wild;
        const char* path;
    } cases[] = {
        {"/data/*.log\\/\\/", true, "/data/*.log"},
        {"/a*\\/\\/x\\/\\/", true, "/a*"},
        {"/data/x", false, "/data/x"},
        {"\\/\\/", true, ""},
        {"/a\\/b", false, "/a\\/b"},
    };
    for (const auto& c : cases) {
        std::string path = "stale";
        EXPECT_EQ(c.wild, isWildCardContent(c.content, path)) << c.content;
        EXPECT_EQ(c.path, path) << c.content;
    }
}

TEST(ImageVolumeName, MarkersBecomeDelimiterAndEnd)
{
    char text[] = "V\x12"
                  "a\x13"
                  "b";
    EXPECT_EQ(0, imageVolumeNameToPath(text, '/'));
    EXPECT_STREQ("V/a", text);

    char first[] = "\x12"
                   "a\x12"
                   "b";
    imageVolumeNameToPath(first, '\\');
    EXPECT_STREQ("\x12"
                 "a\\b",
                 first);

    char noDelimiter[] = "V\x12"
                         "a";
    imageVolumeNameToPath(noDelimiter, 0);  // an unset delimiter ends the name at the marker
    EXPECT_STREQ("V", noDelimiter);
}

}  // namespace
