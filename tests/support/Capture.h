// Capturing log writer and event sink for tests: install for a scope, then assert on records.
// The library starts no threads, so the records need no lock.
#ifndef SUBCLIENTCONF_TESTS_CAPTURE_H
#define SUBCLIENTCONF_TESTS_CAPTURE_H

#include "platform/KXLog.h"
#include "platform/TDebuggable.h"

#include <climits>
#include <memory>
#include <string>
#include <vector>

struct LogRecord {
    int level;
    std::string origin;
    int line;
    std::string text;
};

// Installs itself as the process log writer at the given level; restores the previous writer on destruction.
class CaptureLog {
public:
    explicit CaptureLog(int level = 255)
        : writer_(std::make_shared<Writer>(level)), previous_(std::atomic_load(&g_ptrLogWriter))
    {
        kxSetLogWriter(writer_);
    }
    ~CaptureLog() { kxSetLogWriter(previous_); }
    const std::vector<LogRecord>& records() const { return writer_->records; }
    // True when some record has exactly this text (and level, when given), or contains the fragment.
    bool has(const std::string& text) const { return find(text, kAnyLevel, false); }
    bool has(int level, const std::string& text) const { return find(text, level, false); }
    bool contains(const std::string& fragment) const { return find(fragment, kAnyLevel, true); }
    void clear() { writer_->records.clear(); }
    std::string dump() const;  // every record, one per line, for failure messages

private:
    struct Writer : CLogWriterInterface {
        explicit Writer(int level) : level(level) {}
        int getLevel() override { return level; }
        void vwrite(int level, const char* origin, int line, const char* format, va_list args) override
        {
            records.push_back({level, origin ? origin : "", line, kxVFormat(format, args)});
        }
        int level;
        std::vector<LogRecord> records;
    };
    static constexpr int kAnyLevel = INT_MIN;
    bool find(const std::string& text, int level, bool fragment) const;
    std::shared_ptr<Writer> writer_;
    std::shared_ptr<CLogWriterInterface> previous_;
};

class CaptureEvents {
public:
    CaptureEvents() : previous_(kxGetEventSink()) { kxSetEventSink(sink_); }
    ~CaptureEvents() { kxSetEventSink(previous_); }
    const std::vector<EvRecord>& events() const { return sink_->events; }

private:
    struct Sink : CEventSinkInterface {
        void raise(const EvRecord& event) override { events.push_back(event); }
        std::vector<EvRecord> events;
    };
    std::shared_ptr<Sink> sink_ = std::make_shared<Sink>();
    std::shared_ptr<CEventSinkInterface> previous_;
};

#endif
