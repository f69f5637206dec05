// Temporary folders and files for the platform tests, removed when the test ends.
#ifndef SUBCLIENTCONF_TESTS_PLATFORM_TEMPFILES_H
#define SUBCLIENTCONF_TESTS_PLATFORM_TEMPFILES_H

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // Writes the file (relative to the folder) and returns its full path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

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
