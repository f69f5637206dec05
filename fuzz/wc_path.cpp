// Wildcard paths: a path that completely contains another could contain it,
// both relations hold for a path and itself, and the case-insensitive copy
// has the same components.
#include "EmptySets.h"
#include "FuzzSupport.h"
#include "wildcard/WCSubclients.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzQuietLog();
    FuzzedDataProvider input(data, size);
    const PathMode modes[] = {PathModeLiteral, PathModeLastWild, PathModeAllWild};
    const PathMode mode = modes[input.ConsumeIntegralInRange<int>(0, 2)];
    const PathMode otherMode = modes[input.ConsumeIntegralInRange<int>(0, 2)];
    const std::string first = input.ConsumeRandomLengthString(800);
    const std::string second = input.ConsumeRemainingBytesAsString();

    WCPath a, b;
    if (a.parse(first, mode) || b.parse(second, otherMode))
        return 0;
    // A path that matches nothing is completely contained by every path
    // and could be contained by none.
    const bool aMatches = !hasEmptySet(a);
    const bool bMatches = !hasEmptySet(b);
    for (bool caseSensitive : {true, false}) {
        if (bMatches && a.completelyContains(b, caseSensitive))
            FUZZ_CHECK(a.couldContain(b, caseSensitive));
        if (aMatches && b.completelyContains(a, caseSensitive))
            FUZZ_CHECK(b.couldContain(a, caseSensitive));
        // Parsed alike, a literal path lies under itself.
        if (mode == PathModeLiteral)
            FUZZ_CHECK(a.completelyContains(a, caseSensitive));
    }
    std::unique_ptr<WCPath> folded(a.createCaseInsensitivePath());
    FUZZ_CHECK(folded != nullptr);
    FUZZ_CHECK(folded->getBasenames()->size() == a.getBasenames()->size());
    return 0;
}
