// Access to the private state of a configuration object, for measurements
// that set it up directly.
#ifndef SUBCLIENTCONF_BENCH_FSSUBCLIENTCONFTESTACCESS_H
#define SUBCLIENTCONF_BENCH_FSSUBCLIENTCONFTESTACCESS_H

#include "subclient/FSSubclientConfPrivate.h"

class FSSubclientConfTestAccess {
public:
    static CFSSubclientConfPrivate& priv(FSSubclientConf& conf) { return *conf.d; }
};

#endif
