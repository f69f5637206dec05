// Wildcard basenames: a parsed pattern renders as text that parses back to
// the same tokens, contains itself, has a case-insensitive copy of as many
// tokens, and the comparisons between two patterns stay within bounds.
#include "EmptySets.h"
#include "FuzzSupport.h"
#include "wildcard/WCSubclients.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

namespace {

// Same text and mutual containment, token by token.
void checkSameTokens(WCBasename& a, WCBasename& b)
{
    FUZZ_CHECK(a.getTokens()->getSize() == b.getTokens()->getSize());
    FUZZ_CHECK(a.getNumStars() == b.getNumStars());
    for (int k = 0; k < a.getTokens()->getSize(); ++k) {
        WCToken& x = a.getTokens()->get(k);
        WCToken& y = b.getTokens()->get(k);
        FUZZ_CHECK(x.contains(y, true) && y.contains(x, true));
    }
}

size_t codePoints(const std::string& utf8)
{
    size_t count = 0;
    for (unsigned char c : utf8)
        count += c < 0x80 || c > 0xBF;
    return count;
}

void checkRoundTrip(WCBasename& pattern, unsigned long escape)
{
    const std::string text = pattern.toUtf8();
    WCBasename again(escape, true);
    // Escapes make a rendering longer than its pattern; beyond the
    // converter's capacity it is refused like any text that long.
    if (codePoints(text) > WCConverter::capacity) {
        FUZZ_CHECK(again.parse(text));
        return;
    }
    FUZZ_CHECK(!again.parse(text));
    // A set without members renders as "[]", which reads back as two literals.
    if (!hasEmptySet(pattern)) {
        checkSameTokens(pattern, again);
        FUZZ_CHECK(again.toUtf8() == text);
    }
}

void checkOne(WCBasename& pattern, unsigned long escape)
{
    checkRoundTrip(pattern, escape);
    FUZZ_CHECK(pattern.contains(pattern, true, 0, 0));
    FUZZ_CHECK(pattern.contains(pattern, false, 0, 0));

    std::unique_ptr<WCBasename> folded(pattern.createCaseInsensitiveBasename());
    FUZZ_CHECK(folded != nullptr);
    FUZZ_CHECK(folded->getTokens()->getSize() == pattern.getTokens()->getSize());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzQuietLog();
    FuzzedDataProvider input(data, size);
    const unsigned long escape = input.ConsumeBool() ? '\\' : '/';
    const bool caseSensitive = input.ConsumeBool();
    const unsigned int from = input.ConsumeIntegralInRange<unsigned int>(0, 4);
    const unsigned int otherFrom = input.ConsumeIntegralInRange<unsigned int>(0, 4);
    const std::string first = input.ConsumeRandomLengthString(600);
    const std::string second = input.ConsumeRemainingBytesAsString();

    WCBasename a(escape, true), b(escape, true);
    if (a.parse(first))
        return 0;
    FUZZ_CHECK(a.getBasename() == first);
    checkOne(a, escape);
    if (b.parse(second))
        return 0;
    checkOne(b, escape);

    // Ignoring case a negated set stands for fewer characters ([!a] no
    // longer takes A), so neither mode's answers bound the other's and the
    // two are not compared with each other here.
    a.overlaps(b, caseSensitive);
    a.contains(b, caseSensitive, from, otherFrom);
    a.isStarStar();

    WCBasename literal(escape, false);
    if (!literal.parse(second)) {
        FUZZ_CHECK(literal.exactMatch(second, true));
        FUZZ_CHECK(literal.exactMatch(second, false));
        FUZZ_CHECK(literal.toUtf8().empty() || literal.getTokens()->getSize() > 0);
    }
    return 0;
}
