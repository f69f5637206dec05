// Debuggable objects, the library-wide debug channel and platform events.
#ifndef SUBCLIENTCONF_PLATFORM_TDEBUGGABLE_H
#define SUBCLIENTCONF_PLATFORM_TDEBUGGABLE_H

#include "platform/KXLog.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Puts a host integer into little-endian byte order (event arguments travel that way).
uint32_t littleEndianInt(uint32_t value);

// One typed event argument: type 11 is text, type 5 a 32-bit little-endian integer.
struct EvArgument {
    int type;
    std::string text;    // type 11
    uint32_t value;      // type 5, host order
};

struct EvRecord {
    bool major = false;
    unsigned long id = 0;
    unsigned long fleetId = 0;
    unsigned long appId = 0;
    std::vector<EvArgument> args;
};

// Where raised events go. The default sink logs each one at level 0.
class CEventSinkInterface {
public:
    virtual ~CEventSinkInterface();
    virtual void raise(const EvRecord& event) = 0;
};
std::shared_ptr<CEventSinkInterface> kxGetEventSink();
void kxSetEventSink(std::shared_ptr<CEventSinkInterface> sink);  // null restores the default

class EvEvent {
public:
    EvEvent();
    ~EvEvent();
    void addArgument(const void* value, int type);
    EvEvent& operator<<(const char* text);
    EvEvent& operator<<(const std::string& text);
    EvEvent& operator<<(int value);
    void setApp(unsigned long fleetId, unsigned long appId);
    // Raise the event with the arguments added so far, then forget them.
    void MajorEvent(unsigned long id, int, int);
    void MinorEvent(unsigned long id, int, int);

private:
    void raise(bool major, unsigned long id);
    EvRecord pending_;
};

class TDebuggable {
public:
    TDebuggable();
    TDebuggable(const TDebuggable&) = delete;
    TDebuggable& operator=(const TDebuggable&) = delete;
    virtual ~TDebuggable();
    virtual void debug(int level, const char* format, ...) KX_PRINTF_FORMAT(3, 4);

    void setDebugPrefix(const char* prefix);
    const char* getDebugPrefix() const;
    // 1: this object's records go to the process's standard output (the stdio stream of printf).
    void useStdout(int on);
    bool usesStdout() const;
    void appEvent(unsigned long fleetId, unsigned long appId);
    EvEvent& ev();

    // A record of this object under the level rule, with the origin given
    // (use TLOG inside members so the origin is the calling function).
    void log(int level, const char* origin, int line, const char* format, ...) const KX_PRINTF_FORMAT(5, 6);
    void vlog(int level, const char* origin, int line, const char* format, va_list args) const;

private:
    std::string prefix_;
    bool stdout_ = false;
    EvEvent event_;
};

// Like KXLOG, these evaluate their arguments only when the level applies.
#define TLOG(level, ...) TLOG_AS(this, __PRETTY_FUNCTION__, level, __VA_ARGS__)
// For code that logs on behalf of an owning debuggable object.
#define TLOG_ON(obj, level, ...) TLOG_AS(obj, __PRETTY_FUNCTION__, level, __VA_ARGS__)
// For helpers that log with the signature of the public call they serve.
#define TLOG_AS(obj, origin, level, ...) \
    (kxLogApplies(level) ? (obj)->log((level), (origin), __LINE__, __VA_ARGS__) : void())

// The wildcard engine's channel.
class EvDebug {
public:
    constexpr EvDebug() {}
    void debug(int level, const char* format, ...) const KX_PRINTF_FORMAT(3, 4);
};
extern EvDebug dbg;

#endif
