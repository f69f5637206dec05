// Generated backup sets and query paths for the benchmarks, reproducible
// from a seed. bench/README.md describes the distributions.
#ifndef SUBCLIENTCONF_BENCH_BENCHWORKLOAD_H
#define SUBCLIENTCONF_BENCH_BENCHWORKLOAD_H

#include <cstdint>
#include <string>
#include <vector>

class FSSubclientConf;

namespace benchwork {

constexpr int kSubclients = 100;  // named subclients, numbers 2 to 101
constexpr int kQueries = 1000000;
constexpr std::uint64_t kSeed = 20261206;

struct ContentLine {
    int subclient;     // subclient number
    std::string path;  // normalized; the last component is the pattern of a wildcard line
    bool wildcard;
    bool nested;  // below another subclient's content line
};

enum QueryKind { InsideContent, UnderNodir, InsideWildcard, Outside, QueryKinds };

struct Workload {
    std::vector<ContentLine> lines;  // grouped by subclient, in load order
    std::size_t nodes = 0;           // components of the content tree, the root included
    std::vector<std::string> queries;
    std::vector<QueryKind> kinds;  // kinds[i] is how queries[i] was drawn
};

Workload generate(int lines, int queries, std::uint64_t seed);
// The workload of that size with kQueries queries and kSeed, built once.
const Workload& workload(int lines);

std::string subclientName(int number);
// The text handed to setPath: the path, with the wildcard marker for wildcard lines.
std::string contentText(const ContentLine& line);
// The texts handed to setPath, in load order and one after the other in one
// buffer, as a reader of a configuration file has them.
struct LoadTexts {
    std::string buffer;               // the texts, each ended by a zero byte
    std::vector<std::size_t> starts;  // where each text starts in buffer
    std::vector<int> subclients;      // the subclient of each text
};
LoadTexts loadTexts(const Workload& w);
// Names the subclients and inserts every line; returns the number of lines not accepted.
int load(FSSubclientConf& conf, const LoadTexts& texts);
int load(FSSubclientConf& conf, const Workload& w);
// A configuration holding workload(lines), built once; null when a line was rejected.
FSSubclientConf* loaded(int lines);

}  // namespace benchwork

#endif
