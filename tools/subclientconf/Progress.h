// Counts of a walk on standard error, for walks longer than a moment, when it
// is a terminal.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_PROGRESS_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_PROGRESS_H

#include "Walker.h"

#include <chrono>

class Progress {
public:
    Progress();
    void update(const WalkTotals& totals);
    // Removes the line, before other text goes to the terminal and at the end.
    void clear();

private:
    using Clock = std::chrono::steady_clock;

    bool enabled_;
    bool shown_ = false;
    unsigned long calls_ = 0;
    Clock::time_point start_;
    Clock::time_point last_;
};

#endif
