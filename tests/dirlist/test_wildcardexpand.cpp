// Ifind mode: wildcard content expanded on disk, nodirs written as patterns.
#include "DirlistKit.h"
#include "platform/CXDirectory.h"
#include "support/Capture.h"
#include "support/TempDir.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace {

// The "+" lines for a folder's entries that keep() accepts, in the order the reader gives them.
template <class Keep>
Lines plusLines(const std::string& folder, Keep keep)
{
    Lines lines;
    CXDirectory dir;
    EXPECT_EQ(dir.open(folder.c_str()), 0) << folder;
    while (const char* name = dir.read())
        if (std::string(name) != "." && std::string(name) != ".." && keep(std::string(name)))
            lines.push_back("+" + folder + (folder == "/" ? "" : "/") + name);
    return lines;
}

std::unique_ptr<FSSubclientConf> ifindConf(const std::string& content)
{
    auto conf = buildConf(content);
    conf->setIfindMode(true);
    return conf;
}

class WildcardExpansion : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A name that is not UTF-8 must not drop out of the scan.
        for (const char* name :
             {"logs/", "logs/a.log", "logs/B.LOG", "logs/a.txt", "logs/c.txt", "logs/sub/", "logs/caf\xe9.log", "file"})
            dir.make(name);
    }
    TempDir dir;
    std::string logs = dir.file("logs");
    CaptureLog log{1};
};

TEST_F(WildcardExpansion, WritesEachMatchOnceInReaderOrderAfterTheLiterals)
{
    auto conf = ifindConf("A " + logs + "/*.log" + kWild + " " + logs + "/a*" + kWild + " " + logs + "/keep/deep");
    Lines expected = plusLines(logs, [](const std::string& n) { return n != "c.txt" && n != "sub"; });
    expected.insert(expected.begin(), logs + "/keep/deep");
    EXPECT_EQ(output(*conf, kDirnames, 2), expected);
    EXPECT_EQ(output(*conf, kTree, 2), expected);
    auto sensitive = ifindConf("A " + logs + "/*.log" + kWild);
    sensitive->caseSensitive();
    EXPECT_EQ(output(*sensitive, kDirnames, 2),
              plusLines(logs, [](const std::string& n) { return n == "a.log" || n == "caf\xe9.log"; }));
    Lines root = output(*ifindConf("A /*" + kWild), kDirnames, 2);
    EXPECT_EQ(root, plusLines("/", [](const std::string&) { return true; }));
    EXPECT_FALSE(root.empty());
}

// A missing folder (or a file) gives no lines and no error; one that exists but
// cannot be read must not vanish from the scan unnoticed.
TEST_F(WildcardExpansion, MissingAndUnreadableFolders)
{
    std::string missing = dir.file("missing"), loop = dir.file("loop");
    EXPECT_EQ(output(*ifindConf("A " + missing + "/*.log" + kWild + " " + dir.file("file/*") + kWild), kDirnames, 2),
              Lines{});
    EXPECT_TRUE(log.has(1, "Cannot open '" + missing + "', code " + std::to_string(ENOENT))) << log.dump();
    for (const LogRecord& r : log.records())
        EXPECT_NE(r.level, -1) << r.text;

    ASSERT_EQ(symlink("loop", loop.c_str()), 0);
    EXPECT_EQ(output(*ifindConf("A " + loop + "/*" + kWild), kDirnames, 2), Lines{});
    EXPECT_TRUE(log.has(-1, "Folder '" + loop + "' cannot be scanned, its wildcard content is left out: " +
                                std::system_category().message(ELOOP) + " (errno " + std::to_string(ELOOP) + ")"))
        << log.dump();
}

TEST_F(WildcardExpansion, AFailingCallbackEndsItWithItsResult)
{
    auto conf = ifindConf("A " + logs + "/*.log" + kWild + " B /b");
    for (Output run : {kDirnames, kNodirs}) {
        RecordingCallback cb;
        cb.failAt = 0;
        EXPECT_EQ((conf.get()->*run)(&cb, run == kDirnames ? 2 : 1), -7);
        EXPECT_EQ(cb.attempts, 1);
    }
}

TEST(IfindNodirs, AreWrittenAsEscapedPatterns)
{
    const std::pair<std::string, Lines> cases[] = {
        {"A /x[1] B /x[1]/a*b", {"/x\\[1]/a\\*b"}},
        {"A /x[1] B /x[1]/*.tmp" + kWild, {"/x\\[1]/*.tmp"}},
        {"A /p\\q? B /p\\q?/r\\s[t", {"/p\\\\q\\?/r\\\\s\\[t"}},
        {"A \\x[1] B \\x[1]\\a*b", {"\\x/[1]\\a/*b"}},  // with the backslash as delimiter the slash escapes
        {"A /logs/*.log" + kWild + " B /logs/a.log", {"/logs/a.log"}},
        // A wildcard nodir has only its escape characters doubled: its pattern characters stay active.
        {"A /w B /w/a\\*b*" + kWild, {"/w/a\\\\*b*"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(output(*ifindConf(c.first), kNodirs, 2), c.second) << c.first;
    EXPECT_EQ(output(*ifindConf("A /a B /b"), kNodirs, 1), (Lines{"/a", "/b"}));
    EXPECT_EQ(output(*ifindConf("A /logs/*.log" + kWild + " B /logs/a.log"), kNodirs, 1), Lines{"/logs/*.log"});
}

}  // namespace
