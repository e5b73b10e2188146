// qvBlockFile over the POSIX layer: the descriptor's own offset is the
// current position, so seek, tell and size() are lseek calls and a closed
// file (descriptor -1) fails them as the system refuses a bad descriptor.

#include <orvane/core/qvBlockFile.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include "platform/qvPlatformFile.hpp"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace platform = orvane::platform;

namespace {

[[noreturn]] void raise_error(char const* message) {
    qvRaise(qvErrorFrom<qvBlockFile>(message));
}

std::unique_ptr<char[]> copy_name(char const* name) {
    const std::size_t length = std::strlen(name);
    std::unique_ptr<char[]> copy(new char[length + 1]);
    std::memcpy(copy.get(), name, length + 1);
    return copy;
}

}  // namespace

// --- construction and lifetime -----------------------------------------------

qvBlockFile::qvBlockFile() noexcept : fd_(-1), read_only_(false) {}

qvBlockFile::qvBlockFile(char const* name, bool read_only, bool create) : qvBlockFile() {
    if (!open(name, read_only, create)) raise_error("Cannot open file");
}

qvBlockFile::qvBlockFile(qvBlockFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      read_only_(std::exchange(other.read_only_, false)),
      name_(std::move(other.name_)) {}

qvBlockFile& qvBlockFile::operator=(qvBlockFile&& other) {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        read_only_ = std::exchange(other.read_only_, false);
        name_ = std::move(other.name_);
    }
    return *this;
}

qvBlockFile::~qvBlockFile() {
    if (!release_handle()) qvError::abort(qvErrorFrom<qvBlockFile>("I/O error while writing file"));
}

// --- opening and closing -----------------------------------------------------

bool qvBlockFile::open(char const* name, bool read_only, bool create) {
    return open(name, 0, read_only, create);
}

bool qvBlockFile::open(char const* name, int flags, bool read_only, bool create) {
    QV_ASSERT_TEXT(fd_ < 0 && !name_, "fd < 0 && !name");
    if (name == nullptr) return false;
    std::unique_ptr<char[]> copy = copy_name(name);   // first: a failed copy leaks no descriptor
    const int fd = platform::open_file(
        name, read_only, platform::creation_for(flags & open_existing, create, read_only));
    if (fd < 0) return false;
    fd_ = fd;
    read_only_ = read_only;
    name_ = std::move(copy);
    return true;
}

void qvBlockFile::adopt(int fd, char const* name) {
    QV_ASSERT_TEXT(fd_ < 0 && !name_, "fd < 0 && !name");
    std::unique_ptr<char[]> copy;
    try {
        copy = copy_name(name);
    } catch (...) {
        platform::close_file(fd);
        throw;
    }
    fd_ = fd;
    read_only_ = false;
    name_ = std::move(copy);
}

bool qvBlockFile::release_handle() noexcept {
    const bool closed_cleanly = fd_ < 0 || platform::close_file(fd_);
    fd_ = -1;
    read_only_ = false;
    name_.reset();
    return closed_cleanly;
}

void qvBlockFile::close() {
    if (!release_handle()) raise_error("I/O error while writing file");
}

// --- renaming ----------------------------------------------------------------

void qvBlockFile::rename(char const* new_name) {
    if (fd_ < 0 || !name_ || new_name == nullptr) raise_error("Cannot rename file");
    const std::string old_name(name_.get());
    const bool was_read_only = read_only_;
    // The position survives the reopening, so a caller that writes on after
    // the rename does not overwrite the start of its own file.
    const long long position = platform::seek(fd_, 0, SEEK_CUR);
    // The file is closed while it moves: its lock would stop the reopening.
    if (release_handle() && platform::move_file(old_name.c_str(), new_name)) {
        if (open(new_name, open_existing, false, false)) {
            platform::seek(fd_, position < 0 ? 0 : position, SEEK_SET);
            return;
        }
        platform::move_file(new_name, old_name.c_str());
    }
    // Back as it was: same name, access and position, nothing emptied.
    if (open(old_name.c_str(), open_existing, was_read_only, false))
        platform::seek(fd_, position < 0 ? 0 : position, SEEK_SET);
    raise_error("Cannot rename file");
}

// --- data --------------------------------------------------------------------

int qvBlockFile::read(void* buffer, int n) {
    const long long got = fd_ < 0 || n < 0 ? -1 : platform::read_here(fd_, buffer, static_cast<std::size_t>(n));
    if (got < 0) raise_error("I/O error while reading file");
    return static_cast<int>(got);
}

void qvBlockFile::write(void const* buffer, int n) {
    if (read_only_) raise_error("Cannot modify a readonly file");
    if (fd_ < 0 || n < 0 || !platform::write_here(fd_, buffer, static_cast<std::size_t>(n)))
        raise_error("I/O error while writing file");
}

int qvBlockFile::read_at(long long position, void* buffer, int n) {
    const long long got =
        fd_ < 0 || n < 0 ? -1 : platform::read_at(fd_, position, buffer, static_cast<std::size_t>(n));
    if (got < 0) raise_error("I/O error while reading file");
    return static_cast<int>(got);
}

void qvBlockFile::write_at(long long position, void const* buffer, int n) {
    if (read_only_) raise_error("Cannot modify a readonly file");
    if (fd_ < 0 || n < 0 || !platform::write_at(fd_, position, buffer, static_cast<std::size_t>(n)))
        raise_error("I/O error while writing file");
}

void qvBlockFile::sync() {
    if (fd_ < 0 || !platform::sync_data(fd_)) raise_error("I/O error while writing file");
}

// --- position and length -----------------------------------------------------

void qvBlockFile::seek(long position) {
    if (platform::seek(fd_, position, SEEK_SET) < 0) raise_error("I/O error on seek operation");
}

long qvBlockFile::tell() {
    const long long position = platform::seek(fd_, 0, SEEK_CUR);
    if (position < 0) raise_error("I/O error on seek operation");
    return static_cast<long>(position);
}

long qvBlockFile::size() {
    const long long end = platform::seek(fd_, 0, SEEK_END);
    if (end < 0) raise_error("I/O error on seek operation");
    return static_cast<long>(end);
}

void qvBlockFile::size(long length) {
    if (read_only_) raise_error("Cannot modify a readonly file");
    if (!platform::set_length(fd_, length) || platform::seek(fd_, length, SEEK_SET) < 0)
        raise_error("I/O error on seek operation");
}
