#pragma once
// Failure seams of the POSIX layer.
//
// Tests arm a call to fail the next `times` times with a chosen errno; the
// layer asks injected_failure() right before the real system call and, when
// it answers true, behaves as if the system had refused with that errno.
// Keeps true: an unarmed call costs one array read and never changes errno.
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
    create_font,
    count_
};

// Makes the next `times` uses of `call` fail with `error_number`.
void fail_next(Call call, int error_number, int times = 1) noexcept;

// Disarms every seam.
void clear_failures() noexcept;

// True, with errno set, when a failure of `call` is armed; counts it down.
bool injected_failure(Call call) noexcept;

}  // namespace orvane::platform
