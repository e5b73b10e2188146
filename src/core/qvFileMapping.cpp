// qvFileMapping over the POSIX layer.
//
// The Win32 mapping object has no POSIX counterpart for a file: here it is
// the flag mapping_, set by map(size) once the size is right and cleared
// where the mapping object would be closed; the next map(position, size)
// then maps afresh through map(size). Anonymous memory is a memfd made by
// map(size) and kept until unmap or close, so closing the "mapping object"
// after an error loses nothing.
//
// A whole-object view of a writable file is mapped at the start of a range
// set aside for it (reserved_ bytes from view_); grow maps the file's new
// part over the range's next pages. The view then ends at view_size_
// rounded up to the system page, and dropping the view gives back the
// whole range. map(size) moves such a view into a new range rather than
// mapping the file again, which would fault every page in anew.
//
// A writable file grows before any view changes: its blocks are the one
// thing a full disk refuses, and asked first they cost one refused
// reservation, with the view, its range and the file as they were, where
// asked after a new range and a move they cost those too, and the owner's
// way back another range and move.

#include <orvane/core/qvFileMapping.hpp>

#include <orvane/core/qvError.hpp>

#include "core/qvFileMappingWindow.hpp"
#include "platform/qvPlatformFile.hpp"
#include "platform/qvPlatformMapping.hpp"

#include <cerrno>
#include <cstdio>
#include <set>
#include <string>
#include <utility>

namespace platform = orvane::platform;

namespace {

[[noreturn]] void raise_mapping_error(char const* message) {
    qvRaise(qvErrorFrom<qvFileMapping>(message));
}

// "<call> error 0x<code>" in storage that lasts as long as the process: an
// error only points at its text.
[[noreturn]] void raise_system_error(char const* call, int code) {
    static std::set<std::string> texts;
    char text[64];
    std::snprintf(text, sizeof text, "%s error 0x%X", call, static_cast<unsigned>(code));
    raise_mapping_error(texts.insert(text).first->c_str());
}

// The bytes a view takes from the address space: its set-aside range
// when it lies in one.
unsigned long long view_extent(long long view_size, unsigned long long reserved) noexcept {
    return reserved != 0 ? reserved : static_cast<unsigned long long>(view_size);
}

}  // namespace

// --- construction and lifetime -----------------------------------------------

qvFileMapping::qvFileMapping(unsigned default_mapping_size) noexcept
    : fd_(-1), backing_(Backing::none), mapping_(false), view_(nullptr), size_(0),
      read_only_(false), default_mapping_size_(default_mapping_size), view_size_(0),
      view_start_(0), reserved_(0) {}

qvFileMapping::qvFileMapping(char const* name, bool create, bool read_only,
                             unsigned default_mapping_size)
    : qvFileMapping(default_mapping_size) {
    if (!open(name, create, read_only)) raise_mapping_error("Cannot open file");
}

qvFileMapping::qvFileMapping(qvFileMapping&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      backing_(std::exchange(other.backing_, Backing::none)),
      mapping_(std::exchange(other.mapping_, false)),
      view_(std::exchange(other.view_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      read_only_(std::exchange(other.read_only_, false)),
      default_mapping_size_(other.default_mapping_size_),
      view_size_(std::exchange(other.view_size_, 0)),
      view_start_(std::exchange(other.view_start_, 0)),
      reserved_(std::exchange(other.reserved_, 0)) {}

qvFileMapping& qvFileMapping::operator=(qvFileMapping&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        backing_ = std::exchange(other.backing_, Backing::none);
        mapping_ = std::exchange(other.mapping_, false);
        view_ = std::exchange(other.view_, nullptr);
        size_ = std::exchange(other.size_, 0);
        read_only_ = std::exchange(other.read_only_, false);
        default_mapping_size_ = other.default_mapping_size_;
        view_size_ = std::exchange(other.view_size_, 0);
        view_start_ = std::exchange(other.view_start_, 0);
        reserved_ = std::exchange(other.reserved_, 0);
    }
    return *this;
}

qvFileMapping::~qvFileMapping() { close(); }

// --- opening and closing -----------------------------------------------------

bool qvFileMapping::open(char const* name, bool create, bool read_only) {
    return open(name, 0, create, read_only);
}

bool qvFileMapping::open(char const* name, int flags, bool create, bool read_only) {
    if (backing_ != Backing::none) raise_mapping_error("File is already opened");
    if (name == nullptr) {
        backing_ = Backing::anonymous;
        size_ = 0;
        read_only_ = read_only;
        return true;
    }
    const int fd = platform::open_file(
        name, read_only, platform::creation_for(flags & open_existing, create, read_only));
    if (fd < 0) return false;
    const long long length = platform::file_size(fd);   // 0 after create
    if (length < 0) {
        platform::close_file(fd);
        return false;
    }
    fd_ = fd;
    backing_ = Backing::file;
    size_ = length;
    read_only_ = read_only;
    return true;
}

void qvFileMapping::close() noexcept {
    drop_view();
    mapping_ = false;
    if (fd_ >= 0) platform::close_file(fd_);   // nothing written through a descriptor here
    fd_ = -1;
    backing_ = Backing::none;
    size_ = 0;
    read_only_ = false;
}

long long qvFileMapping::size() const {
    if (backing_ == Backing::none) raise_mapping_error("File is not opened yet");
    return size_;
}

// --- mapping -----------------------------------------------------------------

void* qvFileMapping::map(long long size) {
    if (backing_ == Backing::none) raise_mapping_error("File is not opened yet");
    const long long old_size = size_;
    if (backing_ == Backing::file && !read_only_ && size > size_) resize_backing(size);
    if (move_whole(size, old_size)) return view_;
    // The old view goes first: the file may shrink below it.
    unmap_view_checked();
    mapping_ = false;
    resize_backing(size);
    if (size_ == 0) raise_mapping_error("Cannot create file mapping");   // the system refuses empty mappings
    mapping_ = true;
    map_view(0, default_mapping_size_ < size_ ? default_mapping_size_ : size_);
    return view_;
}

void* qvFileMapping::map(long long position, unsigned size) {
    if (position < 0 || static_cast<long long>(size) > size_ - position) {
        mapping_ = false;
        raise_mapping_error("Pos out of range");
    }
    if (!mapping_) map(size_);
    if (view_ != nullptr && position >= view_start_ && position - view_start_ <= view_size_ - size)
        return static_cast<char*>(view_) + (position - view_start_);
    const qvMappingWindow window =
        qvChooseMappingWindow(size_, default_mapping_size_, position, size);
    map_view(window.start, window.size);
    return static_cast<char*>(view_) + (position - view_start_);
}

bool qvFileMapping::grow(long long size) {
    if (reserved_ == 0 || size < view_size_ || static_cast<unsigned long long>(size) > reserved_) return false;
    if (size == view_size_) return true;
    const long long old_size = size_;
    resize_backing(size);
    map_grown_part(size, old_size);
    return true;
}

// The file's part past the view, `size` bytes long already, mapped over
// the range's next pages. A refusal gives the file back old_size (when it
// can be cut) and raises with the view as it was.
void qvFileMapping::map_grown_part(long long size, long long old_size) {
    const unsigned long long mapped = platform::whole_pages(static_cast<unsigned long long>(view_size_));
    const unsigned long long wanted = platform::whole_pages(static_cast<unsigned long long>(size));
    bool part_lost = false;
    if (wanted > mapped &&
        !platform::map_view_at(static_cast<char*>(view_) + mapped, fd_, false, static_cast<long long>(mapped),
                               wanted - mapped, &part_lost)) {
        const int code = errno;
        if (part_lost) {
            // The range now ends at the view: the rest beyond the lost part
            // is still ours to give back.
            platform::release_address_space(static_cast<char*>(view_) + wanted, reserved_ - wanted);
            reserved_ = mapped;
        }
        if (size_ != old_size && platform::set_length(fd_, old_size)) size_ = old_size;
        raise_system_error("MapViewOfFile", code);
    }
    view_size_ = size;
}

// A whole view in a range, remade no smaller: moved into a new range twice
// `size` and grown there, its pages kept in place so that nothing faults
// again. The file is `size` bytes long already (old_size before map(size)
// grew it). False, the view unchanged, when it cannot move (no such view,
// no new range, a refused move): map(size) then maps afresh. A view of
// the grown part that fails after the move raises with the view moved, as
// it was, and the file old_size long again.
bool qvFileMapping::move_whole(long long size, long long old_size) {
    if (reserved_ == 0 || size < view_size_ || static_cast<unsigned long long>(size) > ~0ULL / 4) return false;
    const auto bytes = static_cast<unsigned long long>(size);
    unsigned long long reserved = 0;
    void* const range = platform::reserve_address_space(2 * bytes, bytes, &reserved);
    if (range == nullptr) return false;
    const unsigned long long mapped = platform::whole_pages(static_cast<unsigned long long>(view_size_));
    if (!platform::move_view(view_, mapped, range)) {
        platform::release_address_space(range, reserved);
        return false;
    }
    if (reserved_ > mapped) platform::release_address_space(static_cast<char*>(view_) + mapped, reserved_ - mapped);
    view_ = range;
    reserved_ = reserved;
    mapping_ = true;
    if (size > view_size_) map_grown_part(size, old_size);
    return true;
}

void qvFileMapping::unmap(long long size) {
    if (!unmap_view_and_memory()) return;
    if (size != size_) {
        if (size < 0 || !platform::set_length(fd_, size)) raise_mapping_error("Cannot resize file");
        size_ = size;
    }
}

void qvFileMapping::give_back(long long size) noexcept {
    if (!unmap_view_and_memory() || size < 0 || size == size_) return;
    if (platform::give_back_length(fd_, size_, size)) {
        const long long length = platform::file_size(fd_);
        if (length >= 0) size_ = length;
    }
}

// True when what is left is a writable file, whose length is the caller's.
bool qvFileMapping::unmap_view_and_memory() noexcept {
    drop_view();
    mapping_ = false;
    if (backing_ == Backing::anonymous) {
        if (fd_ >= 0) platform::close_file(fd_);
        fd_ = -1;
        size_ = 0;
    }
    return backing_ == Backing::file && !read_only_;
}

void qvFileMapping::reserve() {
    if (backing_ == Backing::none) raise_mapping_error("File is not opened yet");
    if (backing_ != Backing::file || read_only_ || size_ == 0) return;
    if (!platform::reserve_blocks(fd_, size_)) raise_mapping_error("Cannot create file mapping");
}

void qvFileMapping::sync() {
    if (backing_ == Backing::none) raise_mapping_error("File is not opened yet");
    if (backing_ != Backing::file) return;
    if ((view_ != nullptr && !platform::sync_view(view_, static_cast<unsigned long long>(view_size_)))
        || !platform::sync_data(fd_))
        raise_mapping_error("I/O error while writing file");
}

// Sets the object's size. A writable file grows with its new blocks reserved
// or is truncated; a read-only file keeps its own length; anonymous memory
// is made or resized. Raises "Cannot create file mapping", size unchanged.
void qvFileMapping::resize_backing(long long size) {
    if (size < 0) raise_mapping_error("Cannot create file mapping");
    if (backing_ == Backing::anonymous) {
        if (fd_ >= 0 && size == size_) return;
        if (fd_ < 0) {
            fd_ = platform::create_anonymous(size);
            if (fd_ < 0) raise_mapping_error("Cannot create file mapping");
        } else if (!platform::resize_anonymous(fd_, size)) {
            raise_mapping_error("Cannot create file mapping");
        }
        size_ = size;
        return;
    }
    if (read_only_ || size == size_) return;
    const bool resized = size > size_ ? platform::grow_reserved(fd_, size_, size)
                                      : platform::set_length(fd_, size);
    if (!resized) raise_mapping_error("Cannot create file mapping");
    size_ = size;
}

// Replaces the view by one of `length` bytes at `start`; a view at 0 first
// tries the whole object. A failure closes the mapping object.
void qvFileMapping::map_view(long long start, long long length) {
    unmap_view_checked();
    void* base = nullptr;
    if (start == 0) {
        base = map_whole();
        if (base != nullptr) length = size_;
    }
    if (base == nullptr)
        base = platform::map_view(fd_, read_only_, start, static_cast<unsigned long long>(length));
    if (base == nullptr) {
        const int code = errno;
        mapping_ = false;
        raise_system_error("MapViewOfFile", code);
    }
    view_ = base;
    view_start_ = start;
    view_size_ = length;
}

// The whole object, for a writable file in a range set aside for it to
// grow in when one can be had (twice its bytes, so that a view remade
// each time its range is full costs a bounded number of remaps a doubling
// of the file); null, errno set, when the system refuses.
// One attempt at the view either way: a refused view in a range is not
// tried again without one.
void* qvFileMapping::map_whole() noexcept {
    const auto bytes = static_cast<unsigned long long>(size_);
    if (backing_ != Backing::file || read_only_ || bytes > ~0ULL / 4)
        return platform::map_view(fd_, read_only_, 0, bytes);
    unsigned long long reserved = 0;
    void* const range = platform::reserve_address_space(2 * bytes, bytes, &reserved);
    if (range == nullptr) return platform::map_view(fd_, read_only_, 0, bytes);
    bool part_lost = false;
    if (!platform::map_view_at(range, fd_, false, 0, bytes, &part_lost)) {
        const int code = errno;
        if (part_lost) {
            const unsigned long long lost = platform::whole_pages(bytes);
            platform::release_address_space(static_cast<char*>(range) + lost, reserved - lost);
        } else {
            platform::release_address_space(range, reserved);
        }
        errno = code;
        return nullptr;
    }
    reserved_ = reserved;
    return range;
}

void qvFileMapping::unmap_view_checked() {
    if (view_ == nullptr) return;
    const bool unmapped = platform::unmap_view(view_, view_extent(view_size_, reserved_));
    const int code = errno;
    view_ = nullptr;
    view_start_ = 0;
    view_size_ = 0;
    reserved_ = 0;
    if (!unmapped) {
        mapping_ = false;
        raise_system_error("UnmapViewOfFile", code);
    }
}

void qvFileMapping::drop_view() noexcept {
    if (view_ != nullptr) platform::unmap_view(view_, view_extent(view_size_, reserved_));
    view_ = nullptr;
    view_start_ = 0;
    view_size_ = 0;
    reserved_ = 0;
}
