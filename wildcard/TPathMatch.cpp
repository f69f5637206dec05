// Whole-name matching of entry names against a parsed component pattern.
#include "wildcard/TPathMatch.h"
#include "wildcard/WCText.h"

namespace {

// Where a byte outside UTF-8 stands: past the last code point, so that no
// pattern text (always UTF-8) holds it.
const unsigned long kStrayByteBase = 0x110000;

// The code point at byte offset at of name, and its length in bytes. An
// encoded surrogate is the one code point it encodes, as pattern texts read
// it (a pattern must match its own text); a byte outside UTF-8 stands for
// kStrayByteBase + byte, so that every name, whatever its bytes, can be
// matched. Decoded in place: matching allocates nothing, so it cannot fail
// for want of memory.
unsigned long codePointAt(const std::string& name, std::size_t at, std::size_t& length)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(name.data()) + at;
    const unsigned char* end = reinterpret_cast<const unsigned char*>(name.data()) + name.size();
    unsigned long value = 0;
    if (decodeUtf8(p, end, value, length) == utf8Ok)
        return value;
    length = 1;
    return kStrayByteBase + *p;
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
    const std::size_t none = static_cast<std::size_t>(-1);
    // t indexes tokens; s and starS are byte offsets into name.
    std::size_t t = 0, s = 0, star = none, starS = 0;
    while (s < name.size()) {
        std::size_t length = 0;
        const unsigned long c = codePointAt(name, s, length);
        if (t < n && tokens.get(static_cast<int>(t)).isStar()) {
            star = t++;
            starS = s;
        } else if (t < n && matchesChar(tokens.get(static_cast<int>(t)), c)) {
            ++t;
            s += length;
        } else if (star != none) {
            t = star + 1;
            codePointAt(name, starS, length);
            s = starS += length;
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
