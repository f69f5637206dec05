// What logging costs the code that calls it when the level suppresses the record.
#include "platform/TDebuggable.h"

#include <benchmark/benchmark.h>

namespace {

void BM_SuppressedLog(benchmark::State& state)
{
    kxSetLogLevel(0);
    for (auto _ : state)
        KXLOG(3, "value %d", 42);
}
BENCHMARK(BM_SuppressedLog);

void BM_SuppressedDbg(benchmark::State& state)
{
    kxSetLogLevel(0);
    for (auto _ : state)
        dbg.debug(1, "value %d", 42);
}
BENCHMARK(BM_SuppressedDbg);

void traced()
{
    KX_TRACE();
    benchmark::ClobberMemory();
}

void BM_SuppressedTrace(benchmark::State& state)
{
    kxSetLogLevel(0);
    for (auto _ : state)
        traced();
}
BENCHMARK(BM_SuppressedTrace);

}  // namespace
