// Allocation-failure injection for tests: while a window is open, every
// malloc, calloc, realloc, strdup and operator new (throwing or not) is
// counted, and the one whose number was chosen fails (null, or bad_alloc from
// the throwing new). Linked into one test program of the sanitizer and
// coverage builds: it replaces those functions for the whole process and
// forwards to the next definitions (the sanitizer's allocator, or the C and
// C++ libraries', where operator new then counts once more for its malloc).
#ifndef SUBCLIENTCONF_TESTS_FAILINGALLOC_H
#define SUBCLIENTCONF_TESTS_FAILINGALLOC_H

#include <string>

namespace failing_alloc {

// Starts a run: allocations are counted from 0 and the failAt-th fails (0: none).
void start(long failAt);
// Prints the stack of the failing allocation (to standard error).
void traceInjection(bool on);
// Allocations counted in open windows since start.
long counted();
// Whether the chosen allocation was reached and failed.
bool injected();

// Counts (and maybe fails) the allocations that body makes. An exception
// leaving body is a fault of the code under test: it is caught and its
// description returned; empty when none escaped.
template <class Body>
std::string window(Body body);

void open();
void close();

}  // namespace failing_alloc

template <class Body>
std::string failing_alloc::window(Body body)
{
    open();
    try {
        body();
    } catch (const std::exception& e) {
        close();
        return std::string("exception escaped: ") + e.what();
    } catch (...) {
        close();
        return "exception escaped";
    }
    close();
    return std::string();
}

#endif
