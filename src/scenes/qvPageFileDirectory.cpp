// qvPageFileDirectory: a table of (root page, name) entries on one page,
// searched from the first entry. Every access locks the page through a
// scoped lock, so an error raised while it is held leaves it unlocked.

#include "scenes/qvPageFileDirectory.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>

#include "scenes/qvPageLayout.hpp"
#include "scenes/qvPageLock.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void raise_directory_error(char const* message) {
    qvRaise(qvErrorFrom<qvPageFileDirectory>(message));
}

constexpr std::size_t directory_magic_offset = 0;
constexpr std::size_t count_offset = 4;
constexpr std::size_t entry_bytes = 32;
constexpr std::size_t entry_offset(long entry) noexcept { return 8 + entry_bytes * static_cast<std::size_t>(entry); }
constexpr std::size_t name_offset = 8;   // in an entry

// Longer names would be cut to fit, and then no longer find themselves.
bool fits(char const* name) noexcept {
    return std::strlen(name) < qvPageFileDirectory::name_bytes;
}

}  // namespace

// --- binding -----------------------------------------------------------------

void qvPageFileDirectory::create(qvPageCache& cache, qvPageAllocator& allocator, bool read_only) {
    cache_ = &cache;
    allocator_ = &allocator;
    read_only_ = read_only;
    const long probe = read_only ? root_ : allocator.allocate();
    if (!read_only && probe == root_) {
        qvPageLock page(cache, root_, true, 0.0f);
        // A directory already there (its page wrongly marked free) is
        // kept: a probe must never wipe the names of an existing file.
        if (page.word(directory_magic_offset) != magic) {
            page.set_word(directory_magic_offset, magic);
            page.set_word(count_offset, 0);
        }
        return;
    }
    if (!read_only) allocator.free(probe);
    qvPageLock page(cache, root_, false, 0.0f);
    if (page.word(directory_magic_offset) != magic) raise_directory_error("Wrong pagefile directory vesrion");
    entry_count(page);
}

// --- entries -----------------------------------------------------------------

long qvPageFileDirectory::find_root(char const* name) {
    QV_ASSERT(cache_ != nullptr && name != nullptr);
    if (!fits(name)) return 0;
    qvPageLock page(*cache_, root_, false, 0.0f);
    const long entry = find_entry(page, name);
    return entry < 0 ? 0 : root_page_of(page, entry);
}

void qvPageFileDirectory::create_root(char const* name, long page_number) {
    QV_ASSERT(cache_ != nullptr && name != nullptr && page_number > 0);
    refuse_if_read_only();
    if (!fits(name)) raise_directory_error("Directory entry name is too long");
    const auto stored_page = static_cast<std::uint32_t>(qvCheckedInt32(page_number));
    qvPageLock page(*cache_, root_, true, 0.0f);
    const long count = entry_count(page);
    if (count == max_entries) raise_directory_error("Maximum number of directory entries exceeded");
    unsigned char* const entry = page.bytes() + entry_offset(count);
    page.set_word(entry_offset(count), stored_page);
    std::memset(entry + name_offset, 0, name_bytes);
    std::memcpy(entry + name_offset, name, std::strlen(name));
    page.set_word(count_offset, static_cast<std::uint32_t>(count + 1));
}

long qvPageFileDirectory::remove_root(char const* name) {
    QV_ASSERT(cache_ != nullptr && name != nullptr);
    refuse_if_read_only();
    if (!fits(name)) return 0;
    qvPageLock page(*cache_, root_, true, 0.0f);
    const long count = entry_count(page);
    const long entry = find_entry(page, name);
    if (entry < 0) return 0;
    const long root_page = root_page_of(page, entry);
    unsigned char* const table = page.bytes() + entry_offset(0);
    std::memmove(table + entry_bytes * static_cast<std::size_t>(entry),
                 table + entry_bytes * static_cast<std::size_t>(entry + 1),
                 entry_bytes * static_cast<std::size_t>(count - 1 - entry));
    std::memset(table + entry_bytes * static_cast<std::size_t>(count - 1), 0, entry_bytes);
    page.set_word(count_offset, static_cast<std::uint32_t>(count - 1));
    return root_page;
}

// Sorted, so that a client asks of each page by a binary search.
std::vector<long> qvPageFileDirectory::root_pages() {
    QV_ASSERT(cache_ != nullptr);
    std::vector<long> roots;
    {
        qvPageLock page(*cache_, root_, false, 0.0f);
        const long count = entry_count(page);
        roots.reserve(static_cast<std::size_t>(count));
        for (long entry = 0; entry < count; ++entry) roots.push_back(static_cast<long>(page.word(entry_offset(entry))));
    }
    std::sort(roots.begin(), roots.end());
    return roots;
}

// --- reading the page --------------------------------------------------------

long qvPageFileDirectory::entry_count(qvPageLock const& page) const {
    const std::uint32_t count = page.word(count_offset);
    if (count > static_cast<std::uint32_t>(max_entries))
        raise_directory_error("Invalid or corrupt Orvane pagefile");
    return static_cast<long>(count);
}

long qvPageFileDirectory::find_entry(qvPageLock const& page, char const* name) const {
    const long count = entry_count(page);
    for (long entry = 0; entry < count; ++entry) {
        char const* const stored = reinterpret_cast<char const*>(page.bytes() + entry_offset(entry) + name_offset);
        if (std::strncmp(stored, name, name_bytes) == 0) return entry;
    }
    return -1;
}

// Page 0 never names a root: an entry that says so would read as a missing
// name, and a writer would hide a new stream behind it.
long qvPageFileDirectory::root_page_of(qvPageLock const& page, long entry) const {
    const std::uint32_t root_page = page.word(entry_offset(entry));
    if (root_page == 0 || root_page > static_cast<std::uint32_t>(qvMaxPageCount))
        raise_directory_error("Invalid or corrupt Orvane pagefile");
    return static_cast<long>(root_page);
}

void qvPageFileDirectory::refuse_if_read_only() const {
    if (read_only_) raise_directory_error("Cannot modify a read-only file");
}
