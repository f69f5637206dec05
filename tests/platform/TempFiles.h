// Scoped environment variables for the platform tests (scratch folders: support/TempDir.h).
#ifndef SUBCLIENTCONF_TESTS_PLATFORM_TEMPFILES_H
#define SUBCLIENTCONF_TESTS_PLATFORM_TEMPFILES_H

#include "support/TempDir.h"

#include <cstdlib>

// Sets an environment variable (null: removes it) for a scope; the tests expect it unset otherwise.
struct ScopedEnv {
    ScopedEnv(const char* variable, const char* value) : name(variable)
    {
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { unsetenv(name); }
    const char* name;
};

#endif
