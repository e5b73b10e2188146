#pragma once
// Failure seams of the POSIX layer.
//
// Tests arm a call to fail the next `times` times with a chosen errno; the
// layer asks injected_failure() right before the real system call and, when
// it answers true, behaves as if the system had refused with that errno.
// Keeps true: an unarmed, unobserved call costs one array read and one
// pointer test and never changes errno.
// Process-wide and unsynchronised, like the rest of the library.

namespace orvane::platform {

enum class Call : int {
    open,          // opening a named file
    close,         // closing a file (the descriptor is closed all the same)
    read,
    write,
    resize,        // setting a file's length
    reserve,       // reserving disk blocks of a file
    sync,          // flushing data or a view to disk
    rename,        // the rename(2) step of moving a file
    temp_file,     // making a unique temporary file
    map_create,    // making anonymous memory for a mapping
    map_view,      // mapping a view
    unmap_view,    // unmapping a view (the view is unmapped all the same)
    address_space, // setting an address range aside for a view to grow in
    create_font,
    count_
};

// Makes the next `times` uses of `call` fail with `error_number`.
void fail_next(Call call, int error_number, int times = 1) noexcept;

// Disarms every seam.
void clear_failures() noexcept;

// True, with errno set, when a failure of `call` is armed; counts it down.
// `position` is the file position a positioned write is about to use, -1
// for every other call.
bool injected_failure(Call call, long long position = -1) noexcept;

// Calls `observer` (null: none) with every seam reached from now on, armed
// or not, before the seam answers: tests read the order of writes and
// syncs from it. The observer must not throw.
void observe_calls(void (*observer)(Call call, long long position) noexcept) noexcept;

}  // namespace orvane::platform
