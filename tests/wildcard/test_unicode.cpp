#include "support/Capture.h"
#include "wildcard/WCSubclients.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned long> Codes;

Codes toCodes(const unsigned long* text)
{
    Codes codes;
    while (*text)
        codes.push_back(*text++);
    return codes;
}

std::string fromCodes(Codes codes)
{
    codes.push_back(0);
    WCConverter converter;
    return converter.fromUnicode(codes.data());
}

Codes toUnicode(const std::string& text)
{
    WCConverter converter;
    unsigned long* codes = converter.toUnicode(text);  // callers may hold it without const
    return toCodes(codes);
}

struct RoundTrip {
    const char* bytes;
    Codes codes;
};

TEST(WCConverter, RoundTripsAcrossThePlanes)
{
    const RoundTrip cases[] = {
        {"", {}},
        {"a", {'a'}},
        {"\xc2\x80", {0x80}},
        {"\xc3\xa9", {0xE9}},
        {"\xdf\xbf", {0x7FF}},
        {"\xe0\xa0\x80", {0x800}},
        {"\xef\xbf\xbf", {0xFFFF}},
        {"\xf0\x90\x80\x80", {0x10000}},
        {"\xf0\x9f\x98\x80", {0x1F600}},
        {"\xf4\x80\x80\x80", {0x100000}},
        {"\xf4\x8f\xbf\xbf", {0x10FFFF}},
        {"x\xc3\xa9y\xf0\x9f\x98\x80z", {'x', 0xE9, 'y', 0x1F600, 'z'}},
    };
    CaptureLog log(1);
    for (const RoundTrip& c : cases) {
        EXPECT_EQ(toUnicode(c.bytes), c.codes) << c.bytes;
        EXPECT_EQ(fromCodes(c.codes), c.bytes) << c.bytes;
    }
    EXPECT_TRUE(log.records().empty()) << log.dump();
}

// Each malformed class converts to nothing, and says which; encoded surrogates are kept as values.
TEST(WCConverter, RejectsEachMalformedClass)
{
    const struct {
        std::string bytes;
        const char* error;
    } cases[] = {
        {"\xc3", "source exhausted"},                // truncated two-byte sequence
        {"ab\xe2\x82", "source exhausted"},          // truncated at the end after good text
        {"\xff", "source exhausted"},                // lead byte claims five trailing bytes
        {"\xc0\x80", "source illegal"},              // overlong NUL
        {"\xe0\x80\x80", "source illegal"},          // overlong three-byte
        {"\xf0\x80\x80\x80", "source illegal"},      // overlong four-byte
        {"\x80", "source illegal"},                  // lone continuation byte
        {"\xe2\x28\xa1", "source illegal"},          // second byte not a continuation
        {"\xe2\x82\x28", "source illegal"},          // third byte not a continuation
        {"\xf4\x41\x80\x80", "source illegal"},      // after F4 the second byte must be 80-8F
        {"\xf4\x90\x80\x80", "source illegal"},      // past U+10FFFF
        {"\xf5\x80\x80\x80", "source illegal"},      // lead byte past F4
        {"\xf8\x88\x80\x80\x80", "source illegal"},  // five-byte form
    };
    for (const auto& c : cases) {
        CaptureLog log(1);
        EXPECT_EQ(toUnicode(c.bytes), Codes()) << c.bytes;
        EXPECT_TRUE(log.has(1, kxFormat("toUnicode: %s converting to Unicode\n", c.error))) << log.dump();
    }
    EXPECT_EQ(toUnicode("\xed\xa0\x80"), Codes({0xD800}));
    EXPECT_EQ(toUnicode("\xed\xbf\xbf"), Codes({0xDFFF}));
    EXPECT_EQ(toUnicode("\xf4\x80\x80\x80"), Codes({0x100000}));
}

TEST(WCConverter, FromUnicodeRefusesSurrogatesAndReplacesValuesBeyondFourBytes)
{
    CaptureLog log(-1);
    EXPECT_EQ(fromCodes({'a', 0xD800}), "");
    EXPECT_EQ(fromCodes({0x1FFFFF}), "\xf7\xbf\xbf\xbf");
    EXPECT_EQ(fromCodes({0x200000}), "\xef\xbf\xbd");
    EXPECT_EQ(fromCodes({0x110000}), "\xf4\x90\x80\x80");
}

TEST(WCConverter, ToUnicodeHoldsExactlyItsCapacity)
{
    const unsigned int capacity = WCConverter::capacity;
    ASSERT_EQ(capacity, 2048u);
    CaptureLog log(1);
    EXPECT_EQ(toUnicode(std::string(capacity, 'a')).size(), capacity);
    std::string wide;
    for (unsigned int i = 0; i < capacity; ++i)
        wide += "\xf0\x9f\x98\x80";
    Codes converted = toUnicode(wide);
    ASSERT_EQ(converted.size(), capacity);
    EXPECT_EQ(converted.back(), 0x1F600ul);
    EXPECT_TRUE(log.records().empty()) << log.dump();

    EXPECT_EQ(toUnicode(std::string(capacity + 1, 'a')), Codes());
    EXPECT_EQ(toUnicode(wide + "\xc3\xa9"), Codes());
}

TEST(WCConverter, FromUnicodeWritesExactlyItsCapacity)
{
    const unsigned int capacity = WCConverter::capacity;
    CaptureLog log(1);
    EXPECT_EQ(fromCodes(Codes(capacity, 'a')).size(), capacity);
    EXPECT_EQ(fromCodes(Codes(capacity / 2, 0xE9)).size(), capacity);
    EXPECT_TRUE(log.records().empty()) << log.dump();

    EXPECT_EQ(fromCodes(Codes(capacity + 1, 'a')), "");
    Codes straddling(capacity - 2, 'a');
    straddling.push_back(0x1F600);  // four bytes where only two remain
    EXPECT_EQ(fromCodes(straddling), "");
}

TEST(GetOtherCase, PairsLettersBothWaysAndLeavesTheRest)
{
    for (unsigned long c = 'a'; c <= 'z'; ++c)
        EXPECT_EQ(WCToken::getOtherCase(c), c - 32);
    const unsigned long pairs[][2] = {{'A', 'a'},   {'Z', 'z'},   {0xC0, 0xE0}, {0xD6, 0xF6},
                                      {0xD8, 0xF8}, {0xDD, 0xFD}, {0xFD, 0xDD}, {'q', 'Q'}};
    for (const auto& pair : pairs)
        EXPECT_EQ(WCToken::getOtherCase(pair[0]), pair[1]) << pair[0];
    for (unsigned long c : {0ul, 0x31ul, 0x40ul, 0x5Bul, 0x60ul, 0x7Bul, 0xD0ul, 0xF0ul, 0xDEul, 0xFEul, 0xD7ul, 0xF7ul,
                            0xDFul, 0xFFul, 0x100ul, 0x10FFFFul})
        EXPECT_EQ(WCToken::getOtherCase(c), 0ul) << c;
}

TEST(StringEquality, FoldsOnlyAsciiLetters)
{
    struct Case {
        std::string a, b;
        bool noCase, exact;
    };
    const Case cases[] = {
        {"ABC", "abc", true, false},
        {"", "", true, true},
        {"abc", "abcd", false, false},
        {"\xc3\x89", "\xc3\xa9", false, false},  // Latin-1 capitals do not fold here
        {"@", "`", false, false},
        {"[", "{", false, false},
        {std::string("a\0b", 3), std::string("A\0B", 3), true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NoCaseStringsEqual(c.a, c.b), c.noCase) << c.a << " / " << c.b;
        EXPECT_EQ(StringsEqual(c.a, c.b), c.exact) << c.a << " / " << c.b;
    }
    EXPECT_TRUE(NoCaseCompareChar('Z', 'z'));
    EXPECT_FALSE(NoCaseCompareChar('\xc9', '\xe9'));
}

}  // namespace
