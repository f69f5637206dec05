// The directory-entry name matcher: any pattern and name, either case mode
// and escape; ignoring case, a name and the name with its ASCII letters
// swapped to the other case match alike, and a match means the pattern
// overlaps the name as a literal component.
#include "FuzzSupport.h"
#include "wildcard/TPathMatch.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzQuietLog();
    FuzzedDataProvider input(data, size);
    const char escape = input.ConsumeBool() ? '\\' : '/';
    const std::string pattern = input.ConsumeRandomLengthString(600);
    const std::string name = input.ConsumeRemainingBytesAsString();

    TPathMatch sensitive, insensitive;
    sensitive.setEscape(escape);
    insensitive.setEscape(escape);
    insensitive.caseInsensitive();
    if (sensitive.compilePattern(pattern, 1, 0) != 0) {
        FUZZ_CHECK(sensitive.matchName(name) == 0);
        return 0;
    }
    FUZZ_CHECK(insensitive.compilePattern(pattern, 1, 0) == 0);
    const bool matched = sensitive.matchName(name) != 0;
    std::string swapped = name;
    for (char& c : swapped)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            c ^= 0x20;
    FUZZ_CHECK(insensitive.matchName(name) == insensitive.matchName(swapped));

    WCBasename wild(static_cast<unsigned char>(escape), true), literal(static_cast<unsigned char>(escape), false);
    // Entry names hold no NUL (it ends a code-point string).
    if (matched && name.find('\0') == std::string::npos && !wild.parse(pattern) && !literal.parse(name))
        FUZZ_CHECK(wild.overlaps(literal, true));
    return 0;
}
