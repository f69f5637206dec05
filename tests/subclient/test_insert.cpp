// Content insertion: results, error codes, messages and the tree afterwards.
#include "TreeView.h"
#include "subclient/FSSubclientConfPrivate.h"
#include "support/Capture.h"

#include "platform/KXGlobalParam.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

std::string postfix(unsigned long sc)
{
    std::string text;
    setPostfixToAvoidDuplication(text, sc);
    return text;
}

// Subclients A (2) and B (3) after the default one.
class Insert : public ::testing::Test {
protected:
    void name(const char* n) { ASSERT_EQ(0, conf.setName(n)); }

    CaptureLog log{1};
    FSSubclientConf conf;
};

TEST_F(Insert, BadInputIsRejected)
{
    struct {
        const char* path;
        int rc;
        const char* message;
        int level;
        int errCode;
    } cases[] = {
        {nullptr, -2, "NULL path", -1, FS_INVALID},
        {"", -1, "Empty path", -1, FS_INVALID},
        {"\\/\\/", -1, "Path '\\/\\/' invalid path", -1, FS_INVALID},
        {"//", -1, "Root directory is already in subclient 1", 1, FS_DUPLICATE},
        {"/x/\xc3/y", -2, "recursiveParse cannot parse '\xc3/y'", -1, FS_INVALID},
    };
    name("A");
    for (const auto& c : cases) {
        log.clear();
        EXPECT_EQ(c.rc, conf.setPath(c.path)) << c.message;
        EXPECT_EQ(c.errCode, conf.getErrCode()) << c.message;
        EXPECT_TRUE(log.has(c.level, c.message)) << log.dump();
    }
    EXPECT_EQ((Lines{"/x -1"}), treeView(conf)) << "intermediate nodes stay";
    // A success keeps the earlier failure's code.
    EXPECT_EQ(0, conf.setPath("/y"));
    EXPECT_EQ(FS_INVALID, conf.getErrCode());
}

TEST_F(Insert, DuplicatesGetAPostfixedSibling)
{
    name("A");
    ASSERT_EQ(0, conf.setPath("/data//x/"));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(0, conf.setPath("/data/x")) << i;
    name("B");
    EXPECT_EQ(0, conf.setPath("/data/x"));
    EXPECT_EQ(FS_NO_ERROR, conf.getErrCode());
    EXPECT_TRUE(log.has(1, "recursiveParse line='x' scNum=2: cannot add to map")) << log.dump();
    EXPECT_TRUE(log.has(1, "Duplicate path '/data/x' already in subclient 2 - cannot add to subclient 3"))
        << log.dump();
    const std::string twin = "/data/x" + postfix(2) + " 2";
    EXPECT_EQ((Lines{"/data -1", "/data/x 2", twin, twin, "/data/x" + postfix(3) + " 3"}), treeView(conf));
}

TEST_F(Insert, AncestorsAndDescendants)
{
    name("A");
    ASSERT_EQ(0, conf.setPath("/p/a"));
    ASSERT_EQ(0, conf.setPath("/q"));
    EXPECT_EQ(-1, conf.setPath("/q/sub"));
    EXPECT_EQ(FS_ANCESTOR, conf.getErrCode());
    EXPECT_TRUE(log.has(1, "Found ancestor or descendant")) << log.dump();
    ASSERT_EQ(0, conf.setPath("/r/s"));
    EXPECT_EQ(-1, conf.setPath("/r")) << "a descendant first leaves the existing node claimed";
    name("B");
    ASSERT_EQ(0, conf.setPath("/p"));
    EXPECT_EQ(-1, conf.setPath("/p/b")) << "a rejected last sibling is taken out again";
    EXPECT_EQ(0, conf.setPath("/q/sub")) << "A's rejected line left nothing behind";
    EXPECT_EQ((Lines{"/p 3", "/p/a 2", "/q 2", "/q/sub 3", "/r 2", "/r/s 2"}), treeView(conf));
}

TEST_F(Insert, OverlapAllowed)
{
    EXPECT_EQ(-1, conf.setPath("/x")) << "the default subclient alone has the root as ancestor";
    conf.setAllowOverlapSCContent(true);
    EXPECT_EQ(0, conf.setPath("/x"));
    name("A");
    ASSERT_EQ(0, conf.setPath("/data"));
    EXPECT_EQ(0, conf.setPath("/data/sub/deeper/x"));
    EXPECT_EQ(0, conf.setPath("/data/sub"));
    EXPECT_EQ((Lines{"/x 1", "/data 2", "/data/sub 2", "/data/sub/deeper -1", "/data/sub/deeper/x 2"}), treeView(conf));
}

// A parent gets its child index only with its eighth child; with fewer the
// sibling chain must answer as the index would: the first child of a name,
// the duplicate treatment, letter case folded in this mode.
TEST(InsertFewChildren, AnswersAsTheIndexDoesBeforeAndAfterItIsBuilt)
{
    for (int children : {1, 7, 8, 20}) {
        SCOPED_TRACE(std::to_string(children) + " children");
        FSSubclientConf conf;
        ASSERT_EQ(0, conf.setName("A"));
        Lines expected;
        for (int i = 0; i < children; ++i) {
            const std::string path = "/p/c" + std::to_string(i);
            ASSERT_EQ(0, conf.setPath(path.c_str()));
            expected.push_back(path + " 2");
        }
        ASSERT_EQ(0, conf.setName("B"));
        EXPECT_EQ(0, conf.setPath("/p/C0/x"));  // into c0: no new sibling
        expected.insert(expected.begin() + 1, "/p/c0/x 3");
        EXPECT_EQ(0, conf.setPath("/p/c0"));
        expected.push_back("/p/c0" + postfix(3) + " 3");
        ASSERT_EQ(0, conf.setName("C"));
        EXPECT_EQ(0, conf.setPath("/P/c0"));  // the first c0 again, not its twin
        expected.push_back("/p/c0" + postfix(4) + " 4");
        expected.insert(expected.begin(), "/p -1");
        EXPECT_EQ(expected, treeView(conf));
    }
}

TEST_F(Insert, WindowsDriveSpecialContentAndLetterCase)
{
    name("A");
    EXPECT_EQ(0, conf.setPath("c:\\dir"));
    EXPECT_EQ('\\', conf.getDelim());
    EXPECT_EQ(0, conf.setPath("<X>"));
    EXPECT_EQ('/', conf.getDelim());
    name("B");
    EXPECT_EQ(0, conf.setPath("/C:/DIR"));
    EXPECT_EQ((Lines{"/c: -1", "/c:/dir 2", "/c:/DIR" + postfix(3) + " 3", "/<X> 2"}), treeView(conf));
    FSSubclientConf exact(13);
    ASSERT_EQ(0, exact.setName("A"));
    ASSERT_EQ(0, exact.setPath("/Data"));
    ASSERT_EQ(0, exact.setName("B"));
    EXPECT_EQ(0, exact.setPath("/DATA"));
    EXPECT_EQ((Lines{"/Data 2", "/DATA 3"}), treeView(exact));
}

// An intermediate node answers for the content below it.
TEST_F(Insert, NodeQueriesLookBelowIntermediateNodes)
{
    name("A");
    name("B");
    ASSERT_EQ(0, conf.setPath("/x/y/z"));
    FSSubclientNode* x = findNode(conf, "/x");
    EXPECT_EQ(3, conf.nodeToSubclientNumber(x));
    EXPECT_EQ("B", conf.nodeToSubclientName(x));
    EXPECT_EQ(-1, conf.nodeToSubclientNumber(nullptr));
    EXPECT_EQ("not set", conf.nodeToSubclientName(nullptr));
}

// Start-restore paths of these application types carry a tail after 0x13.
TEST(InsertStartRestore, CutAtImageVolumeEnd)
{
    for (int appType : {65, 75, 76, 87, 29}) {
        SCOPED_TRACE(appType);
        kxSetGlobalParamSource([](const int&, std::string& value) {
            value = "0";
            return 0;
        });
        FSSubclientConf conf(appType);
        kxSetGlobalParamSource(nullptr);
        ASSERT_EQ(0, conf.setName("A"));
        conf.setCalledFromStartRestore(true);
        EXPECT_EQ(0, conf.setPath("/vol/a\x13tail"));
        conf.setCalledFromStartRestore(false);
        EXPECT_EQ(0, conf.setPath("/other/b\x13tail"));
        const std::string restored = appType == 29 ? "/vol/a\x13tail 2" : "/vol/a 2";
        EXPECT_EQ(restored, treeView(conf)[1]);
        EXPECT_EQ("/other/b\x13tail 2", treeView(conf).back());
    }
}

// A long content list under one directory: each line costs an index lookup,
// not a walk over the siblings before it (that walk made this take minutes).
TEST(InsertWide, FiftyThousandSiblings)
{
    const int count = 50000;
    FSSubclientConf conf;
    ASSERT_EQ(0, conf.setName("A"));
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(0, conf.setPath(("/data/f" + std::to_string(i)).c_str())) << i;
    ASSERT_EQ(0, conf.setName("B"));
    EXPECT_EQ(0, conf.setPath("/data/f7"));
    EXPECT_EQ("/data/f7" + postfix(3) + " 3", treeView(conf).back());
}

// Content far deeper than any thread's stack could hold one frame per level.
TEST(InsertDeep, HundredThousandComponents)
{
    std::string line;
    for (int i = 0; i < 100000; ++i)
        line += "/d";
    {
        FSSubclientConf conf;
        ASSERT_EQ(0, conf.setName("A"));
        EXPECT_EQ(0, conf.setPath(line.c_str()));
        ASSERT_EQ(0, conf.setName("B"));
        EXPECT_EQ(0, conf.setPath(line.c_str())) << "duplicate treatment at the deepest level";
        EXPECT_EQ(-1, conf.setPath(line.substr(0, line.size() / 2).c_str())) << "B's content lies below";
        EXPECT_EQ(FS_ANCESTOR, conf.getErrCode());
        ASSERT_EQ(0, conf.setName("C"));
        EXPECT_EQ(0, conf.setPath((line + "/x" + line.substr(0, 20000)).c_str()));
    }  // destroying the object frees the tree without recursion
}

}  // namespace
