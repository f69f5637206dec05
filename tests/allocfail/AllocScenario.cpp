#include "AllocScenario.h"

#include "FailingAlloc.h"
#include "platform/KXLog.h"

#include <gtest/gtest.h>
#ifdef SUBCLIENTCONF_ALLOCFAIL_SANITIZER
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

namespace {

// The real writer, so that its allocations take part, but into /dev/null;
// it also keeps the error records of the current run (see errorLogged).
class QuietLog : public CLogWriterInterface {
public:
    int getLevel() override { return real_->getLevel(); }
    void vwrite(int level, const char* origin, int line, const char* format, va_list args) override
    {
        if (level == -1 && used_ + 1 < sizeof errors_) {
            va_list copy;
            va_copy(copy, args);
            int n = vsnprintf(errors_ + used_, sizeof errors_ - used_ - 1, format, copy);
            va_end(copy);
            if (n > 0)
                used_ = std::min(sizeof errors_ - 2, used_ + static_cast<size_t>(n));
            errors_[used_++] = '\n';
            errors_[used_] = '\0';
        }
        real_->vwrite(level, origin, line, format, args);
    }
    void restart()
    {
        used_ = 0;
        errors_[0] = '\0';
    }
    bool logged(const char* text) const { return strstr(errors_, text) != nullptr; }

private:
    std::shared_ptr<CLogStreamWriter> real_ = CLogStreamWriter::open("/dev/null");
    char errors_[8192] = "";
    size_t used_ = 0;
};

QuietLog* g_quiet = nullptr;

// Only the sanitizer build checks for leaks (the coverage build counts lines).
bool leaksFound()
{
#ifdef SUBCLIENTCONF_ALLOCFAIL_SANITIZER
    return __lsan_do_recoverable_leak_check() != 0;
#else
    return false;
#endif
}

std::string joined(const Steps& steps)
{
    std::string text;
    for (const std::string& step : steps)
        text += "\n  " + step;
    return text;
}

}  // namespace

void failEachAllocation(const std::function<Steps()>& run, const std::function<bool(const std::string&)>& documented)
{
    failEachAllocation(run, [&](const std::string& step, const std::string& normal) {
        EXPECT_FALSE(documented(normal)) << "normal outcome: " << normal;
        return documented(step);
    });
}

void failEachAllocation(const std::function<Steps()>& run,
                        const std::function<bool(const std::string& step, const std::string& normal)>& documented)
{
    std::shared_ptr<CLogWriterInterface> previous = kxGetLogWriter();
    auto quiet = std::make_shared<QuietLog>();
    kxSetLogWriter(quiet);
    g_quiet = quiet.get();
    auto runOnce = [&](long failAt) {
        quiet->restart();
        failing_alloc::start(failAt);
        return run();
    };
    // Leaks are checked once, after all runs (a check scans the whole heap);
    // the report gives each leaked block's allocation stack. Leaks found
    // before have been reported by an earlier test: every check repeats them.
    const bool leakedBefore = leaksFound();
    runOnce(0);  // first-use allocations (static state) out of the way
    const Steps expected = runOnce(0);
    const long total = failing_alloc::counted();
    EXPECT_GT(total, 0);
    ::testing::Test::RecordProperty("allocations", std::to_string(total));
    // ALLOCFAIL_ONLY=n runs the n-th failure alone, with the log on standard error.
    if (const char* only = getenv("ALLOCFAIL_ONLY")) {
        g_quiet = nullptr;
        kxSetLogWriter(nullptr);
        failing_alloc::start(atol(only));
        std::cerr << "normal steps:" << joined(expected) << "\nsteps:" << joined(run()) << "\n";
        failing_alloc::start(0);
        kxSetLogWriter(previous);
        return;
    }
    int faults = 0;
    for (long n = 1; n <= total && faults < 3; ++n) {
        const Steps got = runOnce(n);
        size_t i = 0;
        while (i < got.size() && i < expected.size() && got[i] == expected[i])
            ++i;
        if (got.size() == expected.size() && i == got.size())
            continue;
        if (i < got.size() && documented(got[i], i < expected.size() ? expected[i] : std::string()))
            continue;
        ++faults;
        ADD_FAILURE() << "allocation " << n << " of " << total << " failing, steps:" << joined(got)
                      << "\nnormal steps:" << joined(expected) << "\n(the failing allocation's stack follows)";
        failing_alloc::traceInjection(true);
        runOnce(n);
        failing_alloc::traceInjection(false);
    }
    failing_alloc::start(0);
    g_quiet = nullptr;
    kxSetLogWriter(previous);
    if (!leakedBefore) {
        EXPECT_FALSE(leaksFound()) << "leaks, listed above";
    }
}

ScopedLogLevel::ScopedLogLevel(int level) : previous_(kxLogLevel())
{
    kxSetLogLevel(level);
}

ScopedLogLevel::~ScopedLogLevel()
{
    kxSetLogLevel(previous_);
}

bool errorLogged(const char* text)
{
    return g_quiet && g_quiet->logged(text);
}

void forgetErrors()
{
    if (g_quiet)
        g_quiet->restart();
}

bool mentionsMemory(const std::string& text)
{
    return text.find("memory") != std::string::npos || text.find("Memory") != std::string::npos;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}
