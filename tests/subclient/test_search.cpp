// The content-tree search through its index must answer exactly as the walk
// through the tree itself.
#include "FailingAllocation.h"
#include "support/Capture.h"
#include "support/FSSubclientConfTestAccess.h"
#include "support/RandomSteps.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// What one search leaves: its result, both nodes and its log records.
struct Outcome {
    int found;
    FSSubclientNode* node;
    FSSubclientNode* wildcard;
    std::vector<std::string> log;

    bool operator==(const Outcome& o) const
    {
        return found == o.found && node == o.node && wildcard == o.wildcard && log == o.log;
    }
};

std::ostream& operator<<(std::ostream& out, const Outcome& o)
{
    out << o.found << " " << o.node << " " << o.wildcard;
    for (const std::string& line : o.log)
        out << " | " << line;
    return out;
}

Outcome search(CFSSubclientConfPrivate& p, const std::string& path, bool throughIndex)
{
    CaptureLog log(255);
    p.searchNode = p.searchWildcardNode = nullptr;
    const int found = throughIndex ? p.recursiveSearch(p.root, path.c_str()) : p.treeSearch(p.root, path.c_str(), "");
    Outcome outcome = {found, p.searchNode, p.searchWildcardNode, {}};
    for (const LogRecord& r : log.records())
        outcome.log.push_back(std::to_string(r.level) + " " + r.text);
    return outcome;
}

// Random configurations grown step by step, with the case mode and the
// overlap switch changing in between: equal names of another case, wildcard
// and literal siblings, overlapping wildcards, nested content, names that do
// not convert. After every step each question is searched both ways.
TEST(SearchIndex, AnswersAsTheWalkThroughTheTree)
{
    const std::vector<std::string> content = {
        "/a", "/a/b", "/A/B/c", "/a/b/c/d", "/Data/x", "/DATA/y", "/data", "/w/b*\\/\\/", "/w/b", "/w/bx/y",
        "/w/*.txt\\/\\/", "/w/a*\\/\\/", "/w/a.txt", "/s/[a-c]x*\\/\\/", "/s/?y\\/\\/", "/s/bx1/deep",
        "/\xc3\xa9t\xc3\xa9/x", "/\xc3\x89T\xc3\x89/y", "/u/\xc3\xa9*\\/\\/", "/long/abcdefghijklmnopq/r",
        "/long/ABCDEFGHIJKLMNOPQ", "/eight/12345678/x", "/sixteen/abcdefghijklmnop/x", "/sixteen/ABCDEFGHIJKLMNOP/y", "/bad/\xff/x", "/e/\\*y*\\/\\/", "/e/AB\\/\\/",
        "/e/ab*ba\\/\\/"};
    std::vector<std::string> questions = {"/", "///", "/x", "/w/bee", "/w/bee/deeper", "/w/a.txt", "/w/A.TXT",
                                          "/w/b", "/w/B/x", "/s/cx9", "/s/zy", "/s/bx1/deep/er", "/u/\xc3\xa9t\xc3\xa9",
                                          "/u/\xc3\x89", "/u/\xff", "/w/\xff", "/long/abcdefghijklmnopq",
                                          "/eight/12345678", "/eight/1234567", "/sixteen/abcdefghijklmno", "/sixteen/ABCDEFGHIJKLMNOPQ", "/bad/\xff/x/y", "/w//bee/",
                                          "/e/*yes", "/e/xyes", "/e/ab", "/e/aba", "/e/abXba", "/e/b"};
    for (const std::string& line : content) {
        std::string path = line.substr(0, line.find("\\/\\/"));
        std::string upper = path;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        questions.insert(questions.end(), {path, upper, path + "/more", path + "/more/still"});
    }
    CaptureLog quiet(-1);
    CaptureEvents events;
    std::mt19937 random(20261207);
    int throughIndex = 0;
    for (int round = 0; round < 30 && !testing::Test::HasFailure(); ++round) {
        FSSubclientConf conf;
        CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
        for (int step = 0; step < 25; ++step) {
            randomStep(conf, random, content);
            for (const std::string& q : questions) {
                const Outcome tree = search(p, q, false);
                const Outcome indexed = search(p, q, true);
                ASSERT_EQ(tree, indexed) << "round " << round << " step " << step << ": " << q;
            }
            throughIndex += p.searchIndex.ready(p.root, p.caseSensitive);
        }
    }
    EXPECT_GT(throughIndex, 500);  // the index served most of the comparisons
}

// A build that runs out of memory leaves the search to the tree.
TEST(SearchIndex, WithoutMemoryTheTreeAnswers)
{
    FSSubclientConf conf;
    CFSSubclientConfPrivate& p = FSSubclientConfTestAccess::priv(conf);
    conf.setName("two");
    ASSERT_EQ(0, conf.setPath("/a/b"));
    ASSERT_EQ(0, conf.setPath("/w/x*\\/\\/"));
    const Outcome expected = search(p, "/a/b/c", false);
    for (long n = 0; n < 40; ++n) {
        p.searchIndex.drop();
        bool built;
        {
            FailingAllocation fail(n);
            built = p.searchIndex.ready(p.root, p.caseSensitive);
        }
        EXPECT_EQ(expected, search(p, "/a/b/c", true)) << n;
        if (built)
            return;
    }
    FAIL() << "the index was never built";
}

}  // namespace
