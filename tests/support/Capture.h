// Capturing log writer and event sink for tests: install for a scope, then assert on records.
#ifndef SUBCLIENTCONF_TESTS_CAPTURE_H
#define SUBCLIENTCONF_TESTS_CAPTURE_H

#include "platform/KXLog.h"
#include "platform/TDebuggable.h"

#include <memory>
#include <mutex>
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
    explicit CaptureLog(int level = 255);
    ~CaptureLog();
    std::vector<LogRecord> records() const;
    // True when some record has exactly this text (and level, when given).
    bool has(const std::string& text) const;
    bool has(int level, const std::string& text) const;
    // True when some record's text contains the fragment.
    bool contains(const std::string& fragment) const;
    void clear();
    std::string dump() const;  // every record, one per line, for failure messages

private:
    class Writer;
    std::shared_ptr<Writer> writer_;
    std::shared_ptr<CLogWriterInterface> previous_;
};

class CaptureEvents {
public:
    CaptureEvents();
    ~CaptureEvents();
    std::vector<EvRecord> events() const;

private:
    class Sink;
    std::shared_ptr<Sink> sink_;
    std::shared_ptr<CEventSinkInterface> previous_;
};

#endif
