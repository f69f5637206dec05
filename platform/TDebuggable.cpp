#include "platform/TDebuggable.h"

#include "platform/KXImmortal.h"

#include <cstdio>
#include <cstring>
#include <new>

EvDebug dbg;

uint32_t littleEndianInt(uint32_t value)
{
    unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                              static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    uint32_t out;
    memcpy(&out, bytes, sizeof out);
    return out;
}

CEventSinkInterface::~CEventSinkInterface() = default;

namespace {

class LoggingEventSink : public CEventSinkInterface {
public:
    void raise(const EvRecord& event) override
    {
        std::string args;
        for (const EvArgument& arg : event.args) {
            args += args.empty() ? "" : ", ";
            args += arg.type == 11 ? "'" + arg.text + "'" : std::to_string(static_cast<int32_t>(arg.value));
        }
        KXLOG(0, "%s event 0x%08lX (fleet %lu, app %lu): %s", event.major ? "major" : "minor", event.id, event.fleetId,
              event.appId, args.c_str());
    }
};

KXImmortal<std::shared_ptr<CEventSinkInterface>> sinkSlot;

std::shared_ptr<CEventSinkInterface> defaultSink()
{
    static auto* sink = new std::shared_ptr<CEventSinkInterface>(std::make_shared<LoggingEventSink>());
    return *sink;
}

}  // namespace

std::shared_ptr<CEventSinkInterface> kxGetEventSink()
{
    std::shared_ptr<CEventSinkInterface> sink = std::atomic_load(&sinkSlot.value);
    return sink ? sink : defaultSink();
}

void kxSetEventSink(std::shared_ptr<CEventSinkInterface> sink)
{
    std::atomic_store(&sinkSlot.value, std::move(sink));
}

EvEvent::EvEvent() = default;
EvEvent::~EvEvent() = default;

void EvEvent::addArgument(const void* value, int type)
{
    EvArgument arg{type, std::string(), 0};
    if (type == 11)
        arg.text = value ? static_cast<const char*>(value) : "";
    else if (value) {
        uint32_t raw;
        memcpy(&raw, value, sizeof raw);
        arg.value = littleEndianInt(raw);  // the swap is its own inverse
    }
    pending_.args.push_back(std::move(arg));
}

EvEvent& EvEvent::operator<<(const char* text)
{
    addArgument(text, 11);
    return *this;
}

EvEvent& EvEvent::operator<<(const std::string& text)
{
    return *this << text.c_str();
}

EvEvent& EvEvent::operator<<(int value)
{
    uint32_t little = littleEndianInt(static_cast<uint32_t>(value));
    addArgument(&little, 5);
    return *this;
}

void EvEvent::setApp(unsigned long fleetId, unsigned long appId)
{
    pending_.fleetId = fleetId;
    pending_.appId = appId;
}

void EvEvent::raise(bool major, unsigned long id)
{
    pending_.major = major;
    pending_.id = id;
    EvRecord event;
    std::swap(event, pending_);
    pending_.fleetId = event.fleetId;
    pending_.appId = event.appId;
    kxGetEventSink()->raise(event);
}

void EvEvent::MajorEvent(unsigned long id, int, int)
{
    raise(true, id);
}

void EvEvent::MinorEvent(unsigned long id, int, int)
{
    raise(false, id);
}

TDebuggable::TDebuggable() = default;
TDebuggable::TDebuggable(const char* literalPrefix) : prefix_(literalPrefix) {}
TDebuggable::~TDebuggable() = default;

void TDebuggable::debug(int level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vlog(level, prefix_, 0, format, args);
    va_end(args);
}

void TDebuggable::setDebugPrefix(const char* prefix)
{
    ownPrefix_ = prefix ? prefix : "";
    prefix_ = ownPrefix_.c_str();
}

const char* TDebuggable::getDebugPrefix() const
{
    return prefix_;
}

void TDebuggable::useStdout(int on)
{
    stdout_ = on != 0;
}

bool TDebuggable::usesStdout() const
{
    return stdout_;
}

void TDebuggable::appEvent(unsigned long fleetId, unsigned long appId)
{
    event_.setApp(fleetId, appId);
}

EvEvent& TDebuggable::ev()
{
    return event_;
}

void TDebuggable::vlog(int level, const char* origin, int line, const char* format, va_list args) const
{
    if (!stdout_) {
        kxVLog(level, origin, line, format, args);
        return;
    }
    if (!kxLogApplies(level))
        return;
    // "PREFIX: message", on the stream printf uses, so that the records stay
    // in order with the console's own output; one call keeps a record whole.
    try {
        std::string record = std::string(prefix_) + ": " + kxVFormat(format, args);
        if (record.back() != '\n')
            record += '\n';
        fputs(record.c_str(), stdout);
    } catch (const std::bad_alloc&) {
        // No memory for the record: the message text alone, as a marked line.
        printf("%s: (out of memory) %s\n", prefix_, format ? format : "");
    }
    fflush(stdout);
}

void TDebuggable::log(int level, const char* origin, int line, const char* format, ...) const
{
    va_list args;
    va_start(args, format);
    vlog(level, origin, line, format, args);
    va_end(args);
}

void EvDebug::debug(int level, const char* format, ...) const
{
    va_list args;
    va_start(args, format);
    kxVLog(level, "EvDebug", 0, format, args);
    va_end(args);
}
