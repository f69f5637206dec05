#include "platform/CXDirectory.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>

namespace {

std::multiset<std::string> readAll(CXDirectory& dir)
{
    std::multiset<std::string> names;
    while (const char* name = dir.read())
        names.insert(name);
    return names;
}

TEST(Directory, FailuresGiveTheSystemError)
{
    TempDir tmp;
    const std::string file = tmp.write("plain", "x");
    const std::pair<const char*, int> cases[] = {
        {nullptr, EINVAL}, {"/nonexistent/subclientconf", ENOENT}, {file.c_str(), ENOTDIR}};
    for (const auto& c : cases) {
        CXDirectory dir;
        EXPECT_EQ(dir.open(c.first), -1);
        EXPECT_EQ(dir.getLastError(), c.second);
        EXPECT_EQ(dir.read(), nullptr);
        EXPECT_EQ(dir.getLastError(), EBADF);
    }
}

// The first folder is read whole once; reopening and closing must release it every time.
TEST(Directory, ReadsEveryEntryAndReopeningOrClosingReleasesTheFolder)
{
    TempDir a, b;
    std::multiset<std::string> expected = {".", "..", std::string(255, 'n')};
    for (int i = 0; i < 3000; ++i)
        expected.insert("f" + std::to_string(i));
    for (const std::string& name : expected)
        if (name[0] != '.')
            a.make(name);
    const auto before = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    for (int i = 0; i < 5000; ++i) {
        CXDirectory dir;
        ASSERT_EQ(dir.open(a.path().c_str()), 0) << i;
        if (i == 0) {
            EXPECT_EQ(readAll(dir), expected);
            EXPECT_EQ(dir.read(), nullptr);  // stays at the end
            EXPECT_EQ(dir.getLastError(), 0);
        }
        ASSERT_EQ(dir.open(b.path().c_str()), 0) << i;
        ASSERT_EQ(readAll(dir), (std::multiset<std::string>{".", ".."}));  // b's, not a's files
        if (i % 2)
            dir.close();
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}), before);
}

}  // namespace
