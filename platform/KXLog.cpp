#include "platform/KXLog.h"

#include "platform/KXImmortal.h"
#include "platform/KXTextFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
KXImmortal<std::shared_ptr<CLogWriterInterface>> writerSlot;
}  // namespace

std::shared_ptr<CLogWriterInterface>& g_ptrLogWriter = writerSlot.value;

CLogWriterInterface::~CLogWriterInterface() = default;

void CLogWriterInterface::write(int level, const char* origin, int line, int, int, int, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vwrite(level, origin, line, format, args);
    va_end(args);
}

std::string kxVFormat(const char* format, va_list args)
{
    if (!format)
        return std::string();
    char small[512];
    va_list copy;
    va_copy(copy, args);
    int needed = vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (needed < 0)
        return std::string();
    if (static_cast<size_t>(needed) < sizeof small)
        return std::string(small, static_cast<size_t>(needed));
    std::string out(static_cast<size_t>(needed) + 1, '\0');
    vsnprintf(&out[0], out.size(), format, args);
    out.resize(static_cast<size_t>(needed));
    return out;
}

std::string kxFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string out = kxVFormat(format, args);
    va_end(args);
    return out;
}

std::string kxFormatRecord(int level, const char* origin, int line, const std::string& message)
{
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    time_t seconds = now.tv_sec;
    struct tm parts;
    gmtime_r(&seconds, &parts);
    char stamp[64];
    strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &parts);
    std::string record = kxFormat("%s.%03dZ %ld:%ld %d [%s:%d] ", stamp, static_cast<int>(now.tv_nsec / 1000000),
                                  static_cast<long>(getpid()), static_cast<long>(syscall(SYS_gettid)), level,
                                  origin ? origin : "", line);
    size_t end = message.size();
    while (end > 0 && message[end - 1] == '\n')
        --end;
    for (size_t i = 0; i < end; ++i) {
        if (message[i] == '\n')
            record += "\\n";
        else
            record += message[i];
    }
    record += '\n';
    return record;
}

namespace {

int levelFromEnvironment()
{
    const char* text = getenv("SUBCLIENTCONF_LOG_LEVEL");
    int level = 0;
    if (text)
        kxParseInt(text, level);  // not a number: stays 0
    return level;
}

// Built on first use, whichever file's static initialiser comes first.
std::atomic<int>& levelCell()
{
    static std::atomic<int> level(levelFromEnvironment());
    return level;
}

// True while a caller's writer is installed; otherwise the level rule reads
// the level itself, so a suppressed record costs two atomic loads.
std::atomic<bool>& callerWriterCell()
{
    static std::atomic<bool> installed(false);
    return installed;
}

std::shared_ptr<CLogWriterInterface> defaultWriter()
{
    // Never destroyed, so that logging from other static destructors stays safe.
    static auto* writer =
        new std::shared_ptr<CLogWriterInterface>(CLogStreamWriter::open(getenv("SUBCLIENTCONF_LOG_FILE")));
    return *writer;
}

// Reads the level and opens the destination when the library loads.
struct ReadAtLoad {
    ReadAtLoad()
    {
        levelCell();
        defaultWriter();
    }
} readAtLoad;

}  // namespace

CLogStreamWriter::CLogStreamWriter(FILE* stream) : stream_(stream) {}

std::shared_ptr<CLogStreamWriter> CLogStreamWriter::open(const char* path)
{
    if (!path || !*path)
        return std::make_shared<CLogStreamWriter>(stderr);
    FILE* file = fopen(path, "a");
    if (!file) {
        int error = errno;
        auto writer = std::make_shared<CLogStreamWriter>(stderr);
        writer->write(-1, __PRETTY_FUNCTION__, __LINE__, 0, 0, 0,
                      "cannot open log file '%s' (%s), logging to standard error", path, strerror(error));
        return writer;
    }
    auto writer = std::make_shared<CLogStreamWriter>(file);
    writer->owned_ = true;
    return writer;
}

CLogStreamWriter::~CLogStreamWriter()
{
    if (owned_)
        fclose(stream_);
}

int CLogStreamWriter::getLevel()
{
    return kxLogLevel();
}

void CLogStreamWriter::vwrite(int level, const char* origin, int line, const char* format, va_list args)
{
    va_list again;
    va_copy(again, args);
    try {
        std::string record = kxFormatRecord(level, origin, line, kxVFormat(format, args));
        put(record.data(), record.size());
    } catch (const std::bad_alloc&) {
        // Records are written when memory runs short too, and must not fail
        // the operation that logs: a shorter record from a fixed buffer.
        char record[1024];
        int head = snprintf(record, sizeof record, "%d [%s:%d] ", level, origin ? origin : "", line);
        // snprintf answers the length it wanted, which a long origin makes
        // larger than the buffer: keep room for the line feed.
        size_t used = head > 0 ? std::min(sizeof record - 2, static_cast<size_t>(head)) : 0;
        if (used < sizeof record - 1 && format) {
            int body = vsnprintf(record + used, sizeof record - 1 - used, format, again);
            if (body > 0)
                used = std::min(sizeof record - 2, used + static_cast<size_t>(body));
        }
        record[used++] = '\n';
        put(record, used);
    }
    va_end(again);
}

void CLogStreamWriter::put(const char* record, size_t size)
{
    // The stream's own lock keeps the record whole against every other
    // writer of this stream in the process, ours or not.
    flockfile(stream_);
    fwrite(record, 1, size, stream_);
    fflush(stream_);
    funlockfile(stream_);
}

std::shared_ptr<CLogWriterInterface> kxGetLogWriter()
{
    std::shared_ptr<CLogWriterInterface> writer = std::atomic_load(&g_ptrLogWriter);
    return writer ? writer : defaultWriter();
}

void kxSetLogWriter(std::shared_ptr<CLogWriterInterface> writer)
{
    const bool installed = writer != nullptr;
    std::atomic_store(&g_ptrLogWriter, std::move(writer));
    callerWriterCell().store(installed);
}

int kxLogLevel()
{
    return levelCell().load();
}

void kxSetLogLevel(int level)
{
    levelCell().store(level);
}

bool kxLogApplies(int level)
{
    if (level == -1)
        return true;
    if (!callerWriterCell().load())
        return levelCell().load(std::memory_order_relaxed) >= level;
    return kxGetLogWriter()->getLevel() >= level;
}

void kxVLog(int level, const char* origin, int line, const char* format, va_list args)
{
    if (!kxLogApplies(level))
        return;
    std::shared_ptr<CLogWriterInterface> writer = kxGetLogWriter();
    if (level != -1 && writer->getLevel() < level)
        return;
    // A record that an installed writer has no memory for is lost; the
    // operation that logs goes on.
    try {
        writer->vwrite(level, origin, line, format, args);
    } catch (const std::bad_alloc&) {
    }
}

void kxLog(int level, const char* origin, int line, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    kxVLog(level, origin, line, format, args);
    va_end(args);
}

KXDebugFunction::KXDebugFunction(std::shared_ptr<CLogWriterInterface> writer, int level, const char* function, int line,
                                 int, uint64_t, uint32_t, const char*)
    : writer_(std::move(writer)), level_(level), function_(function), line_(line)
{
    trace("Entering");
}

KXDebugFunction::~KXDebugFunction()
{
    trace("Leaving");
}

// The tracer's records are lost rather than thrown: the destructor runs while
// the traced function unwinds, perhaps for want of memory.
void KXDebugFunction::trace(const char* what) noexcept
{
    try {
        if (writer_ && writer_->getLevel() >= level_)
            writer_->write(level_, function_, line_, 0, 0, 0, "%s", what);
    } catch (...) {
    }
}
