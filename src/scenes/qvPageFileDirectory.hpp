#pragma once
// qvPageFileDirectory: the named root pages of a page file, on one page
// (page 1 of every page file).
//
// Directory page (little-endian words):
//   offset      size  field
//        0         4  magic 0xFACE0001
//        4         4  entry count, 0 .. 511
//   8 + 32i       32  entry i, i = 0 .. count − 1
//   16,360        24  unused (511 entries end at byte 16,359)
// Entry:
//        0         4  root page of the named object
//        4         4  reserved: never written here (but zeroed when the
//                     entry is vacated), ignored on reading
//        8        24  name, NUL-padded; byte 23 is always 0
//
// Keeps true:
//  - names are at most 23 bytes and are never cut: create_root refuses a
//    longer one, and find_root and remove_root answer 0 for it;
//  - a name matches an entry when the first 24 characters compare equal
//    as strncmp does; the earliest matching entry wins;
//  - entries stay in the order they were created; remove_root closes the
//    gap and zeroes the entry it vacates at the end of the table, so no
//    stale name stays behind the count;
//  - root_pages lists every entry's root as stored: a word that names no
//    page (0, or past the file) matches no page a client asks about, so a
//    damaged entry of one name does not stop a client that reads them all;
//  - every failure leaves the directory as it was and its page unlocked.
// Corruption (a count above 511; a root page of 0 or beyond 2^31 − 1 in
// the entry find_root or remove_root answers with) raises "Invalid or
// corrupt Orvane pagefile". Errors are
// qvErrorFrom<qvPageFileDirectory>; the cache's pass through.
// The directory owns neither its cache nor its allocator; copies share them.

#include <orvane/scenes/qvPageAllocator.hpp>
#include <orvane/scenes/qvPageCache.hpp>
#include <orvane/scenes/qvPageDirectory.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

class qvPageLock;

class qvPageFileDirectory : public virtual qvPageDirectory {
public:
    static constexpr std::uint32_t magic = 0xFACE0001;
    static constexpr long max_entries = 511;
    static constexpr std::size_t name_bytes = 24;

    explicit qvPageFileDirectory(long root = 1) noexcept : root_(root) {}
    qvPageFileDirectory(qvPageFileDirectory const&) = default;
    qvPageFileDirectory& operator=(qvPageFileDirectory const&) = default;
    ~qvPageFileDirectory() = default;

    // Binds to the device and recognises a new file by a probe: a writable
    // directory takes one page from the allocator, and when that is the
    // root page the file is new and the page is laid out (unless it already
    // holds a directory, which is kept); otherwise the probe page goes back
    // and the root page must hold the magic ("Wrong pagefile directory
    // vesrion"). Called once, after the allocator's create.
    void create(qvPageCache& cache, qvPageAllocator& allocator, bool read_only);

    void create_root(char const* name, long page) override;
    long find_root(char const* name) override;
    long remove_root(char const* name) override;
    std::vector<long> root_pages() override;

    long root() const noexcept { return root_; }

private:
    long entry_count(qvPageLock const& page) const;
    long find_entry(qvPageLock const& page, char const* name) const;
    long root_page_of(qvPageLock const& page, long entry) const;
    void refuse_if_read_only() const;

    long root_;
    qvPageCache* cache_ = nullptr;
    qvPageAllocator* allocator_ = nullptr;
    bool read_only_ = false;
};
