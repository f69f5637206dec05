#include "Signals.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile sig_atomic_t caught = 0;

void record(int signal)
{
    caught = signal;
}

}  // namespace

void catchInterrupts()
{
    struct sigaction action = {};
    action.sa_handler = record;
    // No SA_RESTART: a blocking read of standard input returns, so the run notices.
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM}) {
        struct sigaction before = {};
        // A signal the caller ignores (a background job's SIGINT) stays ignored.
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

int interruption()
{
    return caught;
}
