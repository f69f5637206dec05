#include "FailingAlloc.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <new>

#ifdef SUBCLIENTCONF_ALLOCFAIL_SANITIZER
#include <sanitizer/common_interface_defs.h>
#endif

failing_alloc::State failing_alloc::state = {0, 0, false, false};

namespace {

bool failNow()
{
    failing_alloc::State& s = failing_alloc::state;
    if (!s.open || ++s.count != s.failAt)
        return false;
#ifdef SUBCLIENTCONF_ALLOCFAIL_SANITIZER
    if (s.trace)
        __sanitizer_print_stack_trace();
#endif
    errno = ENOMEM;
    return true;
}

// The next definition in lookup order, resolved at first use: the cells are
// function-local pointers without static guards, as malloc is called while
// the program is still being loaded. dlsym does not allocate for a found symbol.
template <class F>
F next(F& cell, const char* name)
{
    if (!cell && !(cell = reinterpret_cast<F>(dlsym(RTLD_NEXT, name))))
        abort();
    return cell;
}

}  // namespace

extern "C" {

void* malloc(size_t size)
{
    static void* (*cell)(size_t);
    return failNow() ? nullptr : next(cell, "malloc")(size);
}

void* calloc(size_t count, size_t size)
{
    static void* (*cell)(size_t, size_t);
    return failNow() ? nullptr : next(cell, "calloc")(count, size);
}

void* realloc(void* pointer, size_t size)
{
    static void* (*cell)(void*, size_t);
    return failNow() ? nullptr : next(cell, "realloc")(pointer, size);
}

char* strdup(const char* text)
{
    static char* (*cell)(const char*);
    return failNow() ? nullptr : next(cell, "strdup")(text);
}

}  // extern "C"

// The replaced operators forward to the sanitizer's own, so that its
// new/delete pairing checks stay valid; operator delete is not replaced, nor
// the throwing new[], which the library does not use.
#if __SIZEOF_SIZE_T__ == 8
#define FAILING_ALLOC_SIZE "m"
#else
#define FAILING_ALLOC_SIZE "j"
#endif

void* operator new(size_t size)
{
    static void* (*cell)(size_t);
    if (failNow())
        throw std::bad_alloc();
    return next(cell, "_Znw" FAILING_ALLOC_SIZE)(size);
}

void* operator new(size_t size, const std::nothrow_t& tag) noexcept
{
    static void* (*cell)(size_t, const std::nothrow_t&);
    return failNow() ? nullptr : next(cell, "_Znw" FAILING_ALLOC_SIZE "RKSt9nothrow_t")(size, tag);
}

void* operator new[](size_t size, const std::nothrow_t& tag) noexcept
{
    static void* (*cell)(size_t, const std::nothrow_t&);
    return failNow() ? nullptr : next(cell, "_Zna" FAILING_ALLOC_SIZE "RKSt9nothrow_t")(size, tag);
}
