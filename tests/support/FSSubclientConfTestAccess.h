// Test-only access to the private state of a configuration object.
#ifndef SUBCLIENTCONF_TESTS_FSSUBCLIENTCONFTESTACCESS_H
#define SUBCLIENTCONF_TESTS_FSSUBCLIENTCONFTESTACCESS_H

#include "subclient/FSSubclientConfPrivate.h"

class FSSubclientConfTestAccess {
public:
    static CFSSubclientConfPrivate& priv(FSSubclientConf& conf) { return *conf.d; }
};

#endif
