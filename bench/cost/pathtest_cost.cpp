// What one pathTest call costs in instructions, at a given number of lines:
// the query paths of the generated workload, subclients 1 to 101 in turn,
// against the kept list (built before the counted run). bench/pathtest-cost
// runs it under callgrind at two sizes: a flat count with a growing time
// says the time goes to memory latency, not to work that follows the set.
#include "BenchWorkload.h"
#include "subclient/FSSubclientConf.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The measured run: callgrind counts what runs inside this function.
extern "C" __attribute__((noinline)) long pathtest_queries(FSSubclientConf* conf,
                                                           const std::vector<std::string>* paths)
{
    long sum = 0;
    int scNum = 1;
    for (const std::string& path : *paths) {
        sum += conf->pathTest(path.c_str(), scNum);
        scNum = scNum == benchwork::kSubclients + 1 ? 1 : scNum + 1;
    }
    return sum;
}

int main(int argc, char** argv)
{
    const int lines = argc > 1 ? std::atoi(argv[1]) : 10000;
    const benchwork::Workload w = benchwork::generate(lines, 4000, benchwork::kSeed);
    FSSubclientConf conf;
    if (benchwork::load(conf, w) != 0) {
        std::fprintf(stderr, "pathtest_cost: the set did not load\n");
        return 1;
    }
    conf.pathTest("/", 1);  // builds the kept list and its index
    std::printf("queries %zu\nanswers %ld\n", w.queries.size(), pathtest_queries(&conf, &w.queries));
    return 0;
}
