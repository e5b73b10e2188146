// Mappings of the POSIX layer (see the header for what holds).

#include "platform/qvPlatformMapping.hpp"

#include "platform/qvPlatformFault.hpp"

#include <cerrno>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace orvane::platform {

int create_anonymous(long long size) noexcept {
    if (size <= 0) {
        errno = EINVAL;
        return -1;
    }
    if (injected_failure(Call::map_create)) return -1;
    const int fd = ::memfd_create("qvFileMapping", MFD_CLOEXEC);
    if (fd < 0) return -1;
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool resize_anonymous(int fd, long long size) noexcept {
    if (size <= 0) {
        errno = EINVAL;
        return false;
    }
    if (injected_failure(Call::map_create)) return false;
    return ::ftruncate(fd, static_cast<off_t>(size)) == 0;
}

void* map_view(int fd, bool read_only, long long offset, unsigned long long length) noexcept {
    if (offset < 0 || offset % mapping_granularity != 0 || length == 0 || length > SIZE_MAX) {
        errno = EINVAL;
        return nullptr;
    }
    if (injected_failure(Call::map_view)) return nullptr;
    const int protection = read_only ? PROT_READ : PROT_READ | PROT_WRITE;
    void* const base = ::mmap(nullptr, static_cast<std::size_t>(length), protection, MAP_SHARED, fd,
                              static_cast<off_t>(offset));
    return base == MAP_FAILED ? nullptr : base;
}

bool unmap_view(void* base, unsigned long long length) noexcept {
    const int result = ::munmap(base, static_cast<std::size_t>(length));
    if (injected_failure(Call::unmap_view)) return false;
    return result == 0;
}

bool sync_view(void* base, unsigned long long length) noexcept {
    if (injected_failure(Call::sync)) return false;
    return ::msync(base, static_cast<std::size_t>(length), MS_SYNC) == 0;
}

}  // namespace orvane::platform
