// Load: inserting a generated backup set line by line with setPath, its time
// and the resident memory it adds.
#include "BenchWorkload.h"
#include "subclient/FSSubclientConf.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

void BM_Load(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    // Prepared outside the timing: the measure is setPath, not the making of its texts.
    const benchwork::LoadTexts texts = benchwork::loadTexts(benchwork::workload(lines));
    for (auto _ : state) {
        auto conf = std::make_unique<FSSubclientConf>();
        const int rejected = benchwork::load(*conf, texts);
        state.PauseTiming();
        if (rejected)
            state.SkipWithError("generated lines were rejected");
        conf.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_Load)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

std::string loaderPath()
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, n > 0 ? static_cast<std::size_t>(n) : 0);
    return path.substr(0, path.rfind('/') + 1) + "bench_load_rss";
}

// Peak resident size in KiB of the loader reading input, or -1. The loader
// reports it itself: the rusage of a child forked from this large process
// would include this process's own peak.
long loaderPeakKiB(const std::string& loader, const char* mode, const std::string& input)
{
    const std::string command = loader + " " + mode + " < " + input;
    FILE* out = popen(command.c_str(), "r");
    long peak = -1;
    if (!out)
        return -1;
    if (std::fscanf(out, "%ld", &peak) != 1)
        peak = -1;
    return pclose(out) == 0 ? peak : -1;
}

// The loader in a process of its own, against the same process that only
// reads the lines: the difference is what the configuration keeps resident
// once a search has run (content tree, child indexes, search index).
void BM_LoadPeakRss(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    const benchwork::Workload& w = benchwork::workload(lines);
    const std::string input = "/tmp/bench-load-" + std::to_string(getpid()) + ".txt";
    FILE* f = std::fopen(input.c_str(), "w");
    for (const benchwork::ContentLine& line : w.lines)
        std::fprintf(f, "%d %s\n", line.subclient, benchwork::contentText(line).c_str());
    std::fclose(f);
    const std::string loader = loaderPath();
    long empty = -1, loaded = -1;
    for (auto _ : state) {
        empty = loaderPeakKiB(loader, "empty", input);
        loaded = loaderPeakKiB(loader, "load", input);
    }
    std::remove(input.c_str());
    if (empty < 0 || loaded < 0) {
        state.SkipWithError("the loader failed");
        return;
    }
    state.counters["empty_kib"] = static_cast<double>(empty);
    state.counters["peak_kib"] = static_cast<double>(loaded);
    state.counters["bytes_per_line"] = static_cast<double>(loaded - empty) * 1024.0 / lines;
}
BENCHMARK(BM_LoadPeakRss)->Arg(1000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
