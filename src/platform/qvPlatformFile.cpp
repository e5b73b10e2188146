// Files of the POSIX layer (see the header for what holds).

#include "platform/qvPlatformFile.hpp"

#include "platform/qvPlatformFault.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace orvane::platform {

namespace {

// Keeps errno across clean-up calls that may overwrite it.
class ErrnoKeeper {
public:
    ErrnoKeeper() noexcept : saved_(errno) {}
    ~ErrnoKeeper() { errno = saved_; }
    ErrnoKeeper(ErrnoKeeper const&) = delete;
    ErrnoKeeper& operator=(ErrnoKeeper const&) = delete;

private:
    int saved_;
};

void close_keeping_errno(int fd) noexcept {
    ErrnoKeeper keep;
    ::close(fd);
}

bool take_lock(int fd, bool shared) noexcept {
    int result;
    do result = ::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

// The loops below move everything asked for unless the file ends or the
// system refuses; a position below 0 reads and writes at the descriptor's
// own position.
long long read_fully(int fd, long long position, void* buffer, std::size_t n) noexcept {
    char* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = position < 0
            ? ::read(fd, bytes + done, n - done)
            : ::pread(fd, bytes + done, n - done, static_cast<off_t>(position + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(done);
}

bool write_fully(int fd, long long position, void const* buffer, std::size_t n) noexcept {
    char const* bytes = static_cast<char const*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = position < 0
            ? ::write(fd, bytes + done, n - done)
            : ::pwrite(fd, bytes + done, n - done, static_cast<off_t>(position + done));
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (put == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool copy_contents(int from, int to) noexcept {
    char buffer[65536];
    for (;;) {
        const long long got = read_fully(from, -1, buffer, sizeof buffer);
        if (got < 0) return false;
        if (got == 0) return true;
        if (!write_fully(to, -1, buffer, static_cast<std::size_t>(got))) return false;
    }
}

// The cross-file-system move: a full copy beside the target first, so that
// the target is replaced in one rename and a failed copy leaves it intact.
bool copy_into_place(char const* from, char const* to) {
    const int source = ::open(from, O_RDONLY | O_CLOEXEC);
    if (source < 0) return false;
    struct stat status;
    if (::fstat(source, &status) != 0) {
        close_keeping_errno(source);
        return false;
    }
    std::string temp = std::string(to) + ".qvXXXXXX";
    const int target = ::mkostemp(temp.data(), O_CLOEXEC);
    if (target < 0) {
        close_keeping_errno(source);
        return false;
    }
    bool copied = copy_contents(source, target)
               && ::fchmod(target, status.st_mode & 07777) == 0
               && ::fsync(target) == 0;
    copied = (::close(target) == 0) && copied;
    close_keeping_errno(source);
    if (copied && ::rename(temp.c_str(), to) == 0) {
        ::unlink(from);   // the data is safe at its new name either way
        return true;
    }
    ErrnoKeeper keep;
    ::unlink(temp.c_str());
    return false;
}

}  // namespace

// --- opening and closing -----------------------------------------------------

int open_file(char const* name, bool read_only, Creation creation) noexcept {
    if (name == nullptr || *name == '\0') {
        errno = ENOENT;
        return -1;
    }
    if (injected_failure(Call::open)) return -1;
    // O_NONBLOCK keeps a FIFO from hanging the open; it is refused below and
    // changes nothing for regular files.
    int flags = (read_only ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (creation != Creation::open_existing) flags |= O_CREAT;
    const int fd = ::open(name, flags, 0666);
    if (fd < 0) return -1;
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        close_keeping_errno(fd);
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    if (!take_lock(fd, read_only)) {
        close_keeping_errno(fd);
        return -1;
    }
    if (creation == Creation::create_always && !read_only && ::ftruncate(fd, 0) != 0) {
        close_keeping_errno(fd);
        return -1;
    }
    return fd;
}

bool lock_new_file(int fd) noexcept { return take_lock(fd, false); }

bool close_file(int fd) noexcept {
    const int result = ::close(fd);
    if (injected_failure(Call::close)) return false;
    // Linux releases the descriptor even when close is interrupted.
    return result == 0 || errno == EINTR;
}

// --- data --------------------------------------------------------------------

long long read_here(int fd, void* buffer, std::size_t n) noexcept {
    if (injected_failure(Call::read)) return -1;
    return read_fully(fd, -1, buffer, n);
}

bool write_here(int fd, void const* buffer, std::size_t n) noexcept {
    if (injected_failure(Call::write)) return false;
    return write_fully(fd, -1, buffer, n);
}

long long read_at(int fd, long long position, void* buffer, std::size_t n) noexcept {
    if (position < 0) {
        errno = EINVAL;
        return -1;
    }
    if (injected_failure(Call::read)) return -1;
    return read_fully(fd, position, buffer, n);
}

bool write_at(int fd, long long position, void const* buffer, std::size_t n) noexcept {
    if (position < 0) {
        errno = EINVAL;
        return false;
    }
    if (injected_failure(Call::write, position)) return false;
    return write_fully(fd, position, buffer, n);
}

long long seek(int fd, long long offset, int whence) noexcept {
    return ::lseek(fd, static_cast<off_t>(offset), whence);
}

long long file_size(int fd) noexcept {
    struct stat status;
    if (::fstat(fd, &status) != 0) return -1;
    return status.st_size;
}

FileIdentity file_identity(int fd) noexcept {
    struct stat status;
    if (::fstat(fd, &status) != 0) return {};
    const auto nanoseconds = [](struct timespec const& t) {
        return static_cast<unsigned long long>(t.tv_sec) * 1000000000ULL + static_cast<unsigned long long>(t.tv_nsec);
    };
    return {static_cast<unsigned long long>(status.st_dev), static_cast<unsigned long long>(status.st_ino),
            static_cast<unsigned long long>(status.st_size), nanoseconds(status.st_mtim),
            nanoseconds(status.st_ctim)};
}

bool set_length(int fd, long long length) noexcept {
    if (injected_failure(Call::resize)) return false;
    int result;
    do result = ::ftruncate(fd, static_cast<off_t>(length));
    while (result != 0 && errno == EINTR);
    return result == 0;
}

// The length is looked at and then cut, two calls: a write that falls
// between them is cut with the rest. No call compares and cuts at once.
bool give_back_length(int fd, long long set, long long original) noexcept {
    return set == original || file_size(fd) != set || set_length(fd, original);
}

bool grow_reserved(int fd, long long old_length, long long length) noexcept {
    if (injected_failure(Call::reserve)) return false;
    const int error = ::posix_fallocate(fd, static_cast<off_t>(old_length),
                                        static_cast<off_t>(length - old_length));
    if (error == 0) return true;
    // A partial reservation may have moved the end: put it back.
    ::ftruncate(fd, static_cast<off_t>(old_length));
    errno = error;
    return false;
}

// Inside the file's length posix_fallocate never moves the end, so a
// failure has nothing to put back.
bool reserve_blocks(int fd, long long length) noexcept {
    if (injected_failure(Call::reserve)) return false;
    const int error = ::posix_fallocate(fd, 0, static_cast<off_t>(length));
    if (error == 0) return true;
    errno = error;
    return false;
}

bool sync_data(int fd) noexcept {
    if (injected_failure(Call::sync)) return false;
    return ::fdatasync(fd) == 0;
}

bool sync_parent_directory(char const* name) noexcept {
    if (name == nullptr) return false;
    if (injected_failure(Call::sync)) return false;
    // Built in one construction: g++ 12 at -O3 reports a false -Wrestrict
    // inside std::string's assignment of a literal.
    char const* const slash = std::strrchr(name, '/');
    const std::string directory = slash == nullptr ? std::string(".")
                                  : slash == name  ? std::string("/")
                                                   : std::string(name, slash);
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    close_keeping_errno(fd);
    return synced;
}

// --- names -------------------------------------------------------------------

bool remove_file(char const* name) noexcept {
    return name != nullptr && ::unlink(name) == 0;
}

bool move_file(char const* from, char const* to) {
    if (from == nullptr || to == nullptr || *to == '\0') {
        errno = ENOENT;
        return false;
    }
    if (!injected_failure(Call::rename) && ::rename(from, to) == 0) return true;
    if (errno != EXDEV) return false;
    return copy_into_place(from, to);
}

std::string temp_directory() {
    char const* const dir = std::getenv("TMPDIR");
    struct stat status;
    if (dir != nullptr && *dir != '\0' && ::stat(dir, &status) == 0 && S_ISDIR(status.st_mode))
        return dir;
    return "/tmp";
}

int create_temp_file(char const* prefix, std::string& name) {
    if (injected_failure(Call::temp_file)) return -1;
    std::string pattern = temp_directory() + "/" + prefix + "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    name = std::move(pattern);
    return fd;
}

}  // namespace orvane::platform
