// Costs of the wildcard engine on its worst inputs: many stars, wide sets, long names.
#include "wildcard/TPathMatch.h"
#include "wildcard/WCSubclients.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string manyStars(int stars)
{
    std::string pattern;
    for (int i = 0; i < stars; ++i)
        pattern += "*a";
    return pattern + "*b";
}

// A pattern of N stars against a run of 5N letters without the final 'b'.
void BM_BasenameContainsManyStars(benchmark::State& state)
{
    const int stars = static_cast<int>(state.range(0));
    WCBasename pattern('\\', true), run('\\', true);
    pattern.parse(manyStars(stars));
    run.parse(std::string(static_cast<std::size_t>(stars) * 5, 'a'));
    for (auto _ : state)
        benchmark::DoNotOptimize(pattern.contains(run, true, 0, 0));
}
BENCHMARK(BM_BasenameContainsManyStars)->Arg(12)->Arg(100)->Arg(200)->Arg(400);

// The same shapes for overlaps: could one name match both?
void BM_BasenameOverlapsManyStars(benchmark::State& state)
{
    const int stars = static_cast<int>(state.range(0));
    WCBasename pattern('\\', true), other('\\', true);
    pattern.parse(manyStars(stars));
    other.parse(std::string(static_cast<std::size_t>(stars) * 5, 'a') + "*c");
    for (auto _ : state)
        benchmark::DoNotOptimize(pattern.overlaps(other, true));
}
BENCHMARK(BM_BasenameOverlapsManyStars)->Arg(12)->Arg(100)->Arg(200)->Arg(400);

void BM_RangeContainsWideSets(benchmark::State& state)
{
    WCRange wide(false), narrower(false);
    wide.addRange(1, 0x10FFFF);
    narrower.addRange(1, 0x10FFFE);
    for (auto _ : state)
        benchmark::DoNotOptimize(wide.contains(narrower, true));
}
BENCHMARK(BM_RangeContainsWideSets);

void BM_ParseLongestComponent(benchmark::State& state)
{
    std::string text;
    while (text.size() + 6 <= WCConverter::capacity)
        text += "[a-z]*";
    for (auto _ : state) {
        WCBasename b('\\', true);
        benchmark::DoNotOptimize(b.parse(text));
    }
}
BENCHMARK(BM_ParseLongestComponent);

void BM_MatchNameTypical(benchmark::State& state)
{
    TPathMatch matcher;
    matcher.caseInsensitive();
    matcher.compilePattern("*.[lL]og", 1, 0);
    const std::string name = "application-server-2026-12-06.LOG";
    for (auto _ : state)
        benchmark::DoNotOptimize(matcher.matchName(name));
}
BENCHMARK(BM_MatchNameTypical);

void BM_MatchNameManyStars(benchmark::State& state)
{
    TPathMatch matcher;
    matcher.compilePattern(manyStars(12), 1, 0);
    const std::string name(static_cast<std::size_t>(state.range(0)), 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(matcher.matchName(name));
}
BENCHMARK(BM_MatchNameManyStars)->Arg(255)->Arg(2048)->Arg(4096);

}  // namespace
