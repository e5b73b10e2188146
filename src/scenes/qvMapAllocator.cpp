// qvMapAllocator: bitmap pages chained from page 0.
//
// allocate scans the map pages in chain order from each page's first-free
// hint (passing pages known to be full without locking them), skipping full
// words with one comparison, under a read lock that
// ends with priority 1.0 (a scanned map page is worth keeping); the bit is
// then set under a second, writing lock that ends with priority 0. When
// every map page is full, a map page is added at the next chain position k,
// on page k × 130,976: the count grows to include it, it is written (magic,
// link 0, its own bit set), the cache is flushed, and only then does the
// previous last map page link to it.

#include "scenes/qvMapAllocator.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include "scenes/qvPageFileDirectory.hpp"
#include "scenes/qvPageLayout.hpp"
#include "scenes/qvPageLock.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <unordered_set>

namespace {

[[noreturn]] void raise_map_corrupt() {
    qvRaise(qvErrorFrom<qvMapAllocator>("Invalid or corrupt Orvane pagefile"));
}

constexpr std::size_t magic_offset = 0;
constexpr std::size_t link_offset = 4;
constexpr std::size_t word_offset(long word) noexcept { return 8 + 4 * static_cast<std::size_t>(word); }
constexpr std::uint32_t full_word = 0xFFFFFFFF;

struct BitPlace {
    std::size_t position;   // in the chain
    long word;
    std::uint32_t bit;
};

// Where page p is recorded; p >> 5 taken unsigned.
constexpr BitPlace place_of(long page) noexcept {
    const unsigned long q = static_cast<unsigned long>(page) >> 5;
    return {q / qvMapAllocator::SLOT_SIZE, static_cast<long>(q % qvMapAllocator::SLOT_SIZE),
            std::uint32_t{1} << (page & 31)};
}

// A valid chain adds position k only when the k positions before it are
// full, so the count then exceeds k × 130,976.
constexpr std::size_t longest_chain(long page_count) noexcept {
    return page_count < 1 ? 1 : static_cast<std::size_t>((page_count - 1) / qvMapAllocator::pages_per_map) + 1;
}

void write_empty_map_page(qvPageLock& map) {
    std::memset(map.data(), 0, qvPageBytes);
    map.set_word(magic_offset, qvMapAllocator::magic);
}

}  // namespace

// --- binding and loading -----------------------------------------------------

void qvMapAllocator::create(qvPageCache& cache, qvPageLimit& limit) {
    cache_ = &cache;
    limit_ = &limit;
    if (limit.limit() == 0)
        lay_out_new_file();
    else
        load_chain();
}

// What load_chain and the directory's create check first, checked before
// the device has grown, reserved or mapped anything, so that a refusal
// leaves nothing to take back. The length needs the look too: a file of 1
// to 16,383 bytes counts 0 pages, which create would take for a new file
// and lay out over what is there; a page file cut inside its directory
// page counts 1, whose map loads, and whose directory's probe would grow
// the file over the directory's lost part with zero pages while what the
// cut left of the directory still names its streams.
void qvMapAllocator::check_opened_start(unsigned char const* map, unsigned char const* directory) {
    if (map == nullptr || qvPageWord(map, magic_offset) != magic || (qvPageWord(map, word_offset(0)) & 1) == 0)
        raise_map_corrupt();
    if ((qvPageWord(map, word_offset(0)) & 2) != 0 && qvPageWord(directory, 0) != qvPageFileDirectory::magic)
        qvRaise(qvErrorFrom<qvPageFileDirectory>("Wrong pagefile directory vesrion"));
}

void qvMapAllocator::lay_out_new_file() {
    limit_->limit(1);
    map_pages_.assign(1, 0);
    slots_.assign(1, Slot{0, pages_per_map});
    sorted_map_pages_.assign(1, 0);
    {
        qvPageLock map(*cache_, 0, true, 0.0f);
        write_empty_map_page(map);
    }
    mark(0, true);
}

// Reads the chain into locals and takes it over only once every member has
// been checked.
void qvMapAllocator::load_chain() {
    const long page_count = limit_->limit();
    std::vector<long> chain;
    std::unordered_set<long> seen;
    std::vector<long> own_bit_elsewhere;   // members recorded by another map page
    for (long page = 0;;) {
        if (chain.size() == longest_chain(page_count)) raise_map_corrupt();
        const std::size_t position = chain.size();
        chain.push_back(page);
        seen.insert(page);
        std::uint32_t link;
        {
            qvPageLock map(*cache_, page, false, 0.0f);
            if (map.word(magic_offset) != magic) raise_map_corrupt();
            link = map.word(link_offset);
            const BitPlace own = place_of(page);
            if (own.position == position) {
                if ((map.word(word_offset(own.word)) & own.bit) == 0) raise_map_corrupt();
            } else {
                own_bit_elsewhere.push_back(page);
            }
        }
        if (link == 0) break;
        if (link == 1 || link >= static_cast<std::uint32_t>(page_count) || seen.count(static_cast<long>(link)))
            raise_map_corrupt();
        page = static_cast<long>(link);
    }
    for (long page : own_bit_elsewhere) {
        const BitPlace own = place_of(page);
        if (own.position >= chain.size()) raise_map_corrupt();
        qvPageLock map(*cache_, chain[own.position], false, 0.0f);
        if ((map.word(word_offset(own.word)) & own.bit) == 0) raise_map_corrupt();
    }
    std::vector<long> sorted = chain;
    std::sort(sorted.begin(), sorted.end());
    slots_.assign(chain.size(), Slot{});
    map_pages_.swap(chain);
    sorted_map_pages_.swap(sorted);
}

// --- allocation --------------------------------------------------------------

long qvMapAllocator::allocate() {
    QV_ASSERT(!map_pages_.empty());   // create() came first
    for (std::size_t position = 0;; ++position) {
        if (position == map_pages_.size()) add_map_page();
        Slot& slot = slots_[position];
        if (slot.free_pages == 0) continue;
        long found = -1;
        {
            qvPageLock map(*cache_, map_pages_[position], false, 1.0f);
            long word = slot.first_free;
            while (word < SLOT_SIZE && map.word(word_offset(word)) == full_word) ++word;
            slot.first_free = word;
            if (word < SLOT_SIZE) {
                const int bit = std::countr_one(map.word(word_offset(word)));
                found = (static_cast<long>(position) * SLOT_SIZE + word) * 32 + bit;
            } else {
                slot.free_pages = 0;
            }
        }
        if (found >= 0) {
            take(found);
            return found;
        }
    }
}

// Marks first; the map and the count stay as they were when the count
// cannot grow (a full file, a mapped file's red zone).
void qvMapAllocator::take(long page) {
    const long end = limit_->limit();
    if (page > end) grown_over_.reserve(grown_over_.size() + 1);
    mark(page, true);
    if (page < end) return;
    try {
        limit_->limit(page + 1);
        if (page > end) grown_over_.emplace_back(end, page);
    } catch (...) {
        try {
            mark(page, false);
        } catch (...) {
            // The page stays marked: lost to the allocator, no data lost.
        }
        throw;
    }
}

void qvMapAllocator::add_map_page() {
    const long page = static_cast<long>(map_pages_.size()) * pages_per_map;
    map_pages_.reserve(map_pages_.size() + 1);
    slots_.reserve(slots_.size() + 1);
    sorted_map_pages_.reserve(sorted_map_pages_.size() + 1);
    if (limit_->limit() <= page) limit_->limit(page + 1);
    {
        qvPageLock map(*cache_, page, true, 0.0f);
        write_empty_map_page(map);
        map.set_word(word_offset(0), 1);   // itself, the first page of its range
    }
    cache_->flush();
    {
        qvPageLock last(*cache_, map_pages_.back(), true, 0.0f);
        last.set_word(link_offset, static_cast<std::uint32_t>(page));
    }
    map_pages_.push_back(page);
    slots_.push_back(Slot{0, pages_per_map - 1});
    sorted_map_pages_.push_back(page);   // above every page the chain covered so far: still sorted
}

void qvMapAllocator::free(long page) {
    QV_ASSERT(!map_pages_.empty());
    if (page < 0 || page >= limit_->limit() || place_of(page).position >= map_pages_.size() || is_map_page(page))
        raise_map_corrupt();
    mark(page, false);
}

void qvMapAllocator::mark(long page, bool used) {
    const BitPlace place = place_of(page);
    QV_ASSERT(place.position < map_pages_.size());
    qvPageLock map(*cache_, map_pages_[place.position], true, 0.0f);
    const std::uint32_t bits = map.word(word_offset(place.word));
    map.set_word(word_offset(place.word), used ? bits | place.bit : bits & ~place.bit);
    Slot& slot = slots_[place.position];
    if (slot.free_pages >= 0 && ((bits & place.bit) != 0) != used) slot.free_pages += used ? -1 : 1;
    if (!used && place.word < slot.first_free) slot.first_free = place.word;
}

bool qvMapAllocator::grown_over(long page) const noexcept {
    for (auto const& [first, end] : grown_over_)
        if (page >= first && page < end) return true;
    return false;
}

bool qvMapAllocator::marked(long page) {
    if (page < 0) return false;
    const BitPlace place = place_of(page);
    if (place.position >= map_pages_.size()) return false;
    qvPageLock map(*cache_, map_pages_[place.position], false, 1.0f);
    return (map.word(word_offset(place.word)) & place.bit) != 0;
}

bool qvMapAllocator::is_map_page(long page) const noexcept {
    return std::binary_search(sorted_map_pages_.begin(), sorted_map_pages_.end(), page);
}
