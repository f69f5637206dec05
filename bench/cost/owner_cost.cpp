// What one owner query costs (createDirlist of a path under a content line,
// its top entry, delete): allocations counted here, over all queries and over
// those whose list is the top entry alone (the goal's case: a query that
// lands above other subclients' content gets a nodir entry per such line);
// instructions counted by callgrind inside owner_queries (bench/owner-cost
// runs both).
#include "BenchWorkload.h"
#include "dirlist/FSSubclientDirList.h"
#include "subclient/FSSubclientConf.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" void* __libc_malloc(size_t size);

namespace {

bool counting = false;
long allocations = 0;
long singleQueries = 0;
long singleAllocations = 0;

}  // namespace

// Every allocation of the process, the library's included, comes here.
extern "C" void* malloc(size_t size)
{
    if (counting)
        ++allocations;
    return __libc_malloc(size);
}

int queries(FSSubclientConf* conf, const std::vector<std::string>* paths)
{
    int sum = 0;
    for (const std::string& path : *paths) {
        const long before = allocations;
        FSSubclientDirlist* list = conf->createDirlist(path.c_str(), false);
        const bool single = list && list->getRoot() && !list->getRoot()->nextLinear;
        sum += list && list->getRoot() ? list->getRoot()->subclient : -1;
        delete list;
        if (single) {
            ++singleQueries;
            singleAllocations += allocations - before;
        }
    }
    return sum;
}

// The measured run: callgrind counts what runs inside this function.
extern "C" __attribute__((noinline)) int owner_queries(FSSubclientConf* conf, const std::vector<std::string>* paths)
{
    return queries(conf, paths);
}

int main(int argc, char** argv)
{
    const int lines = argc > 1 ? std::atoi(argv[1]) : 10000;
    const benchwork::Workload w = benchwork::generate(lines, 4000, benchwork::kSeed);
    FSSubclientConf conf;
    if (benchwork::load(conf, w) != 0) {
        std::fprintf(stderr, "owner_cost: the set did not load\n");
        return 1;
    }
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < w.queries.size(); ++i)
        if (w.kinds[i] == benchwork::InsideContent)
            paths.push_back(w.queries[i]);
    queries(&conf, &paths);  // the warm-up builds the search index
    singleQueries = singleAllocations = 0;
    counting = true;
    owner_queries(&conf, &paths);
    counting = false;
    std::printf("queries %zu\nallocations per query %.2f\nallocations per single-entry query %.2f (%ld queries)\n",
                paths.size(), static_cast<double>(allocations) / static_cast<double>(paths.size()),
                static_cast<double>(singleAllocations) / static_cast<double>(singleQueries ? singleQueries : 1),
                singleQueries);
    return 0;
}
