// pathTest over a configuration of many subclients: the kept whole-tree list
// against a list rebuilt for every call (changing the delimiter discards it).
#include "subclient/FSSubclientConf.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// range(0) subclients, each with ten content paths, some of them nested in another subclient's.
void fill(FSSubclientConf& conf, int subclients)
{
    for (int s = 2; s <= subclients + 1; ++s) {
        std::string name = "sc" + std::to_string(s);
        conf.setName(name.c_str());
        for (int p = 0; p < 10; ++p) {
            std::string path = "/data" + std::to_string(p) + "/user" + std::to_string(s);
            conf.setPath(path.c_str());
            path = "/data" + std::to_string((p + 1) % 10) + "/user" + std::to_string(s - 1) + "/nested";
            conf.setPath(path.c_str());
        }
    }
}

void askAll(benchmark::State& state, bool rebuild)
{
    FSSubclientConf conf;
    int subclients = static_cast<int>(state.range(0));
    fill(conf, subclients);
    int n = 0;
    for (auto _ : state) {
        if (rebuild)
            conf.setDelim(n % 2 ? '\\' : '/');
        int scNum = 2 + n % subclients;
        std::string path = "/data" + std::to_string(n % 10) + "/user" + std::to_string(scNum) + "/file";
        benchmark::DoNotOptimize(conf.pathTest(path.c_str(), scNum));
        ++n;
    }
}

void BM_PathTestKept(benchmark::State& state)
{
    askAll(state, false);
}

void BM_PathTestRebuilt(benchmark::State& state)
{
    askAll(state, true);
}

BENCHMARK(BM_PathTestKept)->Arg(10)->Arg(100);
BENCHMARK(BM_PathTestRebuilt)->Arg(10)->Arg(100);

}  // namespace
