#include "platform/TPathCache.h"

#include <gtest/gtest.h>

namespace {

TEST(PathCache, SamePathUnderTheDelimiterAndCaseMode)
{
    const struct {
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
        {',', false, ",a,b", ",A,,B", 1},
    };
    for (const auto& c : cases) {
        TPathCache cache;
        cache.setDelimiter(c.delimiter);
        c.caseSensitive ? cache.caseSensitive() : cache.caseInsensitive();
        unsigned long long value = 0x100000001ull, got = 0;
        EXPECT_EQ(cache.insert(c.stored, &value), 1);
        EXPECT_EQ(cache.search(c.asked, &got, 1), c.found) << c.stored << " ? " << c.asked;
        EXPECT_EQ(got, c.found ? value : 0) << c.asked;
    }
}

TEST(PathCache, InsertReplacesAndAChangedRuleReKeysStoredPaths)
{
    TPathCache cache;
    unsigned long long one = 1, two = 2, got = 0;
    EXPECT_EQ(cache.insert("/Home", &one), 1);
    EXPECT_EQ(cache.insert("/Home/", &two), 2);
    EXPECT_EQ(cache.insert("/HOME", &one), 1);
    EXPECT_LT(cache.insert(nullptr, &one), 1);
    EXPECT_LT(cache.insert("/b", nullptr), 1);
    EXPECT_EQ(cache.search(nullptr, &got, 1), -1);
    EXPECT_EQ(cache.search("/Home", &got, 0), -1);  // only the exact search exists
    cache.caseInsensitive();
    EXPECT_EQ(cache.search("/home", &got, 1), 1);
    EXPECT_EQ(got, 2u);  // the earlier insert wins
    cache.caseSensitive();
    EXPECT_EQ(cache.search("/HOME", &got, 1), 0);  // merged away
    cache.setDelimiter('\\');
    EXPECT_EQ(cache.search("/Home", &got, 1), 1);
    EXPECT_EQ(cache.search("/Home/", &got, 1), 0);  // '/' is no delimiter now
}

}  // namespace
