#include "support/Capture.h"
#include "wildcard/WCSubclients.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned long> Codes;

Codes toUnicode(const std::string& text)
{
    WCConverter converter;
    Codes codes;
    for (unsigned long* code = converter.toUnicode(text); *code; ++code)  // callers may hold it without const
        codes.push_back(*code);
    return codes;
}

std::string fromCodes(Codes codes)
{
    codes.push_back(0);
    return WCConverter().fromUnicode(codes.data());
}

// Good text converts both ways across the planes; each malformed class converts to nothing, and says which.
TEST(WCConverter, RoundTripsOrRejectsEachMalformedClass)
{
    const struct {
        std::string bytes;
        Codes codes;
        const char* error;
    } cases[] = {
        {"\xc2\x80", {0x80}, nullptr},
        {"\xdf\xbf", {0x7FF}, nullptr},
        {"\xe0\xa0\x80", {0x800}, nullptr},
        {"\xef\xbf\xbf", {0xFFFF}, nullptr},
        {"\xf0\x90\x80\x80", {0x10000}, nullptr},
        {"\xf4\x80\x80\x80", {0x100000}, nullptr},
        {"\xf4\x8f\xbf\xbf", {0x10FFFF}, nullptr},
        {"x\xc3\xa9y\xf0\x9f\x98\x80z", {'x', 0xE9, 'y', 0x1F600, 'z'}, nullptr},
        {"\xc3", {}, "source exhausted"},                // truncated two-byte sequence
        {"\xff", {}, "source exhausted"},                // lead byte claims five trailing bytes
        {"\xc0\x80", {}, "source illegal"},              // overlong NUL
        {"\xe0\x80\x80", {}, "source illegal"},          // overlong three-byte
        {"\xf0\x80\x80\x80", {}, "source illegal"},      // overlong four-byte
        {"\x80", {}, "source illegal"},                  // lone continuation byte
        {"\xe2\x28\xa1", {}, "source illegal"},          // second byte not a continuation
        {"\xf4\x90\x80\x80", {}, "source illegal"},      // past U+10FFFF
        {"\xf5\x80\x80\x80", {}, "source illegal"},      // lead byte past F4
        {"\xf8\x88\x80\x80\x80", {}, "source illegal"},  // five-byte form
    };
    for (const auto& c : cases) {
        CaptureLog log(1);
        EXPECT_EQ(toUnicode(c.bytes), c.codes) << c.bytes;
        if (c.error)
            EXPECT_TRUE(log.has(1, kxFormat("toUnicode: %s converting to Unicode\n", c.error))) << log.dump();
        else
            EXPECT_EQ(fromCodes(c.codes), c.bytes);
        EXPECT_EQ(log.records().empty(), !c.error) << log.dump();
    }
    // Encoded surrogates are read as values, but no surrogate is written.
    EXPECT_EQ(toUnicode("\xed\xa0\x80\xed\xbf\xbf"), Codes({0xD800, 0xDFFF}));
    EXPECT_EQ(fromCodes({'a', 0xD800}), "");
}

TEST(WCConverter, HoldsExactlyItsCapacity)
{
    const unsigned int capacity = WCConverter::capacity;
    std::string wide;
    for (unsigned int i = 0; i < capacity; ++i)
        wide += "\xf0\x9f\x98\x80";
    CaptureLog log(1);
    EXPECT_EQ(toUnicode(std::string(capacity, 'a')).size(), capacity);
    EXPECT_EQ(toUnicode(wide), Codes(capacity, 0x1F600));
    EXPECT_EQ(fromCodes(Codes(capacity, 'a')).size(), capacity);
    EXPECT_EQ(fromCodes(Codes(capacity / 2, 0xE9)).size(), capacity);
    EXPECT_TRUE(log.records().empty()) << log.dump();

    EXPECT_EQ(toUnicode(std::string(capacity + 1, 'a')), Codes());
    EXPECT_EQ(toUnicode(wide + "\xc3\xa9"), Codes());
    EXPECT_EQ(fromCodes(Codes(capacity + 1, 'a')), "");
    Codes straddling(capacity - 2, 'a');
    straddling.push_back(0x1F600);  // four bytes where only two remain
    EXPECT_EQ(fromCodes(straddling), "");
    EXPECT_EQ(fromCodes({0x1FFFFF}), "\xf7\xbf\xbf\xbf");
    EXPECT_EQ(fromCodes({0x200000}), "\xef\xbf\xbd");  // past four bytes: the replacement character
    EXPECT_EQ(fromCodes({0x110000}), "\xf4\x90\x80\x80");
}

TEST(Case, LettersPairBothWaysAndNamesFoldOnlyAscii)
{
    const unsigned long pairs[][2] = {{'A', 'a'},   {'Z', 'z'},   {'a', 'A'},   {0xC0, 0xE0}, {0xD6, 0xF6},
                                      {0xD8, 0xF8}, {0xDD, 0xFD}, {0xFD, 0xDD}, {'q', 'Q'}};
    for (const auto& pair : pairs)
        EXPECT_EQ(WCToken::getOtherCase(pair[0]), pair[1]) << pair[0];
    for (unsigned long c : {0ul, 0x31ul, 0x40ul, 0x5Bul, 0x60ul, 0x7Bul, 0xD0ul, 0xF0ul, 0xDEul, 0xFEul, 0xD7ul, 0xF7ul,
                            0xDFul, 0xFFul, 0x100ul, 0x10FFFFul})
        EXPECT_EQ(WCToken::getOtherCase(c), 0ul) << c;
    EXPECT_TRUE(NoCaseStringsEqual("AZ", "az"));
    EXPECT_FALSE(StringsEqual("AZ", "az"));
    const std::pair<const char*, const char*> unfolded[] = {{"\xc3\x89", "\xc3\xa9"}, {"@", "`"}, {"[", "{"}};
    for (const auto& p : unfolded)  // Latin-1 capitals and the signs beside the letters do not fold in names
        EXPECT_FALSE(NoCaseStringsEqual(p.first, p.second)) << p.first;
}

}  // namespace
