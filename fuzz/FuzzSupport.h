// Shared by the fuzz targets: a quiet log writer, invariant checks that stop
// the run with a message, and input splitting.
#ifndef SUBCLIENTCONF_FUZZ_FUZZSUPPORT_H
#define SUBCLIENTCONF_FUZZ_FUZZSUPPORT_H

#include "platform/KXLog.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

// Formats every record, so that diagnostics with fuzzed arguments run too,
// but writes nothing: the fuzzer's own output stays readable and fast.
struct FuzzLogWriter : CLogWriterInterface {
    // Lowered by a target that compares what the library does without its traces.
    static inline int level = 192;
    int getLevel() override { return level; }
    void vwrite(int, const char*, int, const char* format, va_list args) override
    {
        char sink[256];
        vsnprintf(sink, sizeof sink, format, args);
    }
};

inline void fuzzQuietLog()
{
    static const bool installed = (kxSetLogWriter(std::make_shared<FuzzLogWriter>()), true);
    (void)installed;
}

// A broken invariant is a finding: say which and stop with a crash report.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);                          \
            abort();                                                                                                   \
        }                                                                                                              \
    } while (0)

// Splits like the store reader does: "\n" ends a line, one '\r' before it is
// dropped, a last line without "\n" is kept.
inline std::vector<std::string> fuzzLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line); lines.push_back(line))
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    return lines;
}

#endif
