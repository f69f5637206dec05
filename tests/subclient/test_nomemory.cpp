// Allocation failures at every point of a filling sequence: each is reported
// and leaves a consistent object behind.
#include "subclient/FSSubclientConfPrivate.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"
#include "FailingAllocation.h"
#include "TreeView.h"

#include "wildcard/WCSubclients.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <set>
#include <string>

namespace {

struct Step {
    const char* name;  // setName when set, else setPath
    const char* path;
};

const Step kSteps[] = {
    {"A", nullptr},         {nullptr, "/data/x"},         {nullptr, "/data/y"},
    {"B", nullptr},         {nullptr, "/data/x"},         {nullptr, "/logs/*.tmp\\/\\/"},
    {nullptr, "c:\\w\\z"},  {"C", nullptr},               {nullptr, "/logs/a.tmp/deep"},
    {nullptr, "/data/y/q"},
};

// Structural invariants of the tree; returns the first violation found.
std::string firstViolation(FSSubclientConf& conf) {
    CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
    if (!p.root)
        return "no root";
    for (FSSubclientNode* n = p.root; n; n = nextPreorder(n, p.root)) {
        const std::string path = conf.nodeToPath(n);
        if (n->subclient != -1 && (n->subclient < 1 || n->subclient > p.numSubclients))
            return path + ": subclient out of range";
        if (!n->coveringNode)
            return path + ": no covering node";
        if (n->coveringNode != &p.sentinel) {
            std::set<FSSubclientNode*> seen;
            bool listed = false;
            for (FSSubclientNode* c = n->coveringNode->firstCovered; c; c = c->nextCovered) {
                if (!seen.insert(c).second)
                    return path + ": covered list runs in a circle";
                listed = listed || c == n;
            }
            if (!listed)
                return path + ": not in its covering node's list";
        }
        FSSubclientNode* last = nullptr;
        for (FSSubclientNode* c = n->firstChild; c; c = c->nextSibling) {
            if (c->parent != n)
                return path + ": child with another parent";
            if (!c->pattern)
                return path + ": child without pattern";
            FSSubclientNode* indexed = nullptr;
            if (!n->hasWildcardChildren && n->childIndex &&
                n->childIndex->find(c->pattern->getBasename().c_str(), &indexed) == 1 && indexed->parent != n)
                return path + ": index leads elsewhere";
            last = c;
        }
        if (n->lastChild != last)
            return path + ": wrong last child";
    }
    return "";
}

TEST(NoMemory, EveryAllocationOfAFillingSequence) {
    CaptureLog log(0);
    int outOfMemory = 0;
    for (long n = 0;; ++n) {
        std::unique_ptr<FSSubclientConf> object;
        int accepted = 0;
        int named = 1;
        bool reached;
        {
            FailingAllocation failing(n);
            try {
                object.reset(new FSSubclientConf);
            } catch (const std::bad_alloc&) {
                continue;  // only the private state itself may fail this way: no object
            }
            FSSubclientConf& conf = *object;
            for (const Step& s : kSteps) {
                const int rc = s.name ? conf.setName(s.name) : conf.setPath(s.path);
                if (rc < 0) {
                    const int code = conf.getErrCode();
                    outOfMemory += code == FS_NO_MEMORY;
                    EXPECT_TRUE(code == FS_NO_MEMORY || code == FS_INVALID || code == FS_ANCESTOR)
                        << "allocation " << n << ": " << (s.name ? s.name : s.path) << " code " << code;
                } else if (s.name) {
                    ++named;
                } else {
                    ++accepted;
                }
            }
            reached = failing.reached();
        }
        FSSubclientConf& conf = *object;
        CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
        EXPECT_EQ("", firstViolation(conf)) << "allocation " << n;
        int pathRecords = 0;
        for (const FSPlayback& r : p.replayVec)
            pathRecords += r.kind == FSPlayback::kindPath;
        EXPECT_EQ(accepted, pathRecords) << "allocation " << n;
        EXPECT_EQ(named, p.numSubclients) << "allocation " << n;
        EXPECT_EQ(static_cast<size_t>(named + pathRecords), p.replayVec.size()) << "allocation " << n;
        if (!reached) {
            EXPECT_EQ(11, named + accepted) << "the sequence itself succeeds";
            EXPECT_GT(n, 30) << "allocations were counted";
            EXPECT_GT(outOfMemory, 20) << "failures reached the library's own allocations";
            break;
        }
    }
}

// Short memory during a pattern test gives the error answer -1, never the
// other answer: a wrong "no" would hand a path to a second subclient.
TEST(NoMemory, PatternTestsAnswerRightOrFail) {
    CaptureLog log(0);
    FSSubclientConf conf;
    const struct {
        const char* dirname;
        const char* pattern;
        bool isWildcard;
    } cases[] = {
        {"/var/log", "/var/log/syslog", false},
        {"/home/alice/[!.]*", "/home/alice/[a-z]*.eml/x", true},
        {"/srv/db/*.dbf", "/srv/db/a*.dbf", true},
    };
    for (const auto& c : cases) {
        const int could = conf.dirnameTest(c.dirname, c.pattern, '/', c.isWildcard);
        const int completely = conf.completelyContains(c.dirname, c.pattern, '/', c.isWildcard);
        ASSERT_EQ(1, could) << c.dirname;
        ASSERT_EQ(1, completely) << c.dirname;
        for (long n = 0;; ++n) {
            FailingAllocation failing(n);
            const int r = conf.completelyContains(c.dirname, c.pattern, '/', c.isWildcard);
            EXPECT_TRUE(r == completely || r == -1) << c.dirname << " allocation " << n << ": " << r;
            if (!failing.reached())
                break;
        }
    }
}

}  // namespace
