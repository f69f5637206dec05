// Process log writer, level rule and function tracer.
//
// Every thread of the agent shares the writer, the level, the wildcard
// engine's dbg channel and the event sink: each record is written in one
// piece, the level is read and set atomically, and the writer may be
// replaced while other threads log.
#ifndef SUBCLIENTCONF_PLATFORM_KXLOG_H
#define SUBCLIENTCONF_PLATFORM_KXLOG_H

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#define KX_PRINTF_FORMAT(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))

// The process log writer. Level query first, then the write with the
// origin (a function signature text) and the source line.
class CLogWriterInterface {
public:
    virtual ~CLogWriterInterface();
    virtual int getLevel() = 0;
    void write(int level, const char* origin, int line, int, int, int, const char* format, ...) KX_PRINTF_FORMAT(8, 9);
    // Writes one whole record; called with the message already applicable.
    virtual void vwrite(int level, const char* origin, int line, const char* format, va_list args) = 0;
};

// Null until a caller installs a writer; the library then uses the default
// writer (standard error or SUBCLIENTCONF_LOG_FILE). Read and replace it
// only through kxGetLogWriter/kxSetLogWriter, which are safe across threads.
// It is never destroyed, so logging from static destructors stays safe.
extern std::shared_ptr<CLogWriterInterface>& g_ptrLogWriter;

std::shared_ptr<CLogWriterInterface> kxGetLogWriter();
void kxSetLogWriter(std::shared_ptr<CLogWriterInterface> writer);  // null restores the default

// The library's log level, which the default writer reports: the integer in
// SUBCLIENTCONF_LOG_LEVEL when the library loads (0 when unset or not a
// number), or the last kxSetLogLevel. A writer installed by the caller
// reports its own level instead.
int kxLogLevel();
void kxSetLogLevel(int level);

// Level rule: -1 is always written; L >= 0 only when the writer's level is at least L.
bool kxLogApplies(int level);
void kxLog(int level, const char* origin, int line, const char* format, ...) KX_PRINTF_FORMAT(4, 5);
void kxVLog(int level, const char* origin, int line, const char* format, va_list args);

// The log macros test the level before they evaluate the arguments: a
// suppressed record builds no argument and formats nothing.
#define KXLOG(level, ...) (kxLogApplies(level) ? kxLog((level), __PRETTY_FUNCTION__, __LINE__, __VA_ARGS__) : void())

// Formats into a string that grows as needed: no message is ever cut.
std::string kxVFormat(const char* format, va_list args);
std::string kxFormat(const char* format, ...) KX_PRINTF_FORMAT(1, 2);

// One record as one line:
//   2026-12-06T19:08:32.123Z 4711:4713 3 [int FSSubclientConf::pathTest(const char*, int):57] message
// UTC time with milliseconds, process:thread id, level, [origin:line], then
// the message with its trailing line feeds dropped and inner ones written as
// the two characters \n, so that a record never spans lines.
std::string kxFormatRecord(int level, const char* origin, int line, const std::string& message);

// The default writer: records to a stdio stream, each written whole and
// flushed. Its level is kxLogLevel().
class CLogStreamWriter : public CLogWriterInterface {
public:
    explicit CLogStreamWriter(FILE* stream);  // not closed by the writer
    // Appends to the file at path; standard error when path is null or empty,
    // or when the file cannot be opened (said in an error record).
    static std::shared_ptr<CLogStreamWriter> open(const char* path);
    ~CLogStreamWriter() override;
    CLogStreamWriter(const CLogStreamWriter&) = delete;
    CLogStreamWriter& operator=(const CLogStreamWriter&) = delete;

    int getLevel() override;
    void vwrite(int level, const char* origin, int line, const char* format, va_list args) override;

private:
    void put(const char* record, size_t size);

    FILE* stream_;
    bool owned_ = false;
};

// Traces entry and exit of a function when the level is at least 1 on entry.
class KXDebugFunction {
public:
    KXDebugFunction(std::shared_ptr<CLogWriterInterface> writer, int level, const char* function, int line, int,
                    uint64_t, uint32_t, const char* format);
    ~KXDebugFunction();
    KXDebugFunction(const KXDebugFunction&) = delete;
    KXDebugFunction& operator=(const KXDebugFunction&) = delete;

private:
    void trace(const char* what) noexcept;

    std::shared_ptr<CLogWriterInterface> writer_;
    int level_;
    const char* function_;
    int line_;
};

// Usage: KX_TRACE(); at the top of a traced function.
#define KX_TRACE_CAT2(a, b) a##b
#define KX_TRACE_CAT(a, b) KX_TRACE_CAT2(a, b)
#define KX_TRACE()                                                                                                     \
    std::optional<KXDebugFunction> KX_TRACE_CAT(kxTrace_, __LINE__);                                                   \
    if (kxLogApplies(1))                                                                                               \
    KX_TRACE_CAT(kxTrace_, __LINE__)                                                                                   \
        .emplace(kxGetLogWriter(), 2, __PRETTY_FUNCTION__, __LINE__, 1, 0, 0xFFFFFFFFu, nullptr)

#endif
