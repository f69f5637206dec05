#include "AllocScenario.h"

#include "FailingAlloc.h"
#include "platform/KXLog.h"

#include <gtest/gtest.h>
#include <sanitizer/lsan_interface.h>

#include <memory>

namespace {

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
    // The real log writer, so that its allocations take part, but quiet.
    std::shared_ptr<CLogWriterInterface> previous = kxGetLogWriter();
    kxSetLogWriter(CLogStreamWriter::open("/dev/null"));
    failing_alloc::start(0);
    run();  // first-use allocations (static state) out of the way
    failing_alloc::start(0);
    const Steps expected = run();
    const long total = failing_alloc::counted();
    EXPECT_GT(total, 0);
    int faults = 0;
    for (long n = 1; n <= total && faults < 3; ++n) {
        failing_alloc::start(n);
        const Steps got = run();
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
        failing_alloc::start(n);
        failing_alloc::traceInjection(true);
        run();
        failing_alloc::traceInjection(false);
    }
    failing_alloc::start(0);
    kxSetLogWriter(previous);
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "leaks, listed above";
}

std::string exampleStorePath()
{
    std::string data = SUBCLIENTCONF_TEST_DATA;
    return data.substr(0, data.rfind("/tests/")) + "/examples/workstation.backupset";
}

bool mentionsMemory(const std::string& text)
{
    return text.find("memory") != std::string::npos || text.find("Memory") != std::string::npos;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}
