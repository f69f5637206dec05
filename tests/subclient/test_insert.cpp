// Content insertion: results, error codes, messages, replay records and the tree afterwards.
#include "subclient/FSSubclientConfPrivate.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"
#include "TreeView.h"

#include "platform/KXGlobalParam.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const std::string kMarker = "\\/\\/";

std::string wild(const std::string& path) {
    return path + kMarker;
}

std::string postfix(unsigned long sc) {
    std::string text;
    setPostfixToAvoidDuplication(text, sc);
    return text;
}

// Subclients A (2) and B (3) after the default one.
class Insert : public ::testing::Test {
protected:
    void name(const char* n) { ASSERT_EQ(0, conf.setName(n)); }
    CFSSubclientConfPrivate& priv() { return FSSubclientConfTestAccess::priv(conf); }
    std::vector<std::string> replayTexts() {
        std::vector<std::string> texts;
        for (const FSPlayback& r : priv().replayVec)
            texts.push_back(std::to_string(r.kind) + (r.isWildcard ? "w " : " ") + r.text);
        return texts;
    }

    // A record with this origin, level and text.
    bool hasFrom(const std::string& origin, int level, const std::string& text) {
        for (const LogRecord& r : log.records())
            if (r.origin == origin && r.level == level && r.text == text)
                return true;
        return false;
    }

    CaptureLog log{255};
    CaptureEvents events;
    FSSubclientConf conf;
};

TEST_F(Insert, BadInputIsRejected) {
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
        {"/", -1, "Root directory is already in subclient 1", 1, FS_DUPLICATE},
        {"//", -1, "Root directory is already in subclient 1", 1, FS_DUPLICATE},
    };
    name("A");
    for (const auto& c : cases) {
        log.clear();
        EXPECT_EQ(c.rc, conf.setPath(c.path)) << c.message;
        EXPECT_EQ(c.errCode, conf.getErrCode()) << c.message;
        EXPECT_TRUE(log.has(c.level, c.message)) << log.dump();
    }
    EXPECT_TRUE(treeView(conf).empty());
    EXPECT_EQ((Lines{"0 default", "0 A"}), replayTexts());
}

TEST_F(Insert, LiteralPathsAndTheirRecords) {
    name("A");
    EXPECT_EQ(0, conf.setPath("/data//x/"));
    EXPECT_EQ(0, conf.setPath("/data/y"));
    name("B");
    EXPECT_EQ(0, conf.setPath("/home"));
    EXPECT_EQ((Lines{"/data -1", "/data/x 2", "/data/y 2", "/home 3"}), treeView(conf));
    EXPECT_EQ((Lines{"0 default", "0 A", "1 /data/x", "1 /data/y", "0 B", "1 /home"}), replayTexts());
    EXPECT_TRUE(log.has(3, "replayVec[5] path '/home'")) << log.dump();
    EXPECT_TRUE(log.has(192, "valid path='/data//x/', pathStr='/data//x/', fixedPath='/data/x'")) << log.dump();
    EXPECT_EQ("/home", conf.nodeToPath(priv().lastNode));
}

TEST_F(Insert, DuplicateInAnotherSubclientGetsAPostfixedSibling) {
    name("A");
    ASSERT_EQ(0, conf.setPath("/data"));
    name("B");
    EXPECT_EQ(0, conf.setPath("/data"));
    EXPECT_EQ(FS_NO_ERROR, conf.getErrCode());
    EXPECT_TRUE(log.has(1, "Duplicate path '/data' already in subclient 2 - cannot add to subclient 3")) << log.dump();
    EXPECT_TRUE(log.has(3, "FS_DUPLICATE Treatment: new lineStr='data" + postfix(3) + "'")) << log.dump();
    EXPECT_TRUE(log.has(3, "FS_DUPLICATE Treatment: new fsp.value='/data" + postfix(3) + "'")) << log.dump();
    EXPECT_EQ((Lines{"/data 2", "/data" + postfix(3) + " 3"}), treeView(conf));
    EXPECT_EQ("1 /data" + postfix(3), replayTexts().back());
    EXPECT_EQ("/data" + postfix(3), conf.nodeToPath(priv().lastNode));
    EXPECT_TRUE(priv().dupPostfix.empty());
}

TEST_F(Insert, RepeatedDuplicatesInOneSubclient) {
    name("A");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0, conf.setPath("/data")) << i;
    EXPECT_TRUE(log.has(1, "recursiveParse line='data' scNum=2: cannot add to map")) << log.dump();
    const std::string twin = "/data" + postfix(2) + " 2";
    EXPECT_EQ((Lines{"/data 2", twin, twin}), treeView(conf));
}

TEST_F(Insert, AncestorInSameSubclientIsTakenOutAgain) {
    name("A");
    ASSERT_EQ(0, conf.setPath("/data"));
    log.clear();
    EXPECT_EQ(-1, conf.setPath("/data/sub"));
    EXPECT_EQ(FS_ANCESTOR, conf.getErrCode());
    EXPECT_TRUE(log.has(1, "Found ancestor or descendant")) << log.dump();
    EXPECT_EQ((Lines{"/data 2"}), treeView(conf));
    EXPECT_EQ(nullptr, priv().root->firstChild->lastChild);
    EXPECT_EQ(3u, priv().replayVec.size());

    // The index entry went with the node: the next line creates a fresh one.
    name("B");
    EXPECT_EQ(0, conf.setPath("/data/sub"));
    EXPECT_EQ((Lines{"/data 2", "/data/sub 3"}), treeView(conf));
}

TEST_F(Insert, RejectedLastSiblingRestoresLastChild) {
    name("A");
    ASSERT_EQ(0, conf.setPath("/p/a"));
    ASSERT_EQ(0, conf.setPath("/q"));
    name("B");
    ASSERT_EQ(0, conf.setPath("/p"));
    EXPECT_EQ(-1, conf.setPath("/p/b"));
    FSSubclientNode* p = findNode(conf, "/p");
    ASSERT_NE(nullptr, p);
    EXPECT_EQ("/p/a", conf.nodeToPath(p->lastChild));
    EXPECT_EQ(0, conf.setPath("/q/r")) << "B has no relative of /q/r";
    EXPECT_EQ((Lines{"/p 3", "/p/a 2", "/q 2", "/q/r 3"}), treeView(conf));
}

TEST_F(Insert, AncestorTreatmentWhenOverlapIsAllowed) {
    name("A");
    priv().allowOverlapSCContent = true;
    ASSERT_EQ(0, conf.setPath("/data"));
    EXPECT_EQ(0, conf.setPath("/data/sub"));
    EXPECT_TRUE(log.has(1, "FS_ANCESTOR Treatment: allow ancestor and descendant in the same subclient for "
                           "lineStr='sub'"))
        << log.dump();
    EXPECT_EQ(0, conf.setPath("/data/sub/deeper/x"));
    EXPECT_EQ(0, conf.setPath("/data/sub/deeper"));
    EXPECT_EQ((Lines{"/data 2", "/data/sub 2", "/data/sub/deeper 2", "/data/sub/deeper/x 2"}), treeView(conf));
    EXPECT_EQ(FS_ANCESTOR, conf.getErrCode()) << "the treatment does not reset the code";
}

TEST_F(Insert, DescendantFirstLeavesTheExistingNodeClaimed) {
    name("A");
    ASSERT_EQ(0, conf.setPath("/data/sub"));
    EXPECT_EQ(-1, conf.setPath("/data"));
    EXPECT_EQ(FS_ANCESTOR, conf.getErrCode());
    EXPECT_EQ((Lines{"/data 2", "/data/sub 2"}), treeView(conf));
}

TEST_F(Insert, DefaultSubclientAloneHasTheRootAsAncestor) {
    EXPECT_EQ(-1, conf.setPath("/x"));
    EXPECT_EQ(FS_ANCESTOR, conf.getErrCode());
    EXPECT_TRUE(treeView(conf).empty());
    priv().allowOverlapSCContent = true;
    EXPECT_EQ(0, conf.setPath("/x"));
    EXPECT_EQ((Lines{"/x 1"}), treeView(conf));
}

TEST_F(Insert, StaleDuplicateCodeIsNoTreatment) {
    name("A");
    ASSERT_EQ(-1, conf.setPath("/"));
    ASSERT_EQ(FS_DUPLICATE, conf.getErrCode());
    log.clear();
    EXPECT_EQ(0, conf.setPath("/x"));
    EXPECT_EQ(FS_DUPLICATE, conf.getErrCode()) << "a success keeps the earlier failure's code";
    EXPECT_FALSE(log.contains("FS_DUPLICATE Treatment")) << log.dump();
    EXPECT_EQ("1 /x", replayTexts().back());
}

// A component that cannot become a pattern is an error, reported on behalf of
// recursiveParse with the rest of the line from that component on.
TEST_F(Insert, UnparsableComponentIsAnError) {
    const std::string origin = "int CFSSubclientConfPrivate::recursiveParse(FSSubclientNode*, const char*, int, bool)";
    struct {
        const char* path;
        int level;
        const char* message;
    } cases[] = {
        {"/x/\xc3", -1, "recursiveParse cannot parse '\xc3'"},
        {"/x/\xc3/y", -1, "recursiveParse cannot parse '\xc3/y'"},
        {"/logs/\xc3/y", 1, "recursiveParse cannot parse '\xc3/y' (temp)"},  // probed against *.tmp
    };
    name("A");
    ASSERT_EQ(0, conf.setPath((wild("/logs/*.tmp")).c_str()));
    for (const auto& c : cases) {
        log.clear();
        EXPECT_EQ(-2, conf.setPath(c.path)) << c.message;
        EXPECT_EQ(FS_INVALID, conf.getErrCode()) << c.message;
        EXPECT_TRUE(hasFrom(origin, c.level, c.message)) << log.dump();
    }
    EXPECT_EQ((Lines{"/logs -1", "/logs/*.tmp 2", "/x -1"}), treeView(conf)) << "intermediate nodes stay";
    EXPECT_EQ(3u, priv().replayVec.size());

    ASSERT_EQ(0, conf.setPath("/d"));
    ASSERT_EQ(0, conf.setPath("/d"));
    log.clear();
    ASSERT_EQ(0, conf.setPath("/d"));
    EXPECT_TRUE(hasFrom(origin, 1, "recursiveParse line='d' scNum=2: cannot add to map")) << log.dump();
}

// A parent gets its child index only with its eighth child; with fewer the
// sibling chain must answer as the index would: the first child of a name,
// the duplicate treatment, letter case folded in this mode.
TEST(InsertFewChildren, AnswersAsTheIndexDoesBeforeAndAfterItIsBuilt) {
    for (int children : {1, 2, 7, 8, 9, 20}) {
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
        EXPECT_EQ(FS_NO_ERROR, conf.getErrCode());
        expected.push_back("/p/c0" + postfix(3) + " 3");
        ASSERT_EQ(0, conf.setName("C"));
        EXPECT_EQ(0, conf.setPath("/P/c0"));  // the first c0 again, not its twin
        expected.push_back("/p/c0" + postfix(4) + " 4");
        expected.insert(expected.begin(), "/p -1");
        EXPECT_EQ(expected, treeView(conf));
    }
}

TEST_F(Insert, WindowsDriveAndSpecialContent) {
    name("A");
    EXPECT_EQ(0, conf.setPath("c:\\dir"));
    EXPECT_EQ('\\', conf.getDelim());
    EXPECT_EQ((Lines{"\\c: -1", "\\c:\\dir 2"}), treeView(conf));
    EXPECT_EQ(0, conf.setPath("<X>"));
    EXPECT_EQ('/', conf.getDelim());
    EXPECT_EQ((Lines{"/c: -1", "/c:/dir 2", "/<X> 2"}), treeView(conf));
    EXPECT_EQ("1 <X>", replayTexts().back());
}

TEST_F(Insert, NodeQueriesLookBelowIntermediateNodes) {
    name("A");
    name("B");
    ASSERT_EQ(0, conf.setPath("/x/y/z"));
    FSSubclientNode* x = findNode(conf, "/x");
    EXPECT_EQ(3, conf.nodeToSubclientNumber(x));
    EXPECT_EQ("B", conf.nodeToSubclientName(x));
    findNode(conf, "/x/y/z")->subclient = -1;
    EXPECT_EQ("not set", conf.nodeToSubclientName(x));
}

TEST_F(Insert, LetterCaseFollowsTheComparisonMode) {
    name("A");
    ASSERT_EQ(0, conf.setPath("/Data"));
    name("B");
    EXPECT_EQ(0, conf.setPath("/DATA"));
    EXPECT_EQ((Lines{"/Data 2", "/DATA" + postfix(3) + " 3"}), treeView(conf));

    FSSubclientConf exact(13);
    ASSERT_EQ(0, exact.setName("A"));
    ASSERT_EQ(0, exact.setPath("/Data"));
    ASSERT_EQ(0, exact.setName("B"));
    EXPECT_EQ(0, exact.setPath("/DATA"));
    EXPECT_EQ((Lines{"/Data 2", "/DATA 3"}), treeView(exact));
}

// Start-restore paths of these application types carry a tail after 0x13.
TEST(InsertStartRestore, CutAtImageVolumeEnd) {
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
TEST(InsertWide, FiftyThousandSiblings) {
    const int count = 50000;
    FSSubclientConf conf;
    ASSERT_EQ(0, conf.setName("A"));
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(0, conf.setPath(("/data/f" + std::to_string(i)).c_str())) << i;
    ASSERT_EQ(0, conf.setName("B"));
    EXPECT_EQ(0, conf.setPath("/data/f7"));
    FSSubclientNode* data = findNode(conf, "/data");
    ASSERT_NE(nullptr, data);
    int children = 0;
    for (FSSubclientNode* c = data->firstChild; c; c = c->nextSibling)
        ++children;
    EXPECT_EQ(count + 1, children);
    EXPECT_EQ(3, conf.nodeToSubclientNumber(data->lastChild));
}

// Content far deeper than any thread's stack could hold one frame per level.
TEST(InsertDeep, HundredThousandComponents) {
    std::string line;
    for (int i = 0; i < 100000; ++i)
        line += "/d";
    {
        FSSubclientConf conf;
        ASSERT_EQ(0, conf.setName("A"));
        EXPECT_EQ(0, conf.setPath(line.c_str()));
        CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
        EXPECT_EQ(line, conf.nodeToPath(p.lastNode));
        EXPECT_EQ(2, conf.nodeToSubclientNumber(p.root->firstChild));
        ASSERT_EQ(0, conf.setName("B"));
        EXPECT_EQ(0, conf.setPath(line.c_str())) << "duplicate treatment at the deepest level";
        EXPECT_EQ(-1, conf.setPath(line.substr(0, line.size() / 2).c_str())) << "B's content lies below";
        EXPECT_EQ(FS_ANCESTOR, conf.getErrCode());
        ASSERT_EQ(0, conf.setName("C"));
        EXPECT_EQ(0, conf.setPath((line + "/x" + line.substr(0, 20000)).c_str()));
    }  // destroying the object frees the tree without recursion
}

}  // namespace
