// The child index and its run-time comparator.
#include "subclient/FSChildrenSpeedup.h"
#include "subclient/FSSubclientNode.h"
#include "support/Capture.h"

#include <gtest/gtest.h>

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

}  // namespace
