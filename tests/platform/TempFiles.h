// Scoped environment variables for the platform tests (scratch folders: support/TempDir.h).
#ifndef SUBCLIENTCONF_TESTS_PLATFORM_TEMPFILES_H
#define SUBCLIENTCONF_TESTS_PLATFORM_TEMPFILES_H

#include "support/TempDir.h"

#include <string>

// Sets an environment variable for a scope and restores its earlier state.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::string old_;
    bool had_;
};

#endif
