// Shared by the fuzz targets: a quiet log writer, invariant checks that stop
// the run with a message, and input splitting.
#ifndef SUBCLIENTCONF_FUZZ_FUZZSUPPORT_H
#define SUBCLIENTCONF_FUZZ_FUZZSUPPORT_H

#include "platform/KXLog.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

// Formats every record, so that diagnostics with fuzzed arguments run too,
// but writes nothing: the fuzzer's own output stays readable and fast.
class FuzzLogWriter : public CLogWriterInterface {
public:
    // Lowered by a target that compares what the library does without its traces.
    static int& level()
    {
        static int current = 192;
        return current;
    }
    int getLevel() override { return level(); }
    void vwrite(int, const char*, int, const char* format, va_list args) override
    {
        char sink[256];
        vsnprintf(sink, sizeof sink, format, args);
    }
};

inline void fuzzQuietLog()
{
    static bool installed = false;
    if (!installed) {
        kxSetLogWriter(std::make_shared<FuzzLogWriter>());
        installed = true;
    }
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
inline std::vector<std::string> fuzzLines(const uint8_t* data, size_t size)
{
    std::vector<std::string> lines;
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

#endif
