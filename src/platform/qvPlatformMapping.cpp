// Mappings of the POSIX layer (see the header for what holds).

#include "platform/qvPlatformMapping.hpp"

#include "platform/qvPlatformFault.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

namespace orvane::platform {

namespace {

unsigned long long system_page_size() noexcept {
    static const unsigned long long size = static_cast<unsigned long long>(::sysconf(_SC_PAGESIZE));
    return size;
}

constexpr int reserved_flags = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE;

// An inaccessible, uncommitted range at `address` (nullptr: anywhere),
// left out of core dumps; MAP_FAILED when refused.
void* set_aside(void* address, std::size_t length) noexcept {
    void* const base = ::mmap(address, length, PROT_NONE, reserved_flags | (address ? MAP_FIXED : 0), -1, 0);
    if (base != MAP_FAILED) ::madvise(base, length, MADV_DONTDUMP);   // an advice: nothing to undo
    return base;
}

// Bytes of address space the process has in use; 0 when unknown.
unsigned long long address_space_in_use() noexcept {
    std::FILE* const statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return 0;
    unsigned long long pages = 0;
    const bool read = std::fscanf(statm, "%llu", &pages) == 1;
    std::fclose(statm);
    return read ? pages * system_page_size() : 0;
}

// The most a reservation may take: a set-aside range counts against a
// finite address-space limit, and the process still needs room for the
// rest of its memory.
unsigned long long reservation_cap() noexcept {
    struct rlimit limit;
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return SIZE_MAX;
    const unsigned long long allowed = limit.rlim_cur, used = address_space_in_use();
    return used == 0 ? allowed / 8 : used < allowed ? (allowed - used) / 4 : 0;
}

}  // namespace

unsigned long long whole_pages(unsigned long long bytes) noexcept {
    const unsigned long long page = system_page_size();
    return (bytes + page - 1) / page * page;
}

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

// One ask of the system per size, each at most half the last and the last
// `least` itself, so a system that refuses every range is asked a bounded
// number of times (twice for the callers' twice `least`).
void* reserve_address_space(unsigned long long wanted, unsigned long long least,
                            unsigned long long* length) noexcept {
    const unsigned long long page = system_page_size();
    if (least == 0 || wanted < least || wanted > SIZE_MAX - page) {
        errno = EINVAL;
        return nullptr;
    }
    least = whole_pages(least);
    const unsigned long long cap = reservation_cap();
    int error = ENOMEM;
    for (unsigned long long size = wanted < cap ? whole_pages(wanted) : cap / page * page; size >= least;
         size = size / 2 > least ? size / 2 / page * page : least) {
        void* const base = injected_failure(Call::address_space) ? MAP_FAILED
                                                                  : set_aside(nullptr, static_cast<std::size_t>(size));
        if (base != MAP_FAILED) {
            *length = size;
            return base;
        }
        error = errno;
        if (size == least) break;
    }
    errno = error;
    return nullptr;
}

void release_address_space(void* base, unsigned long long length) noexcept {
    ::munmap(base, static_cast<std::size_t>(length));
}

bool map_view_at(void* address, int fd, bool read_only, long long offset, unsigned long long length,
                 bool* part_lost) noexcept {
    *part_lost = false;
    if (offset < 0 || static_cast<unsigned long long>(offset) % system_page_size() != 0 || length == 0 ||
        length > SIZE_MAX) {
        errno = EINVAL;
        return false;
    }
    if (injected_failure(Call::map_view)) return false;
    const int protection = read_only ? PROT_READ : PROT_READ | PROT_WRITE;
    void* const view = ::mmap(address, static_cast<std::size_t>(length), protection, MAP_SHARED | MAP_FIXED, fd,
                              static_cast<off_t>(offset));
    if (view == address) return true;
    // A failed MAP_FIXED may already have dropped what was there.
    const int error = errno;
    *part_lost = set_aside(address, static_cast<std::size_t>(length)) != address;
    errno = error;
    return false;
}

bool move_view(void* view, unsigned long long length, void* address) noexcept {
    if (length == 0 || length > SIZE_MAX) {
        errno = EINVAL;
        return false;
    }
    const auto size = static_cast<std::size_t>(length);
    return ::mremap(view, size, size, MREMAP_MAYMOVE | MREMAP_FIXED, address) == address;
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
