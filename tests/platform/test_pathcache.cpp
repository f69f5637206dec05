#include "platform/TPathCache.h"

#include <gtest/gtest.h>

namespace {

int lookup(TPathCache& cache, const char* path, unsigned long long* value = nullptr)
{
    return cache.search(path, value, 1);
}

TEST(PathCache, SamePathUnderTheDelimiterAndCaseMode)
{
    struct Case {
        char delimiter;
        bool caseSensitive;
        const char* stored;
        const char* asked;
        int found;
    } cases[] = {
        {'/', true, "/home/a", "/home/a", 1},
        {'/', true, "/home/a", "/home//a/", 1},
        {'/', true, "/home/a", "home/a", 0},
        {'/', true, "/home/a", "/home/A", 0},
        {'/', false, "/home/az", "/HOME/AZ", 1},
        {'/', false, "/home/\xe9", "/home/\xc9", 0},  // only ASCII letters fold
        {'/', true, "/", "//", 1},
        {'/', true, "/home/a", "/home", 0},
        {'\\', true, "\\x\\y", "\\x\\\\y\\", 1},
        {'\\', true, "\\x\\y", "/x/y", 0},
        {',', false, ",a,b", ",A,,B", 1},
    };
    for (const Case& c : cases) {
        TPathCache cache;
        cache.setDelimiter(c.delimiter);
        if (c.caseSensitive)
            cache.caseSensitive();
        else
            cache.caseInsensitive();
        unsigned long long value = 0x100000001ull;
        EXPECT_EQ(cache.insert(c.stored, &value), 1);
        unsigned long long got = 0;
        EXPECT_EQ(lookup(cache, c.asked, &got), c.found) << c.stored << " ? " << c.asked;
        EXPECT_EQ(got, c.found ? value : 0) << c.asked;
    }
}

TEST(PathCache, InsertReplacesAndRefusesBadArguments)
{
    TPathCache cache;
    unsigned long long one = 1, two = 2, got = 0;
    EXPECT_EQ(lookup(cache, "/a"), 0);  // nothing stored yet
    EXPECT_EQ(cache.insert("/a", &one), 1);
    EXPECT_EQ(cache.insert("/a/", &two), 2);
    EXPECT_EQ(lookup(cache, "/a", &got), 1);
    EXPECT_EQ(got, 2u);
    EXPECT_LT(cache.insert(nullptr, &one), 1);
    EXPECT_LT(cache.insert("/b", nullptr), 1);
    EXPECT_EQ(lookup(cache, nullptr), -1);
    EXPECT_EQ(cache.search("/a", &got, 0), -1);  // only the exact search exists
}

TEST(PathCache, ChangingTheRuleReKeysStoredPaths)
{
    TPathCache cache;
    unsigned long long first = 1, second = 2, got = 0;
    cache.insert("/Home", &first);
    cache.insert("/HOME", &second);
    cache.caseInsensitive();
    EXPECT_EQ(lookup(cache, "/home", &got), 1);
    EXPECT_EQ(got, 1u);  // the earlier insert wins
    cache.caseSensitive();
    EXPECT_EQ(lookup(cache, "/HOME"), 0);  // merged away
    EXPECT_EQ(lookup(cache, "/Home"), 1);
    cache.setDelimiter('\\');
    EXPECT_EQ(lookup(cache, "/Home"), 1);
    EXPECT_EQ(lookup(cache, "/Home/"), 0);  // '/' is no delimiter now
}

}  // namespace
