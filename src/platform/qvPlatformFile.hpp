#pragma once
// Files of the POSIX layer: what block files, mappings and temporary streams
// expect of the platform's file calls.
//
// Keeps true:
// - every descriptor is opened close-on-exec and names a regular file;
// - a descriptor handed out by open_file or lock_new_file holds a flock:
//   shared for read-only use, exclusive for writing, taken without waiting,
//   so a conflicting open is refused rather than blocked. flock locks belong
//   to the open file description, so two opens inside one process conflict
//   too. The locks are advisory: programs that take none are not kept out;
// - a file is locked before it is truncated, so a refused open never
//   empties a file that someone else holds;
// - functions report failure by their result with errno set; none raises.

#include <array>
#include <cstddef>
#include <string>

namespace orvane::platform {

enum class Creation {
    open_always,     // open, or make an empty file when there is none
    create_always,   // open and empty, or make an empty file
    open_existing    // open; a missing file is a failure
};

// The block files' creation rule: a writable open with create empties the
// file; every other open makes a missing file empty, unless it must exist.
constexpr Creation creation_for(bool must_exist, bool create, bool read_only) noexcept {
    if (must_exist) return Creation::open_existing;
    return create && !read_only ? Creation::create_always : Creation::open_always;
}

// A locked descriptor, or -1.
int open_file(char const* name, bool read_only, Creation creation) noexcept;

// Locks a descriptor that this process has just made (a temporary file).
bool lock_new_file(int fd) noexcept;

// Closes fd; false when the system reports an error (the descriptor is
// gone either way).
bool close_file(int fd) noexcept;

// Reads or writes at the descriptor's own position until n bytes moved or
// the file ended: the count, or -1.
long long read_here(int fd, void* buffer, std::size_t n) noexcept;
bool write_here(int fd, void const* buffer, std::size_t n) noexcept;

// The same at an explicit position; the descriptor's position is untouched.
long long read_at(int fd, long long position, void* buffer, std::size_t n) noexcept;
bool write_at(int fd, long long position, void const* buffer, std::size_t n) noexcept;

// lseek: the new position, or -1.
long long seek(int fd, long long offset, int whence) noexcept;

// The file's length, or -1.
long long file_size(int fd) noexcept;

// What tells one state of a file from another: its device and inode, its
// length, and its last modification and status change, in nanoseconds.
// Equal identities are the same file with nothing written to it between,
// as far as the system tells; a copy under another name differs. Read
// through a descriptor, so it is the open file's, whatever its name means
// by then; all zero when it cannot be read (no file has inode 0).
using FileIdentity = std::array<unsigned long long, 5>;
FileIdentity file_identity(int fd) noexcept;

// Truncates or extends; extension leaves a hole (the file stays sparse).
bool set_length(int fd, long long length) noexcept;

// Gives back a length this process set: the file, `set` bytes long by its
// own doing, gets `original` bytes again, but only while its length is
// still `set`, so that a program that wrote it since (appended to it,
// emptied it) keeps what it did. True when there was nothing to give back;
// false when the system refuses the cut.
bool give_back_length(int fd, long long set, long long original) noexcept;

// Grows the file to `length` with its new blocks reserved on disk, so that a
// write through a mapping cannot meet a full disk. On failure the length is
// put back as it was.
bool grow_reserved(int fd, long long old_length, long long length) noexcept;

// Reserves the disk blocks of the file's first `length` bytes (holes
// included) without changing its length, even on failure.
bool reserve_blocks(int fd, long long length) noexcept;

// The file's data (and what is needed to read it back) on disk.
bool sync_data(int fd) noexcept;
// Puts the directory entry of `name` on disk (fsync of its directory), so
// that a file just created keeps its name across a power loss.
bool sync_parent_directory(char const* name) noexcept;

bool remove_file(char const* name) noexcept;

// rename(2); across file systems a copy next to the target, renamed into
// place, then the source unlinked. An existing target is replaced.
bool move_file(char const* from, char const* to);

// TMPDIR when it names a directory, else /tmp; read at each call.
std::string temp_directory();

// A new empty file "<temp dir>/<prefix>XXXXXX" made by mkstemp (never
// following a planted link); its descriptor (unlocked) and its name, or -1.
int create_temp_file(char const* prefix, std::string& name);

}  // namespace orvane::platform
