// Reading a large backup-set store and producing its configuration text.
#include "platform/ApplicationId.h"
#include "platform/BackupsetStore.h"
#include "platform/SubclientConfSummary.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// subclients x entries content lines, half of them removed by the time asked.
std::string writeStore(int subclients, int entries)
{
    std::string text = "#subclientconf-backupset 1\nbackupset id=1 appType=29 fleet=1 onDemand=0\n";
    for (int s = 1; s <= subclients; ++s)
        text += "subclient id=" + std::to_string(s) + " appId=" + std::to_string(1000 + s) +
                (s == 1 ? " default=1" : "") + " name=sc" + std::to_string(s) + "\n";
    for (int e = 0; e < entries; ++e)
        for (int s = 1; s <= subclients; ++s)
            text += "content subclient=" + std::to_string(s) + " created=100 modified=" + (e % 2 ? "0" : "150") +
                    " path=/data/sc" + std::to_string(s) + "/dir" + std::to_string(e) + "\ndisplay shown\n";
    std::string path = "/tmp/bench-" + std::to_string(getpid()) + ".backupset";
    FILE* f = fopen(path.c_str(), "w");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    return path;
}

void BM_OpenStore(benchmark::State& state)
{
    std::string path = writeStore(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(kxOpenBackupsetStore(path.c_str(), nullptr));
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
    remove(path.c_str());
}
BENCHMARK(BM_OpenStore)->Args({10, 10000})->Args({1000, 100})->Unit(benchmark::kMillisecond);

void BM_Summary(benchmark::State& state)
{
    std::string path = writeStore(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    kxOpenBackupsetStore(path.c_str(), nullptr);
    ApplicationId app(1, 1);
    for (auto _ : state) {
        SubclientConfSummary summary(app, 200);
        benchmark::DoNotOptimize(summary.getConfigStream(nullptr));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
    kxCloseBackupsetStore();
    remove(path.c_str());
}
BENCHMARK(BM_Summary)->Args({10, 10000})->Args({1000, 100})->Unit(benchmark::kMillisecond);

}  // namespace
