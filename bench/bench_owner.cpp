// Which subclient owns a path: the top entry of createDirlist for the path,
// against a loop over every content entry with fnmatch on the path's
// prefixes that keeps the deepest match.
#include "BenchWorkload.h"
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fnmatch.h>
#include <memory>
#include <string>
#include <vector>

namespace {

int ownerByDirlist(FSSubclientConf& conf, const std::string& path)
{
    std::unique_ptr<FSSubclientDirlist> list(conf.createDirlist(path.c_str(), false));
    return list && list->getRoot() ? list->getRoot()->subclient : -1;
}

class NaiveOwner {
public:
    explicit NaiveOwner(const benchwork::Workload& w)
    {
        for (const benchwork::ContentLine& line : w.lines)
            entries.push_back({line.path, components(line.path), line.subclient});
    }

    int owner(const std::string& path)
    {
        prefixes.clear();
        for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
            prefixes.push_back(path.substr(0, end));
            if (end == std::string::npos)
                break;
        }
        std::size_t deepest = 0;
        int subclient = 1;
        for (const Entry& e : entries)
            if (e.depth > deepest && e.depth <= prefixes.size() &&
                fnmatch(e.pattern.c_str(), prefixes[e.depth - 1].c_str(), FNM_PATHNAME) == 0) {
                deepest = e.depth;
                subclient = e.subclient;
            }
        return subclient;
    }

private:
    struct Entry {
        std::string pattern;
        std::size_t depth;
        int subclient;
    };

    static std::size_t components(const std::string& path)
    {
        return static_cast<std::size_t>(std::count(path.begin(), path.end(), '/'));
    }

    std::vector<Entry> entries;
    std::vector<std::string> prefixes;
};

// Both answers for the first queries: a benchmark of a wrong answer is no benchmark.
bool agree(FSSubclientConf& conf, const benchwork::Workload& w)
{
    NaiveOwner naive(w);
    for (std::size_t i = 0; i < 2000; ++i)
        if (ownerByDirlist(conf, w.queries[i]) != naive.owner(w.queries[i]))
            return false;
    return true;
}

void BM_Owner(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    FSSubclientConf* conf = benchwork::loaded(lines);
    const benchwork::Workload& w = benchwork::workload(lines);
    if (!conf || !agree(*conf, w)) {
        state.SkipWithError("the set did not load, or the owners differ from the baseline's");
        return;
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ownerByDirlist(*conf, w.queries[next]));
        next = (next + 1) % w.queries.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Owner)->Arg(1000)->Arg(10000)->Arg(100000);

void BM_OwnerNaive(benchmark::State& state)
{
    const benchwork::Workload& w = benchwork::workload(static_cast<int>(state.range(0)));
    NaiveOwner naive(w);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(naive.owner(w.queries[next]));
        next = (next + 1) % w.queries.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OwnerNaive)->Arg(1000)->Arg(10000);

}  // namespace
