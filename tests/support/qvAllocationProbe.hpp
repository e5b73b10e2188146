#pragma once
// Replaces the global operator new and delete of a test executable, over
// malloc and free, to record the largest single request: tests state with it
// that a hostile count or size never sizes an allocation. It can also make
// the n-th throwing allocation from now fail, to test what a failure leaves.
//
// The replacement functions live in qvAllocationProbe.cpp of the test
// support library, so every test executable has them exactly once; with
// nothing armed they only record.

#include <cstddef>

namespace qv_allocation_probe {
inline std::size_t largest_request = 0;
// Throwing allocations that still succeed; below 0: all of them.
inline long allocations_left = -1;

// Forgets what was recorded; the next requests count from here.
inline void reset() { largest_request = 0; }
}  // namespace qv_allocation_probe
