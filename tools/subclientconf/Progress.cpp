#include "Progress.h"

#include <cstdio>
#include <unistd.h>

namespace {

unsigned long long ull(uint64_t n)
{
    return static_cast<unsigned long long>(n);
}

}  // namespace

Progress::Progress() : enabled_(isatty(STDERR_FILENO) != 0), start_(Clock::now()), last_(start_) {}

void Progress::update(const WalkTotals& totals)
{
    if (!enabled_ || ++calls_ % 256 != 0)
        return;
    Clock::time_point now = Clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(200))
        return;
    last_ = now;
    shown_ = true;
    fprintf(stderr, "\rscanning: %llu files, %llu folders, %llu bytes ", ull(totals.files), ull(totals.folders),
            ull(totals.bytes));
}

void Progress::clear()
{
    if (shown_)
        fputs("\r\033[K", stderr);
    shown_ = false;
}
