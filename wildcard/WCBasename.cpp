// One path component: parsing into tokens and the comparisons between components.
#include "wildcard/WCSubclients.h"
#include "wildcard/WCText.h"

#include "platform/TDebuggable.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace {

// Token rows of containment for names up to 255 characters (a file system's
// longest name) need no allocation.
constexpr size_t kStackRowLength = 256;

// Text whose code points are its bytes, and which the converter takes whole.
bool isPlainAscii(const std::string& text)
{
    if (text.empty() || text.size() > WCConverter::capacity)
        return false;
    for (unsigned char c : text)
        if (c == 0 || c >= 0x80)
            return false;
    return true;
}

}  // namespace

bool WCBasename::hasPatternCharacter(const std::string& text) const
{
    for (char c : text)
        if (c == '*' || c == '?' || c == '[' || static_cast<unsigned char>(c) == escapeChar)
            return true;
    return false;
}

// The tokens of a basename for the length of one comparison. A literal whose
// tokens were never built lends them one at a time from its text, so comparing
// it allocates nothing and cannot fail.
class WCBasename::TokenView {
public:
    explicit TokenView(WCBasename& basename)
        : sequence(basename.tokensPending ? nullptr : &basename.tokens), text(basename.basename),
          size(sequence ? sequence->getSize() : static_cast<int>(text.size()))
    {}

    int getSize() const { return size; }

    // Like WCSequence::get; for a literal the token stays valid until the next call.
    WCToken& get(int index)
    {
        if (sequence)
            return sequence->get(index);
        if (index < 0 || index >= size)
            return inert;
        character.emplace(static_cast<unsigned char>(text[static_cast<std::size_t>(index)]));
        return *character;
    }

private:
    WCSequence* sequence;
    const std::string& text;
    int size;
    WCToken inert;
    std::optional<WCChar> character;
};

WCBasename::WCBasename(unsigned long escapeChar, bool isWildCard)
    : escapeChar(escapeChar), wildCard(isWildCard), tokensPending(false), numStars(0)
{}

WCBasename::~WCBasename()
{
    clean();
}

bool WCBasename::parse(const std::string& text)
{
    // A pattern without pattern characters parses to the tokens of its text,
    // which a literal builds only when they are asked for.
    if ((!wildCard || !hasPatternCharacter(text)) && isPlainAscii(text))
        return keepLiteralText(text);
    WCConverter converter;
    const unsigned long* codes = converter.toUnicode(text);
    // A NUL would end the code points early: the tokens would hold less than
    // the text, and literal and pattern comparisons would see different names.
    if (codes[0] == 0 || text.find('\0') != std::string::npos) {
        dbg.debug(1, "could not convert basename '%s' to Unicode\n", text.c_str());
        return true;
    }
    if (parse(codes)) {
        dbg.debug(1, "could not parse basename '%s'\n", text.c_str());
        return true;
    }
    try {
        basename = text;
    } catch (const std::bad_alloc&) {
        clean();
        return true;
    }
    return false;
}

// What parse of the text would give, with the tokens left to buildLiteralTokens.
bool WCBasename::keepLiteralText(const std::string& text)
{
    clean();
    try {
        basename = text;
    } catch (const std::bad_alloc&) {
        return true;
    }
    tokensPending = true;
    return false;
}

// One literal token per character. Short of memory the sequence stays empty
// and the tokens stay pending, so the comparisons still read the text.
bool WCBasename::buildLiteralTokens()
{
    for (unsigned char c : basename) {
        if (!addToken(new (std::nothrow) WCChar(c))) {
            tokens.clear();
            return false;
        }
    }
    return true;
}

bool WCBasename::parse(const unsigned long* text)
{
    clean();
    if (!text)
        return true;
    unsigned int length = 0;
    while (text[length] != 0)
        ++length;
    try {
        return parseCodePoints(text, length);
    } catch (const std::bad_alloc&) {
        return true;
    }
}

bool WCBasename::parseCodePoints(const unsigned long* text, unsigned int length)
{
    bool escaped = false;
    for (unsigned int i = 0; i < length; ++i) {
        unsigned long c = text[i];
        if (escaped || !wildCard) {
            escaped = false;
        } else if (c == '*') {
            if (!addToken(new (std::nothrow) WCStar()))
                return true;
            continue;
        } else if (c == '?') {
            if (!addToken(new (std::nothrow) WCQuestion()))
                return true;
            continue;
        } else if (c == '[') {
            int close = parseSet(text, i);
            if (close < 0)
                return true;
            if (close > 0) {
                i = static_cast<unsigned int>(close);
                continue;
            }
            // no closing ']': the '[' is literal
        } else if (c == escapeChar && i + 1 < length) {
            escaped = true;
            continue;
        }
        if (!addToken(new (std::nothrow) WCChar(c)))
            return true;
    }
    return false;
}

int WCBasename::parseSet(const unsigned long* text, unsigned int start)
{
    if (text[start] != '[') {
        dbg.debug(1, "parseSet internal error (not a set)\n");
        return -1;
    }
    // A ']' directly after the '[' is a member; an escaped one never closes.
    unsigned int close = 0;
    for (unsigned int p = start + 1; text[p] != 0 && close == 0; ++p) {
        if (text[p] == escapeChar) {
            if (text[p + 1] == 0)
                break;
            ++p;
        } else if (text[p] == ']' && p != start + 1) {
            close = p;
        }
    }
    if (close == 0)
        return 0;

    unsigned int p = start + 1;
    // Owned here until handed to the sequence: addRange may throw bad_alloc.
    std::unique_ptr<WCRange> set(new (std::nothrow) WCRange(text[p] == '!' || text[p] == '^'));
    if (!set)
        return -1;
    if (text[p] == '!' || text[p] == '^')
        ++p;
    bool escaped = false;
    bool pending = false;
    unsigned long pendingStart = 0;
    for (; p < close; ++p) {
        unsigned long c = text[p];
        if (escaped) {
            escaped = false;
        } else if (c == escapeChar) {
            escaped = true;
            continue;
        }
        if (pending) {
            set->addRange(pendingStart, c);
            pending = false;
        } else if (p + 1 < close && text[p + 1] == '-') {
            pendingStart = c;
            pending = true;
            ++p;
        } else {
            set->addRange(c, 0);
        }
    }
    if (pending) {  // a trailing '-' is a member
        set->addRange(pendingStart, 0);
        set->addRange('-', 0);
    }
    return addToken(set.release()) ? static_cast<int>(close) : -1;
}

bool WCBasename::addToken(WCToken* token)
{
    if (!tokens.add(token))
        return false;
    if (token->isStar())
        ++numStars;
    return true;
}

bool WCBasename::exactMatch(const std::string& name, bool caseSensitive)
{
    if (wildCard)
        return false;
    return sameName(basename, name, caseSensitive);
}

bool WCBasename::overlaps(WCBasename& other, bool caseSensitive)
{
    TokenView mineView(*this), theirView(other);
    const int n = mineView.getSize();
    const int m = theirView.getSize();
    if (n == 0 || m == 0) {
        dbg.debug(1, "overlaps: zero tokens found in source or destination\n");
        return false;
    }
    if (!wildCard && !other.wildCard)
        return sameName(basename, other.basename, caseSensitive);
    const bool starless = numStars == 0 && other.numStars == 0;
    if (starless && n != m)
        return false;
    // From the front up to the first star. Past its end a basename yields the
    // inert token, which matches nothing, so the walk ends by max(n, m).
    for (int k = 0; !(n == m && k == n); ++k) {
        WCToken& mine = mineView.get(k);
        WCToken& theirs = theirView.get(k);
        if (mine.isStar() || theirs.isStar())
            break;
        if (!mine.matches(theirs, caseSensitive))
            return false;
    }
    if (starless)
        return true;
    // From the back down to the last star; what lies between the stars is not compared.
    for (int i = n - 1, j = m - 1;; --i, --j) {
        if (n == m && i < 0)
            return true;
        WCToken& mine = mineView.get(i);
        WCToken& theirs = theirView.get(j);
        if (mine.isStar() || theirs.isStar())
            return true;
        if (!mine.matches(theirs, caseSensitive))
            return false;
    }
}

// Whether this basename's tokens from `from` on cover other's from `otherFrom` on,
// where a star of this basename may absorb any run of other's tokens. Computed
// bottom-up over the two token positions, one row at a time: polynomial time
// and no recursion, however many stars either side holds.
bool WCBasename::contains(WCBasename& other, bool caseSensitive, unsigned int from, unsigned int otherFrom)
{
    TokenView mineView(*this), theirView(other);
    const unsigned int n = static_cast<unsigned int>(mineView.getSize());
    const unsigned int m = static_cast<unsigned int>(theirView.getSize());
    if (from >= n)
        return otherFrom >= m;
    if (otherFrom > m)
        return false;
    // below[j]: does this basename from row i + 1 cover other from j (j in otherFrom..m)?
    // The rows stay on the stack for any name a file system holds, so that
    // short memory cannot turn a containment into a "no" the caller trusts.
    char stackRows[2][kStackRowLength];
    std::vector<char> heapRows;
    char* below = stackRows[0];
    char* row = stackRows[1];
    const size_t length = static_cast<size_t>(m) + 1;
    if (length > kStackRowLength) {
        try {
            heapRows.assign(2 * length, 0);
        } catch (const std::bad_alloc&) {
            dbg.debug(1, "contains: out of memory\n");
            return false;
        }
        below = heapRows.data();
        row = below + length;
    }
    std::fill(below, below + length, 0);
    std::fill(row, row + length, 0);
    below[m] = 1;
    for (unsigned int i = n; i-- > from;) {
        WCToken& mine = mineView.get(static_cast<int>(i));
        if (mine.isStar()) {
            row[m] = below[m];
            for (unsigned int j = m; j-- > otherFrom;)
                row[j] = below[j] || row[j + 1];
        } else {
            row[m] = 0;
            for (unsigned int j = otherFrom; j < m; ++j)
                row[j] = below[j + 1] && mine.contains(theirView.get(static_cast<int>(j)), caseSensitive);
        }
        std::swap(row, below);
    }
    return below[otherFrom] != 0;
}

bool WCBasename::isStarStar()
{
    const int size = TokenView(*this).getSize();
    return size >= 2 && numStars == size;
}

// Empty when memory runs out.
std::string WCBasename::toUtf8()
{
    std::string text;
    TokenView view(*this);
    try {
        for (int k = 0; k < view.getSize(); ++k)
            text += view.get(k).toUtf8(escapeChar);
    } catch (const std::bad_alloc&) {
        return std::string();
    }
    return text;
}

WCBasename* WCBasename::createCaseInsensitiveBasename()
{
    std::unique_ptr<WCBasename> copy(new (std::nothrow) WCBasename(escapeChar, true));
    if (!copy) {
        dbg.debug(1, "out of memory");
        return nullptr;
    }
    TokenView view(*this);
    try {
        std::string text;
        for (int k = 0; k < view.getSize(); ++k) {
            WCToken& token = view.get(k);
            WCToken* folded = token.createCaseInsensitiveToken();
            if (!copy->addToken(folded)) {
                dbg.debug(1, "unable to create case-insensitive token for '%s'", token.toUtf8(escapeChar).c_str());
                return nullptr;
            }
            text += folded->toUtf8(escapeChar);
        }
        copy->basename = text;
    } catch (const std::bad_alloc&) {
        dbg.debug(1, "out of memory");
        return nullptr;
    }
    return copy.release();
}

std::string WCBasename::getBasename()
{
    return basename;
}

bool WCBasename::isWildCard()
{
    return wildCard;
}

WCSequence* WCBasename::getTokens()
{
    if (tokensPending && buildLiteralTokens())
        tokensPending = false;
    return &tokens;
}

int WCBasename::getNumStars()
{
    return numStars;
}

void WCBasename::clean()
{
    tokens.clear();
    tokensPending = false;
    numStars = 0;
}
