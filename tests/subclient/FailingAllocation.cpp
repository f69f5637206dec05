// Replaces the global allocation functions of this test program so that a
// test can make one chosen allocation fail, through throwing and non-throwing
// new alike. All forms are replaced so that sanitizers see matching pairs.
#include "FailingAllocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> failAt{-1};
std::atomic<long> counted{0};

void* allocate(std::size_t size) {
    if (failAt.load() >= 0 && counted.fetch_add(1) == failAt.load())
        throw std::bad_alloc();
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}

}  // namespace

FailingAllocation::FailingAllocation(long n) {
    counted = 0;
    failAt = n;
}

FailingAllocation::~FailingAllocation() {
    failAt = -1;
}

bool FailingAllocation::reached() const {
    return counted.load() > failAt.load();
}

void* operator new(std::size_t size) {
    return allocate(size);
}

void* operator new[](std::size_t size) {
    return allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
