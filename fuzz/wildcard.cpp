// Two texts (split at the first newline) through every parse and comparison of
// the wildcard engine and the name matcher: nothing may crash, overrun or hang.
#include "wildcard/TPathMatch.h"
#include "wildcard/WCSubclients.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

void compareTokens(WCBasename& x, WCBasename& y)
{
    WCSequence& a = *x.getTokens();
    WCSequence& b = *y.getTokens();
    for (int i = 0; i < a.getSize() && i < 16; ++i)
        for (int j = 0; j < b.getSize() && j < 16; ++j) {
            a.get(i).matches(b.get(j), (i + j) % 2 == 0);
            b.get(j).contains(a.get(i), (i + j) % 2 == 1);
        }
}

void compareBasenames(const std::string& a, const std::string& b, unsigned long escape)
{
    WCBasename x(escape, true), y(escape, a.size() % 2 == 0);
    x.parse(a);
    y.parse(b);
    x.overlaps(y, true);
    y.overlaps(x, false);
    x.contains(y, true, 0, 0);
    y.contains(x, false, 0, 0);
    x.isStarStar();
    x.toUtf8();
    compareTokens(x, y);
    std::unique_ptr<WCBasename> folded(x.createCaseInsensitiveBasename());
    if (folded)
        folded->contains(y, true, 0, 0);

    TPathMatch matcher;
    matcher.setEscape(static_cast<char>(escape));
    if (b.size() % 2 == 0)
        matcher.caseInsensitive();
    if (matcher.compilePattern(a, 1, 0) == 0)
        matcher.matchName(b);
}

void comparePaths(const std::string& a, const std::string& b)
{
    WCPath x, y;
    if (x.parse(a, static_cast<PathMode>(1 + a.size() % 3)) || y.parse(b, PathModeAllWild))
        return;
    x.couldContain(y, true);
    x.completelyContains(y, false);
    std::unique_ptr<WCPath> folded(x.createCaseInsensitivePath());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string::size_type cut = input.find('\n');
    const std::string a = input.substr(0, cut);
    const std::string b = cut == std::string::npos ? std::string() : input.substr(cut + 1);
    compareBasenames(a, b, '\\');
    compareBasenames(a, b, '/');
    comparePaths(a, b);
    return 0;
}
