// The test executables' replacement operator new and delete (see
// qvAllocationProbe.hpp).
#include "qvAllocationProbe.hpp"

#include <algorithm>
#include <cstdlib>
#include <new>

// new and delete are replaced together; g++ cannot see that where it inlines
// them and would warn of a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t n) {
    qv_allocation_probe::largest_request = std::max(qv_allocation_probe::largest_request, n);
    if (qv_allocation_probe::allocations_left == 0) throw std::bad_alloc();
    if (qv_allocation_probe::allocations_left > 0) --qv_allocation_probe::allocations_left;
    if (void* p = std::malloc(n != 0 ? n : 1)) return p;
    throw std::bad_alloc();
}
// The nothrow forms too (std::stable_sort's buffer uses them): left to a
// sanitizer's allocator, they would be freed by the free() below.
void* operator new(std::size_t n, std::nothrow_t const&) noexcept {
    qv_allocation_probe::largest_request = std::max(qv_allocation_probe::largest_request, n);
    return std::malloc(n != 0 ? n : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::nothrow_t const&) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
