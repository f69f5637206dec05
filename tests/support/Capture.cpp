#include "support/Capture.h"

class CaptureLog::Writer : public CLogWriterInterface {
public:
    explicit Writer(int level) : level_(level) {}
    int getLevel() override { return level_; }
    void vwrite(int level, const char* origin, int line, const char* format, va_list args) override
    {
        std::lock_guard<std::mutex> hold(mutex_);
        records_.push_back({level, origin ? origin : "", line, kxVFormat(format, args)});
    }
    int level_;
    mutable std::mutex mutex_;
    std::vector<LogRecord> records_;
};

CaptureLog::CaptureLog(int level)
    : writer_(std::make_shared<Writer>(level)), previous_(std::atomic_load(&g_ptrLogWriter))
{
    kxSetLogWriter(writer_);
}

CaptureLog::~CaptureLog()
{
    kxSetLogWriter(previous_);
}

std::vector<LogRecord> CaptureLog::records() const
{
    std::lock_guard<std::mutex> hold(writer_->mutex_);
    return writer_->records_;
}

bool CaptureLog::has(const std::string& text) const
{
    for (const LogRecord& r : records())
        if (r.text == text)
            return true;
    return false;
}

bool CaptureLog::has(int level, const std::string& text) const
{
    for (const LogRecord& r : records())
        if (r.level == level && r.text == text)
            return true;
    return false;
}

bool CaptureLog::contains(const std::string& fragment) const
{
    for (const LogRecord& r : records())
        if (r.text.find(fragment) != std::string::npos)
            return true;
    return false;
}

void CaptureLog::clear()
{
    std::lock_guard<std::mutex> hold(writer_->mutex_);
    writer_->records_.clear();
}

std::string CaptureLog::dump() const
{
    std::string out;
    for (const LogRecord& r : records())
        out += std::to_string(r.level) + " [" + r.origin + "] " + r.text + "\n";
    return out;
}

class CaptureEvents::Sink : public CEventSinkInterface {
public:
    void raise(const EvRecord& event) override
    {
        std::lock_guard<std::mutex> hold(mutex_);
        events_.push_back(event);
    }
    mutable std::mutex mutex_;
    std::vector<EvRecord> events_;
};

CaptureEvents::CaptureEvents() : sink_(std::make_shared<Sink>()), previous_(kxGetEventSink())
{
    kxSetEventSink(sink_);
}

CaptureEvents::~CaptureEvents()
{
    kxSetEventSink(previous_);
}

std::vector<EvRecord> CaptureEvents::events() const
{
    std::lock_guard<std::mutex> hold(sink_->mutex_);
    return sink_->events_;
}
