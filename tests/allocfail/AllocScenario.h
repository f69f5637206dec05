// Runs a scenario once to count its allocations, then once for each of them
// with that one failing (see FailingAlloc.h).
#ifndef SUBCLIENTCONF_TESTS_ALLOCSCENARIO_H
#define SUBCLIENTCONF_TESTS_ALLOCSCENARIO_H

#include <functional>
#include <string>
#include <vector>

// One text per step of a scenario, telling its outcome.
using Steps = std::vector<std::string>;

// A failing run passes when its steps equal those of the normal run, or when
// the first step that differs is one that documented() accepts: a failure
// the interface promises for short memory. (What follows such a failure may
// differ freely.) Every run must also be free of escaping exceptions and,
// checked once at the end, of leaks. ALLOCFAIL_ONLY=n in the environment runs
// the normal run and then only the n-th failure, with the log on standard error.
void failEachAllocation(const std::function<Steps()>& run, const std::function<bool(const std::string&)>& documented);
// The same where the documented failure depends on the normal step.
void failEachAllocation(const std::function<Steps()>& run,
                        const std::function<bool(const std::string& step, const std::string& normal)>& documented);

// Sets the log level for a scope (diagnostics allocate too).
class ScopedLogLevel {
public:
    explicit ScopedLogLevel(int level);
    ~ScopedLogLevel();
    ScopedLogLevel(const ScopedLogLevel&) = delete;
    ScopedLogLevel& operator=(const ScopedLogLevel&) = delete;

private:
    int previous_;
};

// Whether an error record (level -1) whose message contains text was written
// since the current run started. Records are formatted into a fixed buffer,
// so that watching them allocates nothing beyond what the writer does.
bool errorLogged(const char* text);
// Starts the record of errors afresh within a run.
void forgetErrors();

bool mentionsMemory(const std::string& text);
bool startsWith(const std::string& text, const std::string& prefix);
bool endsWith(const std::string& text, const std::string& suffix);

#endif
