#pragma once
// qvMapAllocator: the page allocator of a page file. One bit per page, in
// map pages inside the file itself, chained from page 0; the map pages are
// reached only through the page cache, and the file grows through the page
// limit.
//
// Map page (16,384 bytes, little-endian words):
//   offset  size  field
//        0     4  magic 0xDEAD0104
//        4     4  page number of the next map page; 0 = the last one
//   8 + 4w     4  bitmap word w, w = 0 .. 4,092 (SLOT_SIZE words)
//   16,380     4  unused
// Bit b of word w of the map page at chain position k stands for page
// (k × 4,093 + w) × 32 + b; a set bit means the page is in use. One map
// page covers 130,976 pages.
//
// Keeps true:
//  - allocate returns the lowest free page, marked used, and the page
//    count covers every page it has returned; a page is marked before the
//    count grows, and a count that cannot grow clears the bit again;
//  - every map page lies inside the range the chain covers and is marked
//    used: page 0 is the first page of its own range, and a map page added
//    at chain position k lies on page k × 130,976, the first page of its
//    range, so neither allocate nor free can ever hand one out;
//  - the chain on disk never links to a page without the magic: a new map
//    page is written and the cache flushed before the link to it;
//  - for each map page, every bitmap word below its first-free hint is
//    full, and its count of free pages, once known, is exact; free lowers
//    the hint. A page known to be full is skipped without being locked.
// Loading refuses with "Invalid or corrupt Orvane pagefile" a chain member
// without the magic, a link that is negative, 1, not below the page count
// or already in the chain, a chain longer than the page count needs, and a
// map page that its map does not cover or mark; every walk is bounded.
// Errors are qvErrorFrom<qvMapAllocator>; those of the cache and the
// storage pass through.

#include <orvane/scenes/qvPageAllocator.hpp>
#include <orvane/scenes/qvPageCache.hpp>
#include <orvane/scenes/qvPageLimit.hpp>

#include "scenes/qvPageLayout.hpp"

#include <cstdint>
#include <utility>
#include <vector>

class qvMapAllocator : public virtual qvPageAllocator {
public:
    static constexpr long SLOT_SIZE = 4093;
    static constexpr long pages_per_map = SLOT_SIZE * 32;
    static constexpr std::uint32_t magic = 0xDEAD0104;

    qvMapAllocator() noexcept = default;
    qvMapAllocator(qvMapAllocator const&) = delete;
    qvMapAllocator& operator=(qvMapAllocator const&) = delete;
    ~qvMapAllocator() = default;

    // Binds to the device: lays out page 0 when the page count is 0, else
    // loads and checks the chain. Called once, before the directory's.
    void create(qvPageCache& cache, qvPageLimit& limit);
    // The look a device takes at the file it opened, `bytes` long, before
    // it changes anything of it (grows, reserves, maps, writes or cuts it:
    // a writable device) or reads it through a view (a mapped device, also
    // read-only): an empty file is new (create lays it out; a read-only
    // device refuses it as it maps it); any other must begin with the two
    // pages of a page file: this map, its magic and its own page marked
    // used, then, when it marks page 1 used, the directory's magic.
    // `read(position, buffer, n)` reads the file as it stands: the count
    // read, fewer at its end (the device's own error when the system
    // refuses). Any other file, one changed into such while it is read
    // included, is refused as the open would refuse it later ("Invalid or
    // corrupt Orvane pagefile", or the directory's "Wrong pagefile
    // directory vesrion"), so that a refused open changes nothing of a
    // file that is not its own, and a view never meets the end of a file
    // that its owner empties meanwhile. (A read-only page cache reads with
    // positioned reads only, and refuses such a file as it reads it.)
    template <class Read>
    static void check_opened_file(long long bytes, Read const& read) {
        if (bytes == 0) return;
        unsigned char map[12], directory[4];
        const bool whole = static_cast<long long>(read(0, map, sizeof map)) == sizeof map &&
                           bytes >= qvPagePosition(2) &&
                           static_cast<long long>(read(qvPagePosition(1), directory, sizeof directory)) ==
                               sizeof directory;
        check_opened_start(whole ? map : nullptr, directory);
    }

    long allocate() override;
    // A page that cannot have been handed out (outside the file, not
    // covered by the map, or a map page) is refused as corruption, with the
    // map unchanged: callers free pages named by links read from the file.
    void free(long page) override;

    // Whether the map marks the page used; a page the map does not cover
    // is not. Reads only the map page that records it.
    bool marked(long page);

    // The map pages in chain order.
    std::vector<long> const& map_pages() const noexcept { return map_pages_; }

    // Whether the count grew over the page while the map marked it: a page
    // the file did not have, which no structure of the file can have
    // written, though the map calls it used (a damaged or cut file).
    bool grown_over(long page) const noexcept;

private:
    // `map`: the first 12 bytes of page 0, null when the file has fewer;
    // `directory`: the first 4 of page 1.
    static void check_opened_start(unsigned char const* map, unsigned char const* directory);

    void lay_out_new_file();
    void load_chain();
    void add_map_page();
    void take(long page);
    void mark(long page, bool used);
    bool is_map_page(long page) const noexcept;

    qvPageCache* cache_ = nullptr;
    qvPageLimit* limit_ = nullptr;
    std::vector<long> map_pages_;
    struct Slot {
        long first_free = 0;    // lowest word that may have a clear bit
        long free_pages = -1;   // clear bits in the page, -1 until known
    };
    std::vector<Slot> slots_;           // per map page, in chain order
    std::vector<long> sorted_map_pages_;
    std::vector<std::pair<long, long>> grown_over_;   // [first, end) ranges
};
