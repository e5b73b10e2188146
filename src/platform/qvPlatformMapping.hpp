#pragma once
// Mappings of the POSIX layer: anonymous memory, views of a descriptor,
// and address ranges set aside for a view to grow in.
//
// Keeps true: a view is MAP_SHARED, so writes through it reach the file (or
// the anonymous memory that every view of it shares); views start at
// multiples of the mapping granularity, which is a multiple of the page
// size. A set-aside range is inaccessible and commits nothing; parts of it
// become views in place (map_view_at) or take a view moved whole
// (move_view), and the owner gives the whole range back with one
// unmap_view. Failures come back by result with errno set;
// nothing raises.

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

// Sets aside an address range for a view to grow in: `wanted` bytes, or
// less where the system refuses that (halved at each refusal) or where a
// finite address-space limit is set (a quarter of what it leaves), never
// less than `least`. Both are rounded up to whole system pages. Its base,
// its length in *length; nullptr, errno set, when no range of `least`
// bytes can be had, after at most one ask per halving.
void* reserve_address_space(unsigned long long wanted, unsigned long long least,
                            unsigned long long* length) noexcept;

// Gives back a range, or the rest of one, that holds no view.
void release_address_space(void* base, unsigned long long length) noexcept;

// A view of `length` bytes from `offset` (a whole number of system pages)
// at `address`: a page-aligned part of a range that reserve_address_space
// set aside, holding no view yet. On failure the part is set aside again;
// should even that fail (the system may have dropped the part), *part_lost
// is set and the part is no longer the caller's.
bool map_view_at(void* address, int fd, bool read_only, long long offset, unsigned long long length,
                 bool* part_lost) noexcept;

// Moves a view of `length` bytes (whole system pages) to `address`, the
// start of a range of at least that length that reserve_address_space set
// aside: the same pages, already faulted in, now there. On failure the view
// stays where it was and the range (or what is left of it) is still the
// caller's to give back.
bool move_view(void* view, unsigned long long length, void* address) noexcept;

// `bytes` rounded up to a whole number of the system's memory pages.
unsigned long long whole_pages(unsigned long long bytes) noexcept;

// False when the system reports an error; the range is gone either way.
bool unmap_view(void* base, unsigned long long length) noexcept;

// The view's changed pages written to its file.
bool sync_view(void* base, unsigned long long length) noexcept;

}  // namespace orvane::platform
