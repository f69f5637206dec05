// Shared by the fuzz targets: a quiet log writer, invariant checks that stop
// the run with a message, the choice of check, and input splitting.
#ifndef SUBCLIENTCONF_FUZZ_FUZZSUPPORT_H
#define SUBCLIENTCONF_FUZZ_FUZZSUPPORT_H

#include "platform/KXLog.h"

#include <fuzzer/FuzzedDataProvider.h>

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
        vsnprintf(nullptr, 0, format, args);
    }
};

// A broken invariant is a finding: say which and stop with a crash report.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);                          \
            abort();                                                                                                   \
        }                                                                                                              \
    } while (0)

// A target's checks each take the input twice: to consume values from and as text.
using FuzzCheck = void (*)(FuzzedDataProvider&, const std::string&);

// Runs the check the last input byte picks on the bytes before it, logging quietly.
template <size_t N>
int fuzzRun(const uint8_t* data, size_t size, const FuzzCheck (&checks)[N])
{
    [[maybe_unused]] static const bool quiet = (kxSetLogWriter(std::make_shared<FuzzLogWriter>()), true);
    const uint8_t pick = size > 0 ? data[--size] : 0;
    FuzzedDataProvider input(data, size);
    checks[pick % N](input, std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}

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
