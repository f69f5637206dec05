// Content insertion: many content lines under one directory (one index
// lookup per component) and one very deep line.
#include "subclient/FSSubclientConf.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void fill(FSSubclientConf& conf, const std::vector<std::string>& lines)
{
    conf.setName("A");
    for (const std::string& line : lines)
        conf.setPath(line.c_str());
}

void BM_InsertSiblings(benchmark::State& state)
{
    std::vector<std::string> lines;
    for (int64_t i = 0; i < state.range(0); ++i)
        lines.push_back("/data/users/user" + std::to_string(i) + "/documents");
    for (auto _ : state) {
        FSSubclientConf conf;
        fill(conf, lines);
        benchmark::DoNotOptimize(conf.getErrCode());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InsertSiblings)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_InsertDeepLine(benchmark::State& state)
{
    std::string line;
    for (int64_t i = 0; i < state.range(0); ++i)
        line += "/d" + std::to_string(i % 10);
    for (auto _ : state) {
        FSSubclientConf conf;
        fill(conf, {line});
        benchmark::DoNotOptimize(conf.getErrCode());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InsertDeepLine)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
