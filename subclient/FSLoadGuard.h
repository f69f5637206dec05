// Keeps exceptions of the configuration service, and allocation failures,
// inside the library: the loading entry points report them as failures.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSLOADGUARD_H
#define SUBCLIENTCONF_SUBCLIENT_FSLOADGUARD_H

#include "platform/TDebuggable.h"

// Call only inside a catch block of a load that named itself (TCALL_ORIGIN):
// logs the exception being handled as an error of that load on behalf of
// conf and returns -1, the loads' failure result.
int fsLoadFailure(const TDebuggable* conf, int line);

#define FS_LOAD_FAILURE() fsLoadFailure(this, __LINE__)

#endif
