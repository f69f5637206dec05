// Keeps exceptions of the configuration service, and allocation failures,
// inside the library: the loading entry points report them as failures.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSLOADGUARD_H
#define SUBCLIENTCONF_SUBCLIENT_FSLOADGUARD_H

#include "platform/TDebuggable.h"

#include <exception>
#include <new>

// Runs body() and returns its result, or -1 after logging the exception it threw.
template <class Body>
int fsLoadGuard(const TDebuggable* conf, const char* origin, Body body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        conf->log(-1, origin, __LINE__, "out of memory");
    } catch (const std::exception& e) {
        conf->log(-1, origin, __LINE__, "exception: %s", e.what());
    } catch (const char* text) {
        conf->log(-1, origin, __LINE__, "exception: %s", text ? text : "(null)");
    } catch (...) {
        conf->log(-1, origin, __LINE__, "unknown exception");
    }
    return -1;
}

#endif
