#include "subclient/FSLoadGuard.h"

#include <exception>
#include <new>

int fsLoadFailure(const TDebuggable* conf, int line)
{
    const char* const origin = conf->callOrigin();
    try {
        throw;
    } catch (const std::bad_alloc&) {
        conf->log(-1, origin, line, "out of memory");
    } catch (const std::exception& e) {
        conf->log(-1, origin, line, "exception: %s", e.what());
    } catch (const char* text) {
        conf->log(-1, origin, line, "exception: %s", text ? text : "(null)");
    } catch (...) {
        conf->log(-1, origin, line, "unknown exception");
    }
    return -1;
}
