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
    std::string text;  // type 11
    uint32_t value;    // type 5, host order
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
    // The signature of the call this object serves now (TCallOrigin), for its helpers' records.
    const char* callOrigin() const { return callOrigin_; }

protected:
    // The prefix is kept by address, so it must outlive the object (a string
    // literal): a list built per query then copies no text.
    explicit TDebuggable(const char* literalPrefix);

private:
    friend class TCallOrigin;
    mutable const char* callOrigin_ = "";
    const char* prefix_ = "";  // a literal, or ownPrefix_
    std::string ownPrefix_;
    bool stdout_ = false;
    EvEvent event_;
};

// Names the call an object serves while it runs, so that the helpers it calls
// log with that signature (TLOG_CALL) without passing it down. The name it
// replaced comes back at the end: a callback that re-enters the object, or a
// public call made from inside another, leaves the outer call's name intact.
class TCallOrigin {
public:
    TCallOrigin(const TDebuggable* obj, const char* origin) : obj_(obj), saved_(obj->callOrigin_)
    {
        obj->callOrigin_ = origin;
    }
    ~TCallOrigin() { obj_->callOrigin_ = saved_; }
    TCallOrigin(const TCallOrigin&) = delete;
    TCallOrigin& operator=(const TCallOrigin&) = delete;

private:
    const TDebuggable* obj_;
    const char* saved_;
};

// Like KXLOG, these evaluate their arguments only when the level applies.
#define TLOG(level, ...) TLOG_AS(this, __PRETTY_FUNCTION__, level, __VA_ARGS__)
// For code that logs on behalf of an owning debuggable object.
#define TLOG_ON(obj, level, ...) TLOG_AS(obj, __PRETTY_FUNCTION__, level, __VA_ARGS__)
// With an origin of one's own choosing.
#define TLOG_AS(obj, origin, level, ...)                                                                               \
    (kxLogApplies(level) ? (obj)->log((level), (origin), __LINE__, __VA_ARGS__) : void())
// For helpers: with the signature of the call the object serves (TCallOrigin).
#define TLOG_CALL(obj, level, ...) TLOG_AS(obj, (obj)->callOrigin(), level, __VA_ARGS__)
// At the top of a call whose helpers log with its signature.
#define TCALL_ORIGIN() const TCallOrigin callOriginGuard(this, __PRETTY_FUNCTION__)

// The wildcard engine's channel.
class EvDebug {
public:
    constexpr EvDebug() {}
    void debug(int level, const char* format, ...) const KX_PRINTF_FORMAT(3, 4);
};
extern EvDebug dbg;

#endif
