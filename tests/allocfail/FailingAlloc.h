// Allocation-failure injection: while a window is open, every malloc, calloc,
// realloc, strdup, operator new (throwing or not) and nothrow new[] is counted, and the one
// whose number was chosen fails (null, or bad_alloc from the throwing new).
// The replacements hold for the whole process and forward to the next
// definitions (the sanitizer's allocator, or the C and C++ libraries', where
// operator new then counts once more for its malloc).
#ifndef SUBCLIENTCONF_TESTS_FAILINGALLOC_H
#define SUBCLIENTCONF_TESTS_FAILINGALLOC_H

#include <string>

namespace failing_alloc {

// Plain data: the replacements run before any constructor, and the library starts no threads.
struct State {
    long failAt;  // the allocation that fails, counting from 1; 0: none
    long count;   // allocations counted in open windows
    bool open;
    bool trace;  // the sanitizer build prints the failing allocation's stack to standard error
};
extern State state;

// Counts (and maybe fails) the allocations that body makes. An exception
// leaving body is a fault of the code under test: it is caught and its
// description returned; empty when none escaped.
template <class Body>
std::string window(Body body)
{
    state.open = true;
    std::string escaped;
    try {
        body();
    } catch (const std::exception& e) {
        escaped = std::string("exception escaped: ") + e.what();
    } catch (...) {
        escaped = "exception escaped";
    }
    state.open = false;
    return escaped;
}

}  // namespace failing_alloc

#endif
