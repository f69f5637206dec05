#include "platform/KXLog.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <sys/syscall.h>
#include <unistd.h>

std::shared_ptr<CLogWriterInterface> g_ptrLogWriter;

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

namespace {

std::atomic<int>& levelCell()
{
    static std::atomic<int> level([] {
        const char* text = getenv("SUBCLIENTCONF_LOG_LEVEL");
        return text ? atoi(text) : 0;
    }());
    return level;
}

// One record per line: time, process and thread, level, origin, message.
class DefaultLogWriter : public CLogWriterInterface {
public:
    DefaultLogWriter()
    {
        const char* path = getenv("SUBCLIENTCONF_LOG_FILE");
        if (path && *path)
            file_ = fopen(path, "a");
    }
    ~DefaultLogWriter() override
    {
        if (file_)
            fclose(file_);
    }
    int getLevel() override { return kxLogLevel(); }
    void vwrite(int level, const char* origin, int line, const char* format, va_list args) override
    {
        std::string message = kxVFormat(format, args);
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
        char stamp[32];
        time_t now = time(nullptr);
        struct tm parts;
        gmtime_r(&now, &parts);
        strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &parts);
        std::string record = kxFormat("%s %ld:%ld %d %s:%d ", stamp, static_cast<long>(getpid()),
                                      static_cast<long>(syscall(SYS_gettid)), level, origin ? origin : "?", line);
        record += message;
        record += '\n';
        std::lock_guard<std::mutex> hold(mutex_);
        FILE* out = file_ ? file_ : stderr;
        fwrite(record.data(), 1, record.size(), out);
        fflush(out);
    }

private:
    FILE* file_ = nullptr;
    std::mutex mutex_;
};

std::shared_ptr<CLogWriterInterface> defaultWriter()
{
    // Never destroyed, so that logging from other static destructors stays safe.
    static auto* writer = new std::shared_ptr<CLogWriterInterface>(std::make_shared<DefaultLogWriter>());
    return *writer;
}

}  // namespace

std::shared_ptr<CLogWriterInterface> kxGetLogWriter()
{
    std::shared_ptr<CLogWriterInterface> writer = std::atomic_load(&g_ptrLogWriter);
    return writer ? writer : defaultWriter();
}

void kxSetLogWriter(std::shared_ptr<CLogWriterInterface> writer)
{
    std::atomic_store(&g_ptrLogWriter, std::move(writer));
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
    return level == -1 || kxGetLogWriter()->getLevel() >= level;
}

void kxVLog(int level, const char* origin, int line, const char* format, va_list args)
{
    std::shared_ptr<CLogWriterInterface> writer = kxGetLogWriter();
    if (level != -1 && writer->getLevel() < level)
        return;
    writer->vwrite(level, origin, line, format, args);
}

void kxLog(int level, const char* origin, int line, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    kxVLog(level, origin, line, format, args);
    va_end(args);
}

KXDebugFunction::KXDebugFunction(std::shared_ptr<CLogWriterInterface> writer, int level, const char* function,
                                 int line, int, uint64_t, uint32_t, const char*)
    : writer_(std::move(writer)), level_(level), function_(function), line_(line)
{
    if (writer_ && writer_->getLevel() >= level_)
        writer_->write(level_, function_, line_, 0, 0, 0, "Entering");
}

KXDebugFunction::~KXDebugFunction()
{
    if (writer_ && writer_->getLevel() >= level_)
        writer_->write(level_, function_, line_, 0, 0, 0, "Leaving");
}
