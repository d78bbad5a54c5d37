#include "counted_allocation.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> live_bytes{0};
std::atomic<std::size_t> peak_bytes{0};

void* counted_allocation(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t now = live_bytes += _msize(p);
    std::size_t peak = peak_bytes.load();
    while (now > peak && !peak_bytes.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void counted_release(void* p) noexcept {
    if (p != nullptr) {
        live_bytes -= _msize(p);
        std::free(p);
    }
}

} // namespace

namespace vt::test {

std::size_t LiveBytes() noexcept {
    return live_bytes.load();
}

std::size_t PeakBytes() noexcept {
    return peak_bytes.load();
}

std::size_t ResetPeak() noexcept {
    const std::size_t now = live_bytes.load();
    peak_bytes = now;
    return now;
}

} // namespace vt::test

void* operator new(std::size_t size) {
    return counted_allocation(size);
}
void* operator new[](std::size_t size) {
    return counted_allocation(size);
}
void operator delete(void* p) noexcept {
    counted_release(p);
}
void operator delete[](void* p) noexcept {
    counted_release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    counted_release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    counted_release(p);
}
