// pathTest with its kept whole-tree list, against the reference that
// rebuilds and sorts that list on every call before testing.
#include "BenchWorkload.h"
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The scan asks about every subclient in turn.
int subclientFor(std::size_t query)
{
    return 2 + static_cast<int>(query % benchwork::kSubclients);
}

template <class Test>
void runQueries(benchmark::State& state, Test test)
{
    const int lines = static_cast<int>(state.range(0));
    FSSubclientConf* conf = benchwork::loaded(lines);
    if (!conf) {
        state.SkipWithError("the set did not load");
        return;
    }
    const benchwork::Workload& w = benchwork::workload(lines);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(test(*conf, w.queries[next].c_str(), subclientFor(next)));
        next = (next + 1) % w.queries.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_PathTest(benchmark::State& state)
{
    runQueries(state, [](FSSubclientConf& conf, const char* path, int sc) { return conf.pathTest(path, sc); });
}
BENCHMARK(BM_PathTest)->Arg(1000)->Arg(10000);

void BM_PathTestRebuild(benchmark::State& state)
{
    runQueries(state, [](FSSubclientConf& conf, const char* path, int sc) {
        std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist("/", false));
        list->sort();
        return conf.pathTest(path, sc);
    });
}
BENCHMARK(BM_PathTestRebuild)->Arg(1000)->Arg(10000);

}  // namespace
