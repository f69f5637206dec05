// Line sources and sinks on files.
#include "DirlistKit.h"
#include "support/TempDir.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

TEST(FSFileInput, RemovesLineEndsAndReportsWhatCannotBeRead)
{
    const struct {
        const char* content;
        int size;
        Strings lines;
    } cases[] = {
        {"abc\ndef", 100, {"abc", "def"}},
        {"\n", 100, {"\n"}},
        {"\r\n", 100, {"\r"}},
        {"abcdefgh\n", 4, {"abc", "def", "gh"}},
        // A CR that is not followed by the line end is data, not a line end.
        {"abc\r", 100, {"abc\r"}},
        {"", 100, {}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        std::string path = dir.write("in.txt", c.content);
        FSFileInput input;
        ASSERT_EQ(input.open(&path[0]), 0);
        Strings lines;
        std::vector<char> buf(c.size);
        int r;
        while ((r = input.getLine(buf.data(), c.size)) == 1)
            lines.push_back(buf.data());
        EXPECT_EQ(r, 0);
        EXPECT_EQ(lines, c.lines) << "content '" << c.content << "' size " << c.size;
    }
    CaptureLog log(1);
    FSFileInput input;
    char buf[16];
    EXPECT_EQ(input.getLine(buf, sizeof buf), -1);  // not open
    std::string missing = dir.file("missing"), folder = dir.path(), file = dir.write("in.txt", "abc\n");
    EXPECT_EQ(input.open(&missing[0]), -1);
    EXPECT_TRUE(log.has(-1, "Cannot open " + missing + ", errno " + std::to_string(ENOENT)));
    ASSERT_EQ(input.open(&folder[0]), 0);
    EXPECT_EQ(input.getLine(buf, sizeof buf), -1);
    ASSERT_EQ(input.open(&file[0]), 0);
    EXPECT_EQ(input.getLine(buf, 1), -1);  // no room for a text
    EXPECT_EQ(input.getLine(buf, 2), 1);
    EXPECT_STREQ(buf, "a");
}

// A new file only, never an existing file, link or folder; write and close failures are reported.
TEST(FSFileOutput, WritesANewFileThenStandardOutput)
{
    CaptureLog log(1);
    TempDir dir;
    std::string path = dir.file("out.txt"), existing = dir.write("old.txt", "keep"), link = dir.file("link");
    std::string folder = dir.path(), nested = dir.file("no/such/file");
    ASSERT_EQ(symlink(dir.file("target").c_str(), link.c_str()), 0);
    {
        FSFileOutput output;
        for (std::string* taken : {&existing, &link, &folder}) {
            EXPECT_EQ(output.create(&(*taken)[0]), -1) << *taken;
            EXPECT_TRUE(log.has(-1, "Cannot create file " + *taken + " which already exists")) << log.dump();
        }
        EXPECT_EQ(output.create(&nested[0]), -1);
        EXPECT_EQ(output.putLine("x"), -1);  // not open
        ASSERT_EQ(output.create(&path[0]), 0);
        EXPECT_EQ(output.putLine("a"), 0);
        output.indentNext = 1;
        EXPECT_EQ(output.putLine("b"), 0);
        EXPECT_EQ(output.putLine("c"), 0);
        output.useStdout();
        EXPECT_EQ(TempDir::read(path), "a\n\tb\nc\n");  // closing flushed it
    }
    EXPECT_NE(fcntl(fileno(stdout), F_GETFD), -1);
    EXPECT_EQ(TempDir::read(existing), "keep");
    EXPECT_NE(access(dir.file("target").c_str(), F_OK), 0);

    struct FullDevice : FSFileOutput {
        FullDevice() { stream = fopen("/dev/full", "w"); }
    };
    ASSERT_NE(FullDevice().putLine(std::string(100000, 'x').c_str()), 0);
    // A short line stays in the buffer; the failure shows when the file is closed.
    EXPECT_EQ(FullDevice().putLine("x"), 0);
    EXPECT_TRUE(log.has(-1, "Closing the output file failed, errno " + std::to_string(ENOSPC) +
                                ": lines written to it may be lost"))
        << log.dump();
}

}  // namespace
