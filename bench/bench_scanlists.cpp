// Scan lists of every subclient: dirnames, nodirs and treeOutput write one
// line per start point or nodir, so their cost per written line must stay
// flat as the set grows.
#include "BenchWorkload.h"
#include "dirlist/FSCallback.h"
#include "subclient/FSSubclientConf.h"

#include <benchmark/benchmark.h>

namespace {

class CountingCallback : public FSCallback {
public:
    int putLine(const char*) override
    {
        ++lines;
        return 0;
    }
    long lines = 0;
};

void BM_ScanLists(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    FSSubclientConf* conf = benchwork::loaded(lines);
    if (!conf) {
        state.SkipWithError("the set did not load");
        return;
    }
    CountingCallback out;
    for (auto _ : state)
        for (int s = 1; s <= conf->getNumSubclients(); ++s)
            if (conf->dirnames(&out, s) != 0 || conf->nodirs(&out, s) != 0 || conf->treeOutput(&out, s) != 0)
                state.SkipWithError("a scan list failed");
    // Items are written lines, so items per second compares sizes directly.
    state.SetItemsProcessed(out.lines);
    state.counters["lines_out"] = static_cast<double>(out.lines) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ScanLists)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
