// Scan lists written from a configuration: the lines each subclient gets; in ifind mode wildcard
// content expanded on disk and nodirs written as patterns.
#include "DirlistKit.h"
#include "platform/CXDirectory.h"
#include "support/TempDir.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace {

TEST(TreeOutput, WritesEachSubclientsLines)
{
    const std::string nested = "A /a/b B /a/b/c", ownBelowNodir = "A /a /a/b/c B /a/b", sameNested = "A /a/b /a/b/x";
    const std::string wild = "A /logs/*.log" + kWild;
    // A covered literal, then a sibling that no wildcard covers; a covered intermediate.
    const std::string coveredThenSibling = "A /logs/*.tmp" + kWild + " B /logs/x.tmp C /logs/y D /logs/y/z";
    const std::string coveredDeeper = "A /logs/*.tmp" + kWild + " B /logs/x.tmp/deeper";
    const struct {
        std::string content;
        bool allowOverlap;
        Output run;
        int scNum;
        Strings expected;
    } cases[] = {
        {"", false, kDirnames, 1, {"/"}},
        {nested, false, kDirnames, 2, {"/a/b"}},
        {nested, false, kNodirs, 2, {"/a/b/c"}},
        {nested, false, kDirnames, 4, {}},
        {"A /a B /a/b C /a/b/c", false, kNodirs, 3, {"/a/b/c"}},
        {ownBelowNodir, true, kNodirs, 2, {"/a/b"}},
        {ownBelowNodir, true, kDirnames, 2, {"/a", "/a/b/c"}},
        {ownBelowNodir, false, kDirnames, 2, {"/a"}},
        {sameNested, true, kDirnames, 2, {"/a/b", "/a/b/x"}},
        {sameNested, false, kDirnames, 2, {"/a/b"}},
        {sameNested, false, kTree, 2, {"/a/b", "/a/b/x"}},
        {wild, false, kDirnames, 2, {"/logs/*.log" + kWild}},
        {wild + " B /logs/a.log", false, kDirnames, 3, {"/logs/a.log"}},
        {coveredThenSibling, false, kNodirs, 4, {"/logs/y/z"}},
        {coveredThenSibling, false, kNodirs, 1, {"/logs/*.tmp" + kWild, "/logs/y"}},
        {coveredDeeper, false, kNodirs, 2, {"/logs/x.tmp/deeper"}},
        {coveredDeeper, false, kNodirs, 1, {"/logs/*.tmp" + kWild}},
        {"/data A /data/a", true, kDirnames, 1, {"/", "/data/"}},
        {"/logs/*.log" + kWild, false, kTree, 1, {"/", "/logs/*.log/" + kWild}},
        {"A /x /z B /y", false, kNodirs, 1, {"/x", "/z", "/y"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(output(*buildConf(c.content, c.allowOverlap), c.run, c.scNum), c.expected)
            << c.content << " (" << c.scNum << ")";
}

// The default subclient's loaded content lines are its start points (a bare root falls back to the walk);
// names run as their numbers; a failing line stops the run at once; without a callback nothing runs.
TEST(TreeOutput, DefaultContentNamesAndCallbacks)
{
    auto conf = loadConf("\tdefault\n/home\n/\n/srv/\n\tA\n/a/b\n/z\n\tB\n/a/b/c\n");
    EXPECT_EQ(output(*conf, kDirnames, 1), (Strings{"/home", "/", "/srv/"}));
    EXPECT_EQ(output(*conf, kNodirs, 1), (Strings{"/a/b", "/z"}));
    EXPECT_EQ(output(*conf, kTree, 1), Strings{"/"});
    EXPECT_EQ(output(*loadConf("\tdefault\n/\n\\\n"), kDirnames, 1), Strings{"/"});
    // Lines kept from an earlier run follow a change of the delimiter.
    conf->setDelim('\\');
    EXPECT_EQ(output(*conf, kNodirs, 1), (Strings{"\\a\\b", "\\z"}));
    conf->setDelim('/');
    CaptureLog log(1);
    LineSink dirs, unknown;
    EXPECT_EQ(conf->dirnames(&dirs, "A"), 0);
    EXPECT_EQ(dirs.lines, (Strings{"/a/b", "/z"}));
    EXPECT_EQ(conf->nodirs(&unknown, "nobody"), -1);
    EXPECT_EQ(conf->treeOutput(&unknown, static_cast<const char*>(nullptr)), -1);
    EXPECT_TRUE(unknown.lines.empty());
    EXPECT_TRUE(log.records().empty()) << log.dump();
    for (Output run : {kDirnames, kNodirs, kTree})
        for (int scNum : {1, 2}) {
            LineSink cb;
            cb.failAt = 0;
            EXPECT_EQ((conf.get()->*run)(&cb, scNum), -1) << scNum;
            EXPECT_EQ(cb.attempts, 1);
            log.clear();
            EXPECT_EQ((conf.get()->*run)(nullptr, scNum), -1);
            EXPECT_TRUE(log.has(-1, "no output callback given")) << log.dump();
        }
}

// The "+" lines for a folder's entries that keep() accepts, in the order the reader gives them.
template <class Keep>
Strings plusLines(const std::string& folder, Keep keep)
{
    Strings lines;
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

// Each match once, in the reader's order, after the literals. A missing folder (or a file) gives no
// lines and no error; one that exists but cannot be read must not vanish from the scan unnoticed.
TEST(WildcardExpansion, WritesEachMatchOnceAndReportsUnreadableFolders)
{
    CaptureLog log(1);
    TempDir dir;
    // A name that is not UTF-8 must not drop out of the scan.
    for (const char* name :
         {"logs/", "logs/a.log", "logs/B.LOG", "logs/a.txt", "logs/c.txt", "logs/sub/", "logs/caf\xe9.log", "file"})
        dir.make(name);
    std::string logs = dir.file("logs"), missing = dir.file("missing"), loop = dir.file("loop");
    auto conf = ifindConf("A " + logs + "/*.log" + kWild + " " + logs + "/a*" + kWild + " " + logs + "/keep/deep");
    Strings expected = plusLines(logs, [](const std::string& n) { return n != "c.txt" && n != "sub"; });
    expected.insert(expected.begin(), logs + "/keep/deep");
    EXPECT_EQ(output(*conf, kDirnames, 2), expected);
    EXPECT_EQ(output(*conf, kTree, 2), expected);
    for (Output run : {kDirnames, kNodirs}) {  // a failing line, here an expanded one, ends the run with its result
        LineSink cb;
        cb.failAt = 1;
        EXPECT_EQ((conf.get()->*run)(&cb, run == kDirnames ? 2 : 1), -7);
        EXPECT_EQ(cb.attempts, 2);
    }
    auto sensitive = ifindConf("A " + logs + "/*.log" + kWild);
    sensitive->caseSensitive();
    EXPECT_EQ(output(*sensitive, kDirnames, 2),
              plusLines(logs, [](const std::string& n) { return n == "a.log" || n == "caf\xe9.log"; }));
    Strings root = output(*ifindConf("A /*" + kWild), kDirnames, 2);
    EXPECT_EQ(root, plusLines("/", [](const std::string&) { return true; }));
    EXPECT_FALSE(root.empty());

    log.clear();
    EXPECT_EQ(output(*ifindConf("A " + missing + "/*.log" + kWild + " " + dir.file("file/*") + kWild), kDirnames, 2),
              Strings{});
    EXPECT_TRUE(log.has(1, "Cannot open '" + missing + "', code " + std::to_string(ENOENT))) << log.dump();
    for (const LogRecord& r : log.records())
        EXPECT_NE(r.level, -1) << r.text;

    ASSERT_EQ(symlink("loop", loop.c_str()), 0);
    EXPECT_EQ(output(*ifindConf("A " + loop + "/*" + kWild), kDirnames, 2), Strings{});
    EXPECT_TRUE(log.has(-1, "Folder '" + loop + "' cannot be scanned, its wildcard content is left out: " +
                                std::system_category().message(ELOOP) + " (errno " + std::to_string(ELOOP) + ")"))
        << log.dump();
}

TEST(IfindNodirs, AreWrittenAsEscapedPatterns)
{
    const std::pair<std::string, Strings> cases[] = {
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
    EXPECT_EQ(output(*ifindConf("A /logs/*.log" + kWild + " B /logs/a.log"), kNodirs, 1), Strings{"/logs/*.log"});
}

}  // namespace
