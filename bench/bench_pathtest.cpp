// pathTest with its kept whole-tree list and its index, against the
// reference that rebuilds and sorts that list on every call before testing;
// with a history window, and over many subclients as `which` asks them.
#include "BenchWorkload.h"
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"
#include "FSSubclientConfTestAccess.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>

namespace {

// The scan asks about every subclient in turn, the default one included.
int subclientFor(std::size_t query)
{
    return 1 + static_cast<int>(query % (benchwork::kSubclients + 1));
}

template <class Test>
void runQueries(benchmark::State& state, FSSubclientConf* conf, Test test)
{
    if (!conf) {
        state.SkipWithError("the set did not load");
        return;
    }
    const benchwork::Workload& w = benchwork::workload(static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(test(*conf, w.queries[0].c_str(), 1));  // builds the kept list
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(test(*conf, w.queries[next].c_str(), subclientFor(next)));
        next = (next + 1) % w.queries.size();
    }
    state.SetItemsProcessed(state.iterations());
}

int pathTest(FSSubclientConf& conf, const char* path, int sc)
{
    return conf.pathTest(path, sc);
}

void BM_PathTest(benchmark::State& state)
{
    runQueries(state, benchwork::loaded(static_cast<int>(state.range(0))), pathTest);
}
BENCHMARK(BM_PathTest)->Arg(1000)->Arg(10000)->Arg(100000);

// A loaded history window: every tenth line was, in the window, content of
// the next subclient too, and every record of present content stood through
// the window, so nodirs that hold a path read the records of their text.
FSSubclientConf* withHistory(int lines)
{
    static std::map<int, std::unique_ptr<FSSubclientConf>> cache;
    std::unique_ptr<FSSubclientConf>& conf = cache[lines];
    if (conf)
        return conf.get();
    conf = std::make_unique<FSSubclientConf>();
    const benchwork::Workload& w = benchwork::workload(lines);
    if (benchwork::load(*conf, w) != 0) {
        conf.reset();
        return nullptr;
    }
    CFSSubclientConfPrivate& d = FSSubclientConfTestAccess::priv(*conf);
    std::vector<std::pair<int, const benchwork::ContentLine*>> past;
    for (std::size_t i = 0; i < w.lines.size(); i += 10)
        past.emplace_back(w.lines[i].subclient % (benchwork::kSubclients + 1) + 1, &w.lines[i]);
    std::stable_sort(past.begin(), past.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    d.historyStart.assign(benchwork::kSubclients + 1, static_cast<int>(past.size()));
    for (std::size_t i = past.size(); i-- > 0;)
        d.historyStart[static_cast<std::size_t>(past[i].first) - 1] = static_cast<int>(i);
    for (const auto& entry : past)
        d.historyList.push_back(FSHistory{entry.second->wildcard, entry.second->path});
    for (FSPlayback& record : d.replayVec)
        record.created = 50;
    d.historyFromTime = 100;
    d.historyToTime = 200;
    return conf.get();
}

void BM_PathTestHistory(benchmark::State& state)
{
    runQueries(state, withHistory(static_cast<int>(state.range(0))), pathTest);
}
BENCHMARK(BM_PathTestHistory)->Arg(1000)->Arg(100000);

void BM_PathTestRebuild(benchmark::State& state)
{
    runQueries(state, benchwork::loaded(static_cast<int>(state.range(0))),
               [](FSSubclientConf& conf, const char* path, int sc) {
                   std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist("/", false));
                   list->sort();
                   return conf.pathTest(path, sc);
               });
}
BENCHMARK(BM_PathTestRebuild)->Arg(1000)->Arg(10000);

// What `which` does: one path, asked of every subclient. Each subclient has
// ten lines under a folder of its own; the path lies in one of them.
void BM_PathTestEverySubclient(benchmark::State& state)
{
    const int subclients = static_cast<int>(state.range(0));
    FSSubclientConf conf;
    for (int s = 2; s <= subclients + 1; ++s) {
        conf.setName(("sc" + std::to_string(s)).c_str());
        for (int line = 0; line < 10; ++line)
            conf.setPath(("/data/s" + std::to_string(s) + "/d" + std::to_string(line)).c_str());
    }
    const std::string path = "/data/s" + std::to_string(subclients / 2) + "/d3/file.txt";
    for (auto _ : state)
        for (int s = 1; s <= subclients + 1; ++s)
            benchmark::DoNotOptimize(conf.pathTest(path.c_str(), s));
    state.SetItemsProcessed(state.iterations() * (subclients + 1));
}
BENCHMARK(BM_PathTestEverySubclient)->Arg(100)->Arg(10000);

}  // namespace
