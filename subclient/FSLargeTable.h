// Allocator for the lookup tables that every query reads at random places.
#ifndef SUBCLIENTCONF_SUBCLIENT_FSLARGETABLE_H
#define SUBCLIENTCONF_SUBCLIENT_FSLARGETABLE_H

#include <cstddef>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

// A lookup in a table of tens of megabytes lands on a page of its own each
// time, and the address translation it waits for can cost more than the
// read itself (in a virtual machine above all). A table of 4 MiB or more
// is therefore placed on 2 MiB boundaries and offered to the kernel for
// huge pages; smaller ones, and systems without the advice, get plain
// memory. Either way the memory is the caller's alone and freed with free().
template <class T>
class FSLargeTableAllocator {
public:
    typedef T value_type;

    FSLargeTableAllocator() = default;
    template <class U>
    FSLargeTableAllocator(const FSLargeTableAllocator<U>&) noexcept
    {}

    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        const std::size_t bytes = n * sizeof(T);
        void* p = nullptr;
        if (bytes >= kHugeFrom && bytes <= static_cast<std::size_t>(-1) - kHugePage) {
            const std::size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
            p = std::aligned_alloc(kHugePage, rounded);
#ifdef MADV_HUGEPAGE
            if (p)
                madvise(p, rounded, MADV_HUGEPAGE);  // advice only: failure leaves plain pages
#endif
        }
        if (!p)
            p = std::malloc(bytes ? bytes : 1);
        if (!p)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }

    void deallocate(T* p, std::size_t) noexcept { std::free(p); }

    template <class U>
    bool operator==(const FSLargeTableAllocator<U>&) const noexcept
    {
        return true;
    }
    template <class U>
    bool operator!=(const FSLargeTableAllocator<U>&) const noexcept
    {
        return false;
    }

private:
    static const std::size_t kHugePage = std::size_t(2) << 20;
    static const std::size_t kHugeFrom = std::size_t(4) << 20;
};

#endif
