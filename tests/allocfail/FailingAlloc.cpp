#include "FailingAlloc.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef SUBCLIENTCONF_ALLOCFAIL_SANITIZER
#include <sanitizer/common_interface_defs.h>
#else
#include <execinfo.h>
#include <unistd.h>
#endif

namespace {

// Plain globals: the library starts no threads, and these functions run
// before any constructor (so no static objects with constructors here).
long g_failAt = 0;
long g_count = 0;
bool g_open = false;
bool g_injected = false;
bool g_trace = false;

void printStack()
{
#ifdef SUBCLIENTCONF_ALLOCFAIL_SANITIZER
    __sanitizer_print_stack_trace();
#else
    void* frames[64];
    backtrace_symbols_fd(frames, backtrace(frames, 64), STDERR_FILENO);
#endif
}

bool failNow()
{
    if (!g_open)
        return false;
    if (++g_count != g_failAt)
        return false;
    g_injected = true;
    if (g_trace)
        printStack();
    return true;
}

// The next definitions in lookup order: the sanitizer's allocator.
template <class F>
F next(const char* name)
{
    void* symbol = dlsym(RTLD_NEXT, name);
    if (!symbol)
        abort();
    return reinterpret_cast<F>(symbol);
}

using MallocFn = void* (*)(size_t);
using CallocFn = void* (*)(size_t, size_t);
using ReallocFn = void* (*)(void*, size_t);
using StrdupFn = char* (*)(const char*);
using NewFn = void* (*)(size_t);
using NewNothrowFn = void* (*)(size_t, const std::nothrow_t&);

// Resolved at first use, without static guards: malloc is called while the
// program is still being loaded. dlsym does not allocate for a found symbol.
MallocFn g_malloc;
CallocFn g_calloc;
ReallocFn g_realloc;
StrdupFn g_strdup;
NewFn g_new;
NewFn g_newArray;
NewNothrowFn g_newNothrow;
NewNothrowFn g_newArrayNothrow;

template <class F>
F resolved(F& cell, const char* name)
{
    if (!cell)
        cell = next<F>(name);
    return cell;
}

}  // namespace

void failing_alloc::start(long failAt)
{
    g_failAt = failAt;
    g_count = 0;
    g_injected = false;
}

void failing_alloc::traceInjection(bool on)
{
    g_trace = on;
}

long failing_alloc::counted()
{
    return g_count;
}

bool failing_alloc::injected()
{
    return g_injected;
}

void failing_alloc::open()
{
    g_open = true;
}

void failing_alloc::close()
{
    g_open = false;
}

extern "C" {

void* malloc(size_t size)
{
    if (failNow()) {
        errno = ENOMEM;
        return nullptr;
    }
    return resolved(g_malloc, "malloc")(size);
}

void* calloc(size_t count, size_t size)
{
    if (failNow()) {
        errno = ENOMEM;
        return nullptr;
    }
    return resolved(g_calloc, "calloc")(count, size);
}

void* realloc(void* pointer, size_t size)
{
    if (failNow()) {
        errno = ENOMEM;
        return nullptr;
    }
    return resolved(g_realloc, "realloc")(pointer, size);
}

char* strdup(const char* text)
{
    if (failNow()) {
        errno = ENOMEM;
        return nullptr;
    }
    return resolved(g_strdup, "strdup")(text);
}

}  // extern "C"

// The replaced operators forward to the sanitizer's own, so that its
// new/delete pairing checks stay valid; operator delete is not replaced.
#if __SIZEOF_SIZE_T__ == 8
#define FAILING_ALLOC_SIZE "m"
#else
#define FAILING_ALLOC_SIZE "j"
#endif

void* operator new(size_t size)
{
    if (failNow())
        throw std::bad_alloc();
    return resolved(g_new, "_Znw" FAILING_ALLOC_SIZE)(size);
}

void* operator new[](size_t size)
{
    if (failNow())
        throw std::bad_alloc();
    return resolved(g_newArray, "_Zna" FAILING_ALLOC_SIZE)(size);
}

void* operator new(size_t size, const std::nothrow_t& tag) noexcept
{
    if (failNow())
        return nullptr;
    return resolved(g_newNothrow, "_Znw" FAILING_ALLOC_SIZE "RKSt9nothrow_t")(size, tag);
}

void* operator new[](size_t size, const std::nothrow_t& tag) noexcept
{
    if (failNow())
        return nullptr;
    return resolved(g_newArrayNothrow, "_Zna" FAILING_ALLOC_SIZE "RKSt9nothrow_t")(size, tag);
}
