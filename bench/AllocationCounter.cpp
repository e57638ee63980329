#include "AllocationCounter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

// Off outside a PeakAllocation, so that timed code pays one test per allocation.
bool g_bCounting = false;
std::size_t g_nHeld = 0;  // usable bytes of the blocks allocated while counting, less those freed
std::size_t g_nPeak = 0;

void* Allocate(std::size_t n) {
    void* p = std::malloc(n == 0 ? 1 : n);
    if (!p) {
        throw std::bad_alloc();
    }
    if (g_bCounting) {
        g_nHeld += malloc_usable_size(p);
        if (g_nHeld > g_nPeak) {
            g_nPeak = g_nHeld;
        }
    }
    return p;
}

void Release(void* p) noexcept {
    if (p && g_bCounting) {
        const std::size_t n = malloc_usable_size(p);
        // A block allocated before counting began does not lower the count below its start.
        g_nHeld = n < g_nHeld ? g_nHeld - n : 0;
    }
    std::free(p);
}

}  // namespace

PeakAllocation::PeakAllocation() {
    g_nHeld = 0;
    g_nPeak = 0;
    g_bCounting = true;
}

PeakAllocation::~PeakAllocation() {
    g_bCounting = false;
}

std::size_t PeakAllocation::PeakBytes() const {
    return g_nPeak;
}

void* operator new(std::size_t n) {
    return Allocate(n);
}
void* operator new[](std::size_t n) {
    return Allocate(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return Allocate(n);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return Allocate(n);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
