#include "TempFiles.h"
#include "platform/CXDirectory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> readAll(CXDirectory& dir)
{
    std::vector<std::string> names;
    while (const char* name = dir.read())
        names.push_back(name);
    return names;
}

TEST(Directory, ReadsEveryEntryIncludingDotsAndLongNames)
{
    TempDir tmp;
    std::set<std::string> expected = {".", ".."};
    for (int i = 0; i < 3000; ++i)
        expected.insert(tmp.write("f" + std::to_string(i), "").substr(tmp.path().size() + 1));
    std::string longName(255, 'n');
    tmp.write(longName, "");
    expected.insert(longName);

    CXDirectory dir;
    ASSERT_EQ(dir.open(tmp.path().c_str()), 0);
    EXPECT_EQ(dir.getLastError(), 0);
    std::vector<std::string> names = readAll(dir);
    EXPECT_EQ(dir.getLastError(), 0);
    EXPECT_EQ(names.size(), expected.size());
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
    EXPECT_EQ(dir.read(), nullptr);  // stays at the end
    EXPECT_EQ(dir.getLastError(), 0);
}

TEST(Directory, FailuresGiveTheSystemError)
{
    TempDir tmp;
    std::string file = tmp.write("plain", "x");
    struct Case {
        const char* path;
        int error;
    } cases[] = {
        {nullptr, EINVAL},
        {"/nonexistent/subclientconf", ENOENT},
        {file.c_str(), ENOTDIR},
    };
    for (const Case& c : cases) {
        CXDirectory dir;
        EXPECT_EQ(dir.open(c.path), -1);
        EXPECT_EQ(dir.getLastError(), c.error);
        EXPECT_EQ(dir.read(), nullptr);
        EXPECT_EQ(dir.getLastError(), EBADF);
    }
}

TEST(Directory, ReopeningAndClosingReleaseTheFolder)
{
    TempDir a, b;
    a.write("only-in-a", "");
    CXDirectory dir;
    ASSERT_EQ(dir.open(a.path().c_str()), 0);
    ASSERT_EQ(dir.open(b.path().c_str()), 0);
    EXPECT_EQ(readAll(dir).size(), 2u);  // "." and ".." of the empty folder
    dir.close();
    EXPECT_EQ(dir.read(), nullptr);
    EXPECT_EQ(dir.getLastError(), EBADF);
}

std::size_t openDescriptors()
{
    CXDirectory fds;
    EXPECT_EQ(fds.open("/proc/self/fd"), 0);
    return readAll(fds).size();
}

TEST(Directory, NoDescriptorLeaksOverManyFolders)
{
    TempDir tmp;
    const std::size_t before = openDescriptors();
    for (int i = 0; i < 5000; ++i) {
        CXDirectory dir;
        ASSERT_EQ(dir.open(tmp.path().c_str()), 0) << i;
        dir.read();
        if (i % 2)
            dir.close();
    }
    EXPECT_EQ(openDescriptors(), before);
}

}  // namespace
