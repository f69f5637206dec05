// The child index and its run-time comparator.
#include "subclient/FSChildrenSpeedup.h"
#include "subclient/FSSubclientNode.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(RuntimeStringCmp, Orders) {
    RuntimeStringCmp nocase(false);
    EXPECT_TRUE(nocase("abc", "ABD"));
    EXPECT_TRUE(nocase("ab", "ABc"));
    EXPECT_FALSE(nocase("ABc", "ab"));
    EXPECT_FALSE(nocase("Data", "dATA") || nocase("dATA", "Data"));
    // Bytes 128-255 never fold and order before ASCII in this mode.
    EXPECT_TRUE(nocase("\xe9", "A"));
    EXPECT_TRUE(nocase("\xc9", "\xe9"));
    EXPECT_FALSE(nocase("\xe9", "\xc9"));
    EXPECT_TRUE(RuntimeStringCmp::nocase_compare('z', '_'));  // 'z' folds to 'Z', which is below '_'
    EXPECT_FALSE(RuntimeStringCmp::nocase_compare('_', 'z'));

    RuntimeStringCmp exact;
    EXPECT_TRUE(exact.caseSensitive);
    EXPECT_TRUE(exact("ABC", "abc"));
    EXPECT_TRUE(exact("a", "\xe9"));  // bytes compare unsigned here
    EXPECT_TRUE(exact("ab", "abc"));
}

TEST(ChildIndex, CaseInsensitiveKeys) {
    CaptureLog log(1);
    FSSubclientNode first, second;
    FSChildrenSpeedup index(false);
    EXPECT_EQ(0, index.add("Data", &first));
    EXPECT_EQ(-1, index.add("DATA", &second));
    EXPECT_TRUE(log.has(1, "Add 'DATA' failed - already in map")) << log.dump();
    FSSubclientNode* found = nullptr;
    EXPECT_EQ(1, index.find("data", &found));
    EXPECT_EQ(&first, found);
    EXPECT_EQ(1, index.find("dAtA", nullptr));
    index.remove("DATA");
    EXPECT_EQ(0, index.find("Data", &found));
    index.remove("Data");  // absent: nothing happens
}

TEST(ChildIndex, CaseSensitiveKeys) {
    FSSubclientNode first, second;
    FSChildrenSpeedup index(true);
    EXPECT_EQ(0, index.add("Data", &first));
    EXPECT_EQ(0, index.add("DATA", &second));
    FSSubclientNode* found = nullptr;
    EXPECT_EQ(0, index.find("data", &found));
    EXPECT_EQ(nullptr, found);
    EXPECT_EQ(1, index.find("DATA", &found));
    EXPECT_EQ(&second, found);
}

// Adds, lookups and removals on a growing index answer as an ordered map
// with the same comparator: names of every length around the in-slot limit,
// case variants, removals in the middle of collision runs.
TEST(ChildIndex, AnswersAsAnOrderedMap) {
    CaptureLog quiet(-1);
    for (bool caseSensitive : {true, false}) {
        std::mt19937 random(caseSensitive ? 7 : 8);
        std::vector<FSSubclientNode> nodes(600);
        std::vector<std::string> names;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            std::string name(1 + random() % 24, 'x');
            for (char& c : name)
                c = "aAbB\xe9."[random() % 6];
            names.push_back(name);
        }
        FSChildrenSpeedup index(caseSensitive);
        std::map<std::string, FSSubclientNode*, RuntimeStringCmp> reference{RuntimeStringCmp(caseSensitive)};
        for (int step = 0; step < 4000; ++step) {
            const std::size_t i = random() % nodes.size();
            const std::string& name = names[i];
            if (random() % 3 == 0) {
                index.remove(name.c_str());
                reference.erase(name);
            } else {
                const bool added = reference.emplace(name, &nodes[i]).second;
                ASSERT_EQ(added ? 0 : -1, index.add(name.c_str(), &nodes[i])) << name;
            }
            const std::string& probe = names[random() % names.size()];
            FSSubclientNode* found = nullptr;
            const auto expected = reference.find(probe);
            ASSERT_EQ(expected != reference.end() ? 1 : 0, index.find(probe.c_str(), &found)) << probe;
            if (expected != reference.end()) {
                ASSERT_EQ(expected->second, found) << probe;
            }
        }
        for (const auto& [name, node] : reference) {
            FSSubclientNode* found = nullptr;
            EXPECT_EQ(1, index.find(name.c_str(), &found));
            EXPECT_EQ(node, found);
        }
    }
}

}  // namespace
