#pragma once
// Mappings of the POSIX layer: anonymous memory and views of a descriptor.
//
// Keeps true: a view is MAP_SHARED, so writes through it reach the file (or
// the anonymous memory that every view of it shares); views start at
// multiples of the mapping granularity, which is a multiple of the page
// size. Failures come back by result with errno set; nothing raises.

#include <cstddef>

namespace orvane::platform {

// Alignment of every view start: the 65,536 bytes of the Win32 allocation
// granularity that positions and view sizes are chosen for.
constexpr long long mapping_granularity = 65536;

// Memory of `size` zero bytes, not backed by any file (memfd), as a
// descriptor that views map; -1 on failure.
int create_anonymous(long long size) noexcept;

// Resizes anonymous memory; bytes kept up to the smaller size.
bool resize_anonymous(int fd, long long size) noexcept;

// A view of `length` bytes from `offset`; nullptr on failure.
void* map_view(int fd, bool read_only, long long offset, unsigned long long length) noexcept;

// False when the system reports an error; the range is gone either way.
bool unmap_view(void* base, unsigned long long length) noexcept;

// The view's changed pages written to its file.
bool sync_view(void* base, unsigned long long length) noexcept;

}  // namespace orvane::platform
