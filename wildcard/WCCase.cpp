// Case partners of code points and byte-string equality of component names.
#include "wildcard/WCSubclients.h"
#include "wildcard/WCText.h"

namespace {

struct CasePair {
    unsigned long upper;
    unsigned long lower;
};

// Latin-1 letters with a one-to-one partner; ended by (0, 0).
const CasePair casePairs[] = {{0xC0, 0xE0}, {0xC1, 0xE1}, {0xC2, 0xE2}, {0xC3, 0xE3}, {0xC4, 0xE4}, {0xC5, 0xE5},
                              {0xC6, 0xE6}, {0xC7, 0xE7}, {0xC8, 0xE8}, {0xC9, 0xE9}, {0xCA, 0xEA}, {0xCB, 0xEB},
                              {0xCC, 0xEC}, {0xCD, 0xED}, {0xCE, 0xEE}, {0xCF, 0xEF}, {0xD1, 0xF1}, {0xD2, 0xF2},
                              {0xD3, 0xF3}, {0xD4, 0xF4}, {0xD5, 0xF5}, {0xD6, 0xF6}, {0xD8, 0xF8}, {0xD9, 0xF9},
                              {0xDA, 0xFA}, {0xDB, 0xFB}, {0xDC, 0xFC}, {0xDD, 0xFD}, {0, 0}};

}  // namespace

unsigned long WCToken::getOtherCase(unsigned long c)
{
    if (c >= 'a' && c <= 'z')
        return c - lcCorrect;
    if (c >= 'A' && c <= 'Z')
        return c + lcCorrect;
    for (const CasePair* pair = casePairs; pair->upper != 0; ++pair) {
        if (c == pair->upper)
            return pair->lower;
        if (c == pair->lower)
            return pair->upper;
    }
    return 0;
}

bool NoCaseCompareChar(char a, char b)
{
    return foldAscii(static_cast<unsigned char>(a)) == foldAscii(static_cast<unsigned char>(b));
}

// Every insertion compares a component with its siblings' names: the byte
// loop is inline here, not a call per character.
bool sameName(const std::string& a, const std::string& b, bool caseSensitive)
{
    const std::string::size_type n = a.length();
    if (n != b.length())
        return false;
    if (caseSensitive)
        return a.compare(b) == 0;
    const char* const x = a.data();
    const char* const y = b.data();
    for (std::string::size_type i = 0; i < n; ++i)
        if (x[i] != y[i] && foldAscii(static_cast<unsigned char>(x[i])) != foldAscii(static_cast<unsigned char>(y[i])))
            return false;
    return true;
}

bool NoCaseStringsEqual(std::string a, std::string b)
{
    return sameName(a, b, false);
}

bool StringsEqual(std::string a, std::string b)
{
    return sameName(a, b, true);
}
