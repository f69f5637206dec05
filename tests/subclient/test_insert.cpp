// Content insertion: results, error codes, messages and the content each subclient ends with.
#include "SubclientTest.h"
#include "subclient/FSNameHash.h"

#include <tuple>

namespace {

// The content path a duplicate in subclient sc stands under.
std::string twin(const std::string& path, int sc)
{
    char postfix[64];
    snprintf(postfix, sizeof postfix, "[\t\t\t Duplicated for subclient #%03d]", sc);
    return path + postfix;
}

TEST(Insert, ContentOfEachSubclient)
{
    const struct {
        int appType;
        bool allowOverlap;
        Strings lines;
        const char* results;
        Strings content;
    } cases[] = {
        // The default subclient alone has the root as ancestor.
        {1, false, {"/x", "\tA", "/y"}, "-1 0 0", {"default: /", "A: /y"}},
        // A duplicate gets a postfixed sibling.
        {1,
         false,
         {"\tA", "/data//x/", "/data/x", "/data/x", "\tB", "/data/X"},
         "0 0 0 0 0 0",
         {"default: /", "A: /data/x " + twin("/data/x", 2) + " " + twin("/data/x", 2), "B: " + twin("/data/X", 3)}},
        // A descendant first leaves the existing node claimed; a rejected line leaves nothing behind.
        {1,
         false,
         {"\tA", "/p/a", "/q", "/q/sub", "/r/s", "/r", "\tB", "/p", "/p/b", "/q/sub"},
         "0 0 0 -1 0 -1 0 0 -1 0",
         {"default: /", "A: /p/a /q /r /r/s", "B: /p /q/sub"}},
        {1,
         false,
         {"\tA", "c:\\dir", "<X>", "\tB", "/C:/DIR"},
         "0 0 0 0 0",
         {"default: /", "A: /c:/dir /<X>", "B: " + twin("/c:/DIR", 3)}},
        {13, false, {"\tA", "/Data", "\tB", "/DATA"}, "0 0 0 0", {"default: /", "A: /Data", "B: /DATA"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines[1]);
        FSSubclientConf conf(c.appType);
        conf.setAllowOverlapSCContent(c.allowOverlap);
        CaptureLog log(-1);
        EXPECT_EQ(fill(conf, c.lines), c.results);
        EXPECT_EQ(contentOf(conf), c.content);
    }
    FSSubclientConf conf;
    CaptureLog log(1);
    ASSERT_EQ(0, conf.setName("A"));
    EXPECT_EQ(-2, conf.setPath(nullptr));
    EXPECT_TRUE(log.has(-1, "NULL path")) << log.dump();
    EXPECT_EQ(-1, conf.setPath(""));
    EXPECT_TRUE(log.has(-1, "Empty path")) << log.dump();
    EXPECT_EQ(0, conf.setPath("/y"));
    EXPECT_EQ(FS_INVALID, conf.getErrCode()) << "a success keeps the earlier failure's code";
}

// A parent gets its child index only with its eighth child; with fewer the
// sibling chain must answer as the index would: the first child of a name,
// the duplicate treatment, letter case folded in this mode. A long content
// list under one directory costs an index lookup per line, not a walk over
// the siblings before it (that walk made 50,000 lines take minutes).
TEST(Insert, AnswersAsTheChildIndexDoesBeforeAndAfterItIsBuilt)
{
    for (int children : {1, 7, 8, 20, 50000}) {
        SCOPED_TRACE(std::to_string(children) + " children");
        FSSubclientConf conf;
        ASSERT_EQ(0, conf.setName("A"));
        for (int i = 0; i < children; ++i)
            ASSERT_EQ(0, conf.setPath(("/p/c" + std::to_string(i)).c_str()));
        fill(conf, {"\tB", "/p/C0/x", "/p/c0", "\tC", "/P/c0"});  // the first c0 again, not its twin
        const Strings content = contentOf(conf);
        EXPECT_EQ(content[2], "B: /p/c0/x " + twin("/p/c0", 3));
        EXPECT_EQ(content[3], "C: " + twin("/p/c0", 4));
    }
}

// A name hashed inside a path as alone: lengths around a word and a block, capitals, bytes past ASCII.
TEST(NameHash, ScanInAPathAgreesWithTheNameAlone)
{
    for (bool caseSensitive : {true, false})
        for (std::string n : {"", "a", "Ab\xc3\xa9", "ABCDEFGH", "abcdefghI", "ABCDEFGHIJKLMNO", "abcdefghijklmnoP",
                              "ABCDEFGHIJKLMNOPQRS"})
            for (const std::string& t : {n, n + "/" + std::string(20, 'Z')}) {
                const FSNameHash hash(caseSensitive);
                const auto a = hash.scan(7, t.data(), t.data() + t.size(), '/'), b = hash.component(7, n);
                EXPECT_EQ(std::tie(a.key, a.length, a.words[0], a.words[1]),
                          std::tie(b.key, b.length, b.words[0], b.words[1]))
                    << t;
            }
}

// Start-restore paths of these application types carry a tail after 0x13.
TEST(Insert, StartRestoreCutsAtImageVolumeEnd)
{
    for (int appType : {65, 75, 76, 87, 29}) {
        SCOPED_TRACE(appType);
        FSSubclientConf conf(appType);
        ASSERT_EQ(0, conf.setName("A"));
        conf.setCalledFromStartRestore(true);
        EXPECT_EQ(0, conf.setPath("/vol/a\x13tail"));
        conf.setCalledFromStartRestore(false);
        EXPECT_EQ(0, conf.setPath("/other/b\x13tail"));
        const std::string restored = appType == 29 ? "/vol/a\x13tail" : "/vol/a";
        EXPECT_EQ(contentOf(conf)[1], "A: " + restored + " /other/b\x13tail");
    }
}

// Content far deeper than any thread's stack could hold one frame per level.
TEST(Insert, HundredThousandComponents)
{
    std::string line;
    for (int i = 0; i < 100000; ++i)
        line += "/d";
    FSSubclientConf conf;
    // The duplicate treatment at the deepest level; B's content lies below the half.
    EXPECT_EQ(fill(conf, {"\tA", line, "\tB", line, line.substr(0, line.size() / 2), "\tC",
                          line + "/x" + line.substr(0, 20000)}),
              "0 0 0 0 -1 0 0");
    EXPECT_EQ(FS_ANCESTOR, conf.getErrCode());
}  // destroying the object frees the tree without recursion

}  // namespace
