// UTF-8 <-> code point conversion with fixed buffers.
#include "wildcard/WCSubclients.h"
#include "wildcard/WCText.h"

#include "platform/TDebuggable.h"

namespace {

typedef int ConversionResult;
const ConversionResult conversionOK = 0;
const ConversionResult sourceExhausted = 1;
const ConversionResult targetExhausted = 2;
const ConversionResult sourceIllegal = 3;

typedef int ConversionFlags;  // 0 strict, anything else lenient
const ConversionFlags strictConversion = 0;
const ConversionFlags lenientConversion = 1;

// Trailing-byte count by lead byte.
const unsigned char trailingBytesForUTF8[256] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};

// Value to subtract after accumulating, by trailing-byte count.
const unsigned long offsetsFromUTF8[6] = {0x00000000UL, 0x00003080UL, 0x000E2080UL,
                                          0x03C82080UL, 0xFA082080UL, 0x82082080UL};

// Lead-byte mark by sequence length.
const unsigned char firstByteMark[7] = {0x00, 0x00, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC};

const unsigned long replacementChar = 0xFFFD;
const unsigned long largestEncodable = 0x1FFFFF;

const char* convError(ConversionResult result)
{
    switch (result) {
    case conversionOK:
        return "conversion OK";
    case sourceExhausted:
        return "source exhausted";
    case targetExhausted:
        return "target exhausted";
    case sourceIllegal:
        return "source illegal";
    default:
        return "unknown error";
    }
}

// The flags are not consulted in this direction: encoded surrogates pass as values.
ConversionResult ConvertUTF8toUTF32(const unsigned char** sourceStart, const unsigned char* sourceEnd,
                                    unsigned long** targetStart, const unsigned long* targetEnd, ConversionFlags)
{
    const unsigned char* source = *sourceStart;
    unsigned long* target = *targetStart;
    ConversionResult result = conversionOK;
    while (source < sourceEnd) {
        unsigned long value = 0;
        std::size_t length = 0;
        Utf8Step step = decodeUtf8(source, sourceEnd, value, length);
        if (step != utf8Ok) {
            result = step == utf8Short ? sourceExhausted : sourceIllegal;
            break;
        }
        if (target >= targetEnd) {
            result = targetExhausted;
            break;
        }
        *target++ = value;
        source += length;
    }
    *sourceStart = source;
    *targetStart = target;
    return result;
}

ConversionResult ConvertUTF32toUTF8(const unsigned long** sourceStart, const unsigned long* sourceEnd,
                                    unsigned char** targetStart, const unsigned char* targetEnd, ConversionFlags flags)
{
    const unsigned long* source = *sourceStart;
    unsigned char* target = *targetStart;
    ConversionResult result = conversionOK;
    while (source < sourceEnd) {
        unsigned long value = *source;
        if (flags == strictConversion && value >= 0xD800 && value <= 0xDFFF) {
            result = sourceIllegal;
            break;
        }
        int length;
        if (value < 0x80)
            length = 1;
        else if (value < 0x800)
            length = 2;
        else if (value < 0x10000)
            length = 3;
        else if (value <= largestEncodable)
            length = 4;
        else {
            value = replacementChar;
            length = 3;
        }
        if (targetEnd - target < length) {
            result = targetExhausted;
            break;
        }
        for (int i = length - 1; i > 0; --i) {
            target[i] = static_cast<unsigned char>((value & 0x3F) | 0x80);
            value >>= 6;
        }
        target[0] = static_cast<unsigned char>(value | firstByteMark[length]);
        target += length;
        ++source;
    }
    *sourceStart = source;
    *targetStart = target;
    return result;
}

}  // namespace

bool isLegalUTF8(const unsigned char* bytes, int length)
{
    if (length < 1 || length > 4)
        return false;
    if (length == 4 && (bytes[3] < 0x80 || bytes[3] > 0xBF))
        return false;
    if (length >= 3 && (bytes[2] < 0x80 || bytes[2] > 0xBF))
        return false;
    if (length >= 2) {
        unsigned char second = bytes[1];
        if (second > 0xBF)
            return false;
        switch (bytes[0]) {
        case 0xE0:
            if (second < 0xA0)
                return false;
            break;
        case 0xF0:
            if (second < 0x90)
                return false;
            break;
        case 0xF4:
            if (second < 0x80 || second > 0x8F)
                return false;
            break;
        default:
            if (second < 0x80)
                return false;
            break;
        }
    }
    return !((bytes[0] >= 0x80 && bytes[0] < 0xC2) || bytes[0] > 0xF4);
}

Utf8Step decodeUtf8(const unsigned char* p, const unsigned char* end, unsigned long& value, std::size_t& length)
{
    unsigned int trailing = trailingBytesForUTF8[*p];
    if (trailing >= static_cast<std::size_t>(end - p))
        return utf8Short;
    if (!isLegalUTF8(p, static_cast<int>(trailing) + 1))
        return utf8Illegal;
    unsigned long accumulated = 0;
    for (unsigned int i = 0; i <= trailing; ++i) {
        accumulated += p[i];
        if (i < trailing)
            accumulated <<= 6;
    }
    value = accumulated - offsetsFromUTF8[trailing];
    length = trailing + 1;
    return utf8Ok;
}

WCConverter::WCConverter()
{
    buffer[0] = 0;
}

WCConverter::~WCConverter() = default;

unsigned long* WCConverter::toUnicode(const std::string& text)
{
    const unsigned char* source = reinterpret_cast<const unsigned char*>(text.data());
    unsigned long* target = buffer;
    ConversionResult result =
        ConvertUTF8toUTF32(&source, source + text.length(), &target, buffer + capacity, strictConversion);
    if (result != conversionOK) {
        dbg.debug(1, "toUnicode: %s converting to Unicode\n", convError(result));
        target = buffer;
    }
    *target = 0;
    return buffer;
}

std::string WCConverter::fromUnicode(const unsigned long* text)
{
    if (!text)
        return std::string();
    const unsigned long* end = text;
    while (*end)
        ++end;
    unsigned char bytes[capacity];
    unsigned char* target = bytes;
    ConversionResult result = ConvertUTF32toUTF8(&text, end, &target, bytes + capacity, strictConversion);
    if (result != conversionOK) {
        dbg.debug(1, "fromUnicode: %s converting to UTF-8\n", convError(result));
        return std::string();
    }
    try {
        return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(target - bytes));
    } catch (const std::bad_alloc&) {
        return std::string();
    }
}

std::string utf8Of(unsigned long c)
{
    const unsigned long source[1] = {c};
    const unsigned long* from = source;
    unsigned char bytes[4];
    unsigned char* target = bytes;
    // Lenient: a surrogate value, which the reader takes from its three
    // encoded bytes, is written back as those bytes instead of being lost.
    ConvertUTF32toUTF8(&from, source + 1, &target, bytes + sizeof bytes, lenientConversion);
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(target - bytes));
}
