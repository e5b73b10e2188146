// qvPageFileStorage over qvBlockFile's positioned calls: a page is one
// read_at or write_at of 16,384 bytes at n << 14, so the file's own position
// plays no part and positions past 2 GiB work.

#include "scenes/qvPageFileStorage.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include "platform/qvPlatformFile.hpp"
#include "scenes/qvPageLayout.hpp"

namespace {

[[noreturn]] void raise_storage_error(char const* message) {
    qvRaise(qvErrorFrom<qvPageFileStorage>(message));
}

// A position the block file would be asked to seek to and cannot reach is
// its seek error, as the positioning call it stands for would report.
[[noreturn]] void raise_position_error() {
    qvRaise(qvErrorFrom<qvBlockFile>("I/O error on seek operation"));
}

constexpr bool in_page_range(long page) noexcept { return page >= 0 && page <= qvMaxPageCount; }

constexpr int page_bytes = static_cast<int>(qvPageBytes);

}  // namespace

// --- opening -----------------------------------------------------------------

qvPageFileStorage::qvPageFileStorage(char const* name, bool create, bool read_only, bool must_exist) {
    if (!open(name, create, read_only, must_exist)) qvRaise(qvErrorFrom<qvBlockFile>("Cannot open file"));
}

bool qvPageFileStorage::open(char const* name, bool create, bool read_only, bool must_exist) {
    if (create && read_only) raise_storage_error("Cannot create file in read only mode");
    if (!qvBlockFile::open(name, must_exist ? open_existing : 0, read_only, create)) return false;
    count_pages();
    return true;
}

// A file longer than 2^31 − 1 pages has page numbers beyond the format's.
void qvPageFileStorage::count_pages() {
    opened_bytes_ = size();
    set_bytes_ = -1;
    const long pages = static_cast<long>(opened_bytes_ >> qvPageShift);
    if (pages > qvMaxPageCount) raise_position_error();
    pages_ = pages;
}

void qvPageFileStorage::restore_length() noexcept {
    if (!is_open() || set_bytes_ < 0) return;
    unsynced_ = true;
    if (orvane::platform::give_back_length(descriptor(), set_bytes_, opened_bytes_)) set_bytes_ = -1;
}

// --- pages -------------------------------------------------------------------

void qvPageFileStorage::read(long page, void* buffer) {
    if (!in_page_range(page) || read_at(qvPagePosition(page), buffer, page_bytes) != page_bytes)
        raise_storage_error("Part of the Orvane pagefile is missing");
}

void qvPageFileStorage::write(long page, void* buffer) {
    if (!in_page_range(page)) raise_position_error();
    unsynced_ = true;   // a write that fails may have written part of the page
    write_at(qvPagePosition(page), buffer, page_bytes);
}

void qvPageFileStorage::write_part(long page, std::size_t offset, void const* bytes, std::size_t length) {
    if (!in_page_range(page)) raise_position_error();
    QV_ASSERT(offset <= qvPageBytes && length <= qvPageBytes - offset);
    unsynced_ = true;
    write_at(qvPagePosition(page) + static_cast<long long>(offset), bytes, static_cast<int>(length));
}

// The count changes only once the file has the new length.
void qvPageFileStorage::limit(long pages) {
    if (!in_page_range(pages)) raise_position_error();
    unsynced_ = true;
    size(static_cast<long>(qvPagePosition(pages)));
    set_bytes_ = qvPagePosition(pages);
    pages_ = pages;
}

void qvPageFileStorage::sync() {
    qvBlockFile::sync();
    unsynced_ = false;
}
