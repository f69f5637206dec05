// Merging two whole-tree directory lists of a generated set: duplicate
// removal stops once its comparison budget is spent, so the time stays
// bounded however long the lists are.
#include "BenchWorkload.h"
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_MergeWholeTree(benchmark::State& state)
{
    FSSubclientConf* conf = benchwork::loaded(static_cast<int>(state.range(0)));
    if (!conf) {
        state.SkipWithError("the set did not load");
        return;
    }
    int entries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<FSSubclientDirlist> list(conf->createDirlist("/", false));
        FSSubclientDirlist* other = conf->createDirlist("/", false);
        entries = 0;
        for (FSSubclientDir* e = list->getRoot(); e; e = e->nextLinear)
            ++entries;
        state.ResumeTiming();
        if (list->merge(other) != 0)
            state.SkipWithError("merge failed");
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.counters["entries"] = entries;
}
BENCHMARK(BM_MergeWholeTree)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
