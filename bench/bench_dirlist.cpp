// What building, merging and browsing directory lists costs on wide configurations.
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// Subclient A holds range(0) content paths spread over 100 directories.
void fillWide(FSSubclientConf& conf, int lines)
{
    conf.setName("A");
    for (int i = 0; i < lines; ++i)
        conf.setPath(("/dir" + std::to_string(i % 100) + "/item" + std::to_string(i)).c_str());
}

void BM_CreateWholeTreeDirlist(benchmark::State& state)
{
    kxSetLogLevel(0);
    FSSubclientConf conf;
    fillWide(conf, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist("/", false));
        benchmark::DoNotOptimize(list.get());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CreateWholeTreeDirlist)->Arg(1000)->Arg(10000);

// Merging lists whose entries do not cover each other costs a full
// comparison walk until the budget is spent.
void BM_MergeWholeTreeDirlists(benchmark::State& state)
{
    kxSetLogLevel(0);
    FSSubclientConf conf;
    fillWide(conf, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist("/", false));
        FSSubclientDirlist* other = conf.createDirlist("/", false);
        state.ResumeTiming();
        benchmark::DoNotOptimize(list->merge(other));
    }
}
BENCHMARK(BM_MergeWholeTreeDirlists)->Arg(1000)->Arg(10000);

void BM_BrowseWideDirectory(benchmark::State& state)
{
    kxSetLogLevel(0);
    FSSubclientConf conf;
    fillWide(conf, static_cast<int>(state.range(0)));
    std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist("/", false));
    for (auto _ : state) {
        int children = 0;
        for (char* c = list->getFirstBrowseChild(nullptr, nullptr, nullptr, nullptr); c;
             c = list->getNextBrowseChild(nullptr, nullptr, nullptr, nullptr))
            ++children;
        benchmark::DoNotOptimize(children);
    }
}
BENCHMARK(BM_BrowseWideDirectory)->Arg(1000)->Arg(10000);

}  // namespace
