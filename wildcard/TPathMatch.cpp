// Whole-name matching of entry names against a parsed component pattern.
#include "wildcard/TPathMatch.h"
#include "wildcard/WCText.h"

#include <vector>

namespace {

// Code points of a name; a byte outside valid UTF-8 (encoded surrogates included)
// becomes U+DC00 + byte, so that every name, whatever its bytes, can be matched.
std::vector<unsigned long> nameCodePoints(const std::string& name)
{
    std::vector<unsigned long> codes;
    codes.reserve(name.size());
    const unsigned char* p = reinterpret_cast<const unsigned char*>(name.data());
    const unsigned char* end = p + name.size();
    while (p < end) {
        unsigned long value = 0;
        std::size_t length = 0;
        if (decodeUtf8(p, end, value, length) == utf8Ok && !(value >= 0xD800 && value <= 0xDFFF)) {
            codes.push_back(value);
            p += length;
        } else {
            codes.push_back(0xDC00 + *p++);
        }
    }
    return codes;
}

}  // namespace

TPathMatch::TPathMatch() : caseSensitive_(true), escape_('\\') {}

TPathMatch::~TPathMatch() = default;

void TPathMatch::caseSensitive()
{
    caseSensitive_ = true;
}

void TPathMatch::caseInsensitive()
{
    caseSensitive_ = false;
}

void TPathMatch::setEscape(char escape)
{
    escape_ = static_cast<unsigned char>(escape);
}

void TPathMatch::setDelimiter(char) {}

int TPathMatch::compilePattern(const std::string& pattern, int, int)
{
    pattern_.reset(new (std::nothrow) WCBasename(escape_, true));
    if (pattern_ && !pattern_->parse(pattern))
        return 0;
    pattern_.reset();
    return 1;
}

// Stars are matched greedily; on a mismatch the last star takes one more
// character and matching resumes after it. Cost: pattern length times name length.
int TPathMatch::matchName(const std::string& name)
{
    if (!pattern_)
        return 0;
    WCSequence& tokens = *pattern_->getTokens();
    const std::size_t n = static_cast<std::size_t>(tokens.getSize());
    const std::vector<unsigned long> codes = nameCodePoints(name);
    const std::size_t none = static_cast<std::size_t>(-1);
    std::size_t t = 0, s = 0, star = none, starS = 0;
    while (s < codes.size()) {
        if (t < n && tokens.get(static_cast<int>(t)).isStar()) {
            star = t++;
            starS = s;
        } else if (t < n && matchesChar(tokens.get(static_cast<int>(t)), codes[s])) {
            ++t;
            ++s;
        } else if (star != none) {
            t = star + 1;
            s = ++starS;
        } else {
            return 0;
        }
    }
    while (t < n && tokens.get(static_cast<int>(t)).isStar())
        ++t;
    return t == n ? 1 : 0;
}

// Case-insensitively a character matches when either case of it does; a
// negated set must reject both cases.
bool TPathMatch::matchesChar(WCToken& token, unsigned long c)
{
    WCChar probe(c);
    const bool hit = token.contains(probe, true);
    const unsigned long partner = c < 0x80 ? WCToken::getOtherCase(c) : 0;
    if (caseSensitive_ || partner == 0)
        return hit;
    WCChar otherCase(partner);
    WCTokenArgs args;
    if (token.getFirst(args) && args.negated)
        return hit && token.contains(otherCase, true);
    return hit || token.contains(otherCase, true);
}
