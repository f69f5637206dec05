// The wildcard engine and the name matcher. The last input byte picks the
// check, the bytes before it feed that check:
//   0: two basenames: a parsed pattern renders as text that parses back to
//      the same tokens, contains itself and folds to as many tokens; the
//      comparisons between two patterns and their tokens do not crash;
//   1: two paths: one that completely contains another could contain it, a
//      literal path lies under itself, the folded copy has as many components;
//   2: the name matcher: ignoring case, a name and the name with its ASCII
//      letters swapped match alike, and a match means the pattern overlaps
//      the name as a literal component.
#include "FuzzSupport.h"
#include "wildcard/TPathMatch.h"
#include "wildcard/WCSubclients.h"

#include <algorithm>
#include <memory>

namespace {

// A set left without members (only reversed ranges, as in [z-a]) matches no
// character, so a pattern holding one matches no name: the invariants that
// assume some name matches leave such patterns out.
bool hasEmptySet(WCBasename& pattern)
{
    for (int k = 0; k < pattern.getTokens()->getSize(); ++k) {
        WCToken& token = pattern.getTokens()->get(k);
        WCTokenArgs args;
        if (!token.isStar() && !token.isQuestion() && token.getFixedChar() == 0 && !token.getFirst(args))
            return true;
    }
    return false;
}

void checkBasename(WCBasename& pattern, unsigned long escape)
{
    const std::string text = pattern.toUtf8();
    WCBasename again(escape, true);
    // Escapes make a rendering longer than its pattern; beyond the
    // converter's capacity it is refused like any text that long.
    const auto codePoints =
        std::count_if(text.begin(), text.end(), [](unsigned char c) { return c < 0x80 || c > 0xBF; });
    const bool fits = static_cast<size_t>(codePoints) <= WCConverter::capacity;
    FUZZ_CHECK(again.parse(text) != fits);
    // A set without members renders as "[]", which reads back as two literals.
    if (fits && !hasEmptySet(pattern)) {
        FUZZ_CHECK(again.toUtf8() == text);
        FUZZ_CHECK(again.getTokens()->getSize() == pattern.getTokens()->getSize());
        FUZZ_CHECK(again.getNumStars() == pattern.getNumStars());
        for (int k = 0; k < pattern.getTokens()->getSize(); ++k) {
            WCToken& x = pattern.getTokens()->get(k);
            WCToken& y = again.getTokens()->get(k);
            FUZZ_CHECK(x.contains(y, true) && y.contains(x, true));
        }
    }
    FUZZ_CHECK(pattern.contains(pattern, true, 0, 0) && pattern.contains(pattern, false, 0, 0));
    std::unique_ptr<WCBasename> folded(pattern.createCaseInsensitiveBasename());
    FUZZ_CHECK(folded && folded->getTokens()->getSize() == pattern.getTokens()->getSize());
}

void basenames(FuzzedDataProvider& input, const std::string&)
{
    const unsigned long escape = input.ConsumeBool() ? '\\' : '/';
    const bool caseSensitive = input.ConsumeBool();
    const unsigned int from = input.ConsumeIntegralInRange<unsigned int>(0, 4),
                       otherFrom = input.ConsumeIntegralInRange<unsigned int>(0, 4);
    const std::string first = input.ConsumeRandomLengthString(600);
    const std::string second = input.ConsumeRemainingBytesAsString();

    WCBasename a(escape, true), b(escape, true);
    if (a.parse(first))
        return;
    FUZZ_CHECK(a.getBasename() == first);
    checkBasename(a, escape);
    if (b.parse(second))
        return;
    checkBasename(b, escape);
    // Ignoring case a negated set stands for fewer characters ([!a] no
    // longer takes A), so neither mode's answers bound the other's.
    a.overlaps(b, caseSensitive);
    a.contains(b, caseSensitive, from, otherFrom);
    for (int i = 0; i < a.getTokens()->getSize() && i < 16; ++i)
        for (int j = 0; j < b.getTokens()->getSize() && j < 16; ++j) {
            a.getTokens()->get(i).matches(b.getTokens()->get(j), caseSensitive);
            b.getTokens()->get(j).contains(a.getTokens()->get(i), caseSensitive);
        }
}

void paths(FuzzedDataProvider& input, const std::string&)
{
    const PathMode modes[] = {PathModeLiteral, PathModeLastWild, PathModeAllWild};
    const PathMode mode = input.PickValueInArray(modes), otherMode = input.PickValueInArray(modes);
    const std::string first = input.ConsumeRandomLengthString(800);
    const std::string second = input.ConsumeRemainingBytesAsString();

    WCPath a, b;
    if (a.parse(first, mode) || b.parse(second, otherMode))
        return;
    // A path that matches nothing is completely contained by every path
    // and could be contained by none. (Inputs come in both orders, so one
    // direction suffices.)
    const auto& parts = *b.getBasenames();
    const bool matchesNothing = std::any_of(parts.begin(), parts.end(), [](WCBasename* c) { return hasEmptySet(*c); });
    for (bool caseSensitive : {true, false}) {
        if (!matchesNothing && a.completelyContains(b, caseSensitive))
            FUZZ_CHECK(a.couldContain(b, caseSensitive));
        if (mode == PathModeLiteral)
            FUZZ_CHECK(a.completelyContains(a, caseSensitive));
    }
    std::unique_ptr<WCPath> folded(a.createCaseInsensitivePath());
    FUZZ_CHECK(folded && folded->getBasenames()->size() == a.getBasenames()->size());
}

void matcher(FuzzedDataProvider& input, const std::string&)
{
    const char escape = input.ConsumeBool() ? '\\' : '/';
    const std::string pattern = input.ConsumeRandomLengthString(600);
    const std::string name = input.ConsumeRemainingBytesAsString();

    TPathMatch sensitive, insensitive;
    sensitive.setEscape(escape);
    insensitive.setEscape(escape);
    insensitive.caseInsensitive();
    if (sensitive.compilePattern(pattern, 1, 0) != 0) {
        FUZZ_CHECK(sensitive.matchName(name) == 0);
        return;
    }
    FUZZ_CHECK(insensitive.compilePattern(pattern, 1, 0) == 0);
    std::string swapped = name;
    for (char& c : swapped)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            c ^= 0x20;
    FUZZ_CHECK(insensitive.matchName(name) == insensitive.matchName(swapped));

    WCBasename wild(static_cast<unsigned char>(escape), true), literal(static_cast<unsigned char>(escape), false);
    // Entry names hold no NUL (it ends a code-point string).
    if (sensitive.matchName(name) && name.find('\0') == std::string::npos && !wild.parse(pattern) &&
        !literal.parse(name))
        FUZZ_CHECK(wild.overlaps(literal, true));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzRun(data, size, {basenames, paths, matcher});
}
