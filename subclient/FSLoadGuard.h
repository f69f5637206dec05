// Keeps exceptions of the configuration service, and allocation failures,
// inside the library: the loading entry points report them as failures.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSLOADGUARD_H
#define SUBCLIENTCONF_SUBCLIENT_FSLOADGUARD_H

#include "platform/TDebuggable.h"

// Call only inside a catch block: logs the exception being handled as an
// error of origin on behalf of conf and returns -1, the loads' failure result.
int fsLoadFailure(const TDebuggable* conf, const char* origin, int line);

#define FS_LOAD_FAILURE() fsLoadFailure(this, __PRETTY_FUNCTION__, __LINE__)

#endif
