// The map allocator: lowest free page first, the bit of each page, the
// growth of the map chain, refusal of corrupt chains and impossible frees,
// and a property test against a bitmap oracle.

#include <orvane/core/qvAssertionError.hpp>

#include "scenes/qvCacheOnIO.hpp"
#include "scenes/qvMapAllocator.hpp"
#include "scenes/qvPageFile.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <string>
#include <vector>

using namespace qv_page_test;
using qv_file_test::raises;

namespace {

using E = qvErrorFrom<qvMapAllocator>;
constexpr long range = qvMapAllocator::pages_per_map;   // 130,976
constexpr char const* corrupt = "Invalid or corrupt Orvane pagefile";

// An allocator on a small cache over sparse memory pages.
struct Device {
    MemoryStorage storage;
    qvCacheOnIO cache{storage, 3 * 16384, false};
    qvMapAllocator allocator;

    explicit Device(bool create = true) {
        storage.recording = false;
        if (create) allocator.create(cache, storage);
    }
    ~Device() { cache.release(); }

    // A map word as stored, after a flush.
    std::uint32_t word(long map_page, long w) {
        cache.flush();
        return storage.word(map_page, 8 + 4 * static_cast<std::size_t>(w));
    }
};

// Writes a map page straight into the storage.
void put_map_page(MemoryStorage& storage, long page, std::uint32_t link, std::vector<std::uint32_t> const& words) {
    storage.set_word(page, 0, qvMapAllocator::magic);
    storage.set_word(page, 4, link);
    for (std::size_t w = 0; w < words.size(); ++w) storage.set_word(page, 8 + 4 * w, words[w]);
}

// Every word of a map page full.
void fill_map_page(MemoryStorage& storage, long page) {
    for (std::size_t w = 0; w < qvMapAllocator::SLOT_SIZE; ++w) storage.set_word(page, 8 + 4 * w, ~0u);
}

}  // namespace

// --- allocation ---------------------------------------------------------------------

TEST(qvMapAllocatorAllocate, A_new_file_has_page_0_used_and_hands_out_1_then_2) {
    Device d;
    EXPECT_EQ(d.storage.count, 1);
    EXPECT_EQ(d.word(0, 0), 1u);
    EXPECT_EQ(d.storage.word(0, 0), 0xDEAD0104u);
    EXPECT_EQ(d.allocator.allocate(), 1);
    EXPECT_EQ(d.storage.count, 2);
    EXPECT_EQ(d.allocator.allocate(), 2);
    EXPECT_EQ(d.storage.count, 3);
    EXPECT_EQ(d.allocator.map_pages(), std::vector<long>{0});
}

TEST(qvMapAllocatorAllocate, The_lowest_free_page_is_reused_before_the_file_grows) {
    Device d;
    for (long page = 1; page <= 5; ++page) ASSERT_EQ(d.allocator.allocate(), page);
    d.allocator.free(3);
    EXPECT_EQ(d.allocator.allocate(), 3);
    EXPECT_EQ(d.storage.count, 6);
    d.allocator.free(5);   // the last page: the file keeps its length
    EXPECT_EQ(d.storage.count, 6);
    EXPECT_EQ(d.allocator.allocate(), 5);
    EXPECT_EQ(d.allocator.allocate(), 6);
}

TEST(qvMapAllocatorAllocate, Page_31_is_bit_31_of_word_0_and_page_32_bit_0_of_word_1) {
    Device d;
    for (long page = 1; page <= 31; ++page) d.allocator.allocate();
    EXPECT_EQ(d.word(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(d.word(0, 1), 0u);
    EXPECT_EQ(d.allocator.allocate(), 32);
    d.cache.flush();
    EXPECT_EQ(d.storage.bytes(0)[12], 0x01);
    d.allocator.free(31);
    EXPECT_EQ(d.word(0, 0), 0x7FFFFFFFu);
    EXPECT_EQ(d.allocator.allocate(), 31);
}

// The scanned map page is worth keeping (1.0); the marked one is unlocked
// with 0 like most pages.
TEST(qvMapAllocatorAllocate, Scans_under_a_read_lock_kept_at_1_and_marks_under_a_write_lock_at_0) {
    struct Recorder : qvPageCache {
        explicit Recorder(qvPageCache& inner) : inner(inner) {}
        void* lock(long page, bool write) override {
            calls += "L" + std::to_string(page) + (write ? "w " : "r ");
            return inner.lock(page, write);
        }
        void unlock(long page, float priority) override {
            calls += "U" + std::to_string(page) + "@" + std::to_string(priority).substr(0, 3) + " ";
            inner.unlock(page, priority);
        }
        void flush() override { inner.flush(); }
        void release() override { inner.release(); }
        qvPageCache& inner;
        std::string calls;
    };
    Device d(false);
    Recorder recorder(d.cache);
    d.allocator.create(recorder, d.storage);
    recorder.calls.clear();
    d.allocator.allocate();
    EXPECT_EQ(recorder.calls, "L0r U0@1.0 L0w U0@0.0 ");
}

TEST(qvMapAllocatorAllocate, A_count_that_cannot_grow_leaves_map_and_count_as_they_were) {
    Device d;
    d.allocator.allocate();
    d.storage.most_pages = 2;
    EXPECT_TRUE(raises<qvErrorFrom<qvPageFileStorage>>([&] { d.allocator.allocate(); }, "injected limit failure"));
    EXPECT_EQ(d.storage.count, 2);
    EXPECT_EQ(d.word(0, 0), 3u);
    d.storage.most_pages = qvMaxPageCount;
    EXPECT_EQ(d.allocator.allocate(), 2);
}

TEST(qvMapAllocatorAllocate, A_read_only_cache_refuses_allocate_and_free) {
    Device d;
    d.allocator.allocate();
    d.cache.release();
    qvCacheOnIO read_only(d.storage, 16384, true);
    qvMapAllocator allocator;
    allocator.create(read_only, d.storage);
    EXPECT_TRUE(raises<qvErrorFrom<qvCacheOnIO>>([&] { allocator.allocate(); }, "Attempt to modify a read-only file"));
    EXPECT_TRUE(raises<qvErrorFrom<qvCacheOnIO>>([&] { allocator.free(1); }, "Attempt to modify a read-only file"));
    EXPECT_EQ(d.storage.word(0, 8), 3u);
}

// --- the map chain ---------------------------------------------------------------------

TEST(qvMapAllocatorChain, A_full_map_adds_a_page_at_the_start_of_its_range_marked_in_its_own_bitmap) {
    Device d(false);
    d.storage.count = range;
    put_map_page(d.storage, 0, 0, {});
    fill_map_page(d.storage, 0);
    d.allocator.create(d.cache, d.storage);
    EXPECT_EQ(d.allocator.allocate(), range + 1);
    EXPECT_EQ(d.storage.count, range + 2);
    EXPECT_EQ(d.allocator.map_pages(), (std::vector<long>{0, range}));
    d.cache.flush();
    EXPECT_EQ(d.storage.word(0, 4), static_cast<std::uint32_t>(range));
    EXPECT_EQ(d.storage.word(range, 0), 0xDEAD0104u);
    EXPECT_EQ(d.storage.word(range, 4), 0u);
    EXPECT_EQ(d.storage.word(range, 8), 3u);
    d.allocator.free(range + 1);
    EXPECT_EQ(d.allocator.allocate(), range + 1);

    qvMapAllocator reopened;
    reopened.create(d.cache, d.storage);
    EXPECT_EQ(reopened.map_pages(), (std::vector<long>{0, range}));
    EXPECT_EQ(reopened.allocate(), range + 2);
}

// The new page is written out before the link to it: a crash in between
// leaves an unlinked page, never a link to a page without the magic.
TEST(qvMapAllocatorChain, The_new_map_page_reaches_storage_before_the_link_that_names_it) {
    Device d(false);
    d.storage.count = range;
    put_map_page(d.storage, 0, 0, {});
    fill_map_page(d.storage, 0);
    d.allocator.create(d.cache, d.storage);
    d.storage.recording = true;
    d.allocator.allocate();
    d.cache.flush();
    std::vector<long> written;
    for (Transfer const& t : d.storage.log)
        if (t.op == 'W') written.push_back(t.page);
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ(written.front(), range);
    EXPECT_EQ(written.back(), 0);
}

TEST(qvMapAllocatorChain, A_map_page_placed_elsewhere_by_another_writer_is_followed) {
    Device d(false);
    d.storage.count = 3 * range;
    put_map_page(d.storage, 0, 5, {});
    fill_map_page(d.storage, 0);
    put_map_page(d.storage, 5, 0, {});
    d.allocator.create(d.cache, d.storage);
    EXPECT_EQ(d.allocator.map_pages(), (std::vector<long>{0, 5}));
    EXPECT_EQ(d.allocator.allocate(), range);
    EXPECT_TRUE(raises<E>([&] { d.allocator.free(5); }, corrupt));
}

TEST(qvMapAllocatorChain, Corrupt_chains_are_refused_and_leave_no_page_locked) {
    struct Case {
        char const* what;
        long count;
        void (*build)(MemoryStorage&);
    };
    const Case cases[] = {
        {"page 0 without the magic", 3, [](MemoryStorage& s) { s.set_word(0, 8, 1); }},
        {"page 0 not marked", 3, [](MemoryStorage& s) { put_map_page(s, 0, 0, {2}); }},
        {"link 0xFFFFFFFF", 4 * range, [](MemoryStorage& s) { put_map_page(s, 0, 0xFFFFFFFF, {1}); }},
        {"link 1", 4 * range, [](MemoryStorage& s) { put_map_page(s, 0, 1, {3}); }},
        {"link equal to the count", 4 * range, [](MemoryStorage& s) { put_map_page(s, 0, 4 * range, {1}); }},
        {"a member without the magic", 4 * range,
         [](MemoryStorage& s) {
             put_map_page(s, 0, range, {1});
             fill_map_page(s, 0);
         }},
        {"a member linking to itself", 4 * range,
         [](MemoryStorage& s) {
             put_map_page(s, 0, range, {});
             fill_map_page(s, 0);
             put_map_page(s, range, range, {1});
         }},
        {"two members naming each other", 4 * range,
         [](MemoryStorage& s) {
             put_map_page(s, 0, range, {});
             fill_map_page(s, 0);
             put_map_page(s, range, 2 * range, {});
             fill_map_page(s, range);
             put_map_page(s, 2 * range, range, {1});
         }},
        {"a chain longer than the count needs", 10,
         [](MemoryStorage& s) {
             put_map_page(s, 0, 3, {0xF});
             put_map_page(s, 3, 0, {});
         }},
        {"a member outside the map's range", 4 * range,
         [](MemoryStorage& s) {
             put_map_page(s, 0, 3 * range, {});
             fill_map_page(s, 0);
             put_map_page(s, 3 * range, 0, {});
         }},
    };
    for (Case const& c : cases) {
        Device d(false);
        d.storage.count = c.count;
        c.build(d.storage);
        EXPECT_TRUE(raises<E>([&] { d.allocator.create(d.cache, d.storage); }, corrupt)) << c.what;
        EXPECT_NO_THROW(d.cache.release()) << c.what;
    }
}

TEST(qvMapAllocatorChain, Frees_of_pages_that_cannot_have_been_handed_out_change_nothing) {
    Device d;
    d.allocator.allocate();
    d.allocator.allocate();
    for (long page : {0L, -1L, -32L, 3L, 1000000L}) {
        EXPECT_TRUE(raises<E>([&] { d.allocator.free(page); }, corrupt)) << page;
    }
    EXPECT_EQ(d.word(0, 0), 7u);
    d.storage.count = range + 5;   // pages no map covers yet
    EXPECT_TRUE(raises<E>([&] { d.allocator.free(range + 2); }, corrupt));
}

// --- property: the pages of a bitmap oracle ----------------------------------------------

namespace {

// The lowest clear bit of a plain bitmap, found by a scan from page 0. A
// map page takes the first page of its range when the pages before it are
// all used, so the oracle marks that page when its search reaches it.
class BitmapOracle {
public:
    BitmapOracle() { set(0); }

    long allocate() {
        for (std::size_t w = 0;; ++w) {
            if (w == bits_.size()) bits_.push_back(0);
            if (bits_[w] == ~std::uint64_t{0}) continue;
            const long page = static_cast<long>(w * 64) + std::countr_one(bits_[w]);
            set(page);
            count_ = std::max(count_, page + 1);
            if (page % range != 0) return page;
            --w;   // a new map page: search on
        }
    }
    void free(long page) { bits_[static_cast<std::size_t>(page / 64)] &= ~(std::uint64_t{1} << (page % 64)); }
    bool used(long page) const {
        const std::size_t w = static_cast<std::size_t>(page / 64);
        return w < bits_.size() && (bits_[w] >> (page % 64) & 1);
    }
    void set(long page) {
        const std::size_t w = static_cast<std::size_t>(page / 64);
        if (w >= bits_.size()) bits_.resize(w + 1);
        bits_[w] |= std::uint64_t{1} << (page % 64);
    }
    long count() const { return count_; }
    void count(long n) { count_ = n; }

private:
    std::vector<std::uint64_t> bits_;
    long count_ = 1;
};

// Random allocates and frees of allocated pages, each allocate checked.
void run_steps(Device& d, BitmapOracle& oracle, std::vector<long>& live, std::mt19937& rng, int steps,
               unsigned allocate_percent) {
    for (int step = 0; step < steps; ++step) {
        if (live.empty() || rng() % 100 < allocate_percent) {
            const long page = d.allocator.allocate();
            ASSERT_EQ(page, oracle.allocate()) << "step " << step;
            ASSERT_EQ(d.storage.count, oracle.count()) << "step " << step;
            live.push_back(page);
        } else {
            const std::size_t i = rng() % live.size();
            d.allocator.free(live[i]);
            oracle.free(live[i]);
            live[i] = live.back();
            live.pop_back();
        }
    }
}

// The stored bitmaps equal the oracle's, bit for bit.
void expect_same_bits(Device& d, BitmapOracle const& oracle) {
    d.cache.flush();
    std::vector<long> const& maps = d.allocator.map_pages();
    for (std::size_t k = 0; k < maps.size(); ++k) {
        for (long w = 0; w < qvMapAllocator::SLOT_SIZE; ++w) {
            const std::uint32_t stored = d.storage.word(maps[k], 8 + 4 * static_cast<std::size_t>(w));
            std::uint32_t expected = 0;
            for (int b = 0; b < 32; ++b)
                if (oracle.used((static_cast<long>(k) * qvMapAllocator::SLOT_SIZE + w) * 32 + b)) expected |= 1u << b;
            ASSERT_EQ(stored, expected) << "map " << k << " word " << w;
        }
    }
}

}  // namespace

TEST(qvMapAllocatorProperty, Pages_agree_with_a_bitmap_oracle_over_100000_steps) {
    Device d;
    BitmapOracle oracle;
    std::vector<long> live;
    std::mt19937 rng(7001);
    ASSERT_NO_FATAL_FAILURE(run_steps(d, oracle, live, rng, 100000, 55));
    ASSERT_NO_FATAL_FAILURE(expect_same_bits(d, oracle));
    // A reopened allocator goes on where this one stopped.
    d.cache.release();
    qvMapAllocator reopened;
    reopened.create(d.cache, d.storage);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(reopened.allocate(), oracle.allocate());
}

TEST(qvMapAllocatorProperty, Pages_agree_with_a_bitmap_oracle_across_the_growth_of_the_chain) {
    Device d;
    BitmapOracle oracle;
    std::vector<long> live;
    for (long page = 1; page < range - 300; ++page) {
        ASSERT_EQ(d.allocator.allocate(), page);
        oracle.set(page);
    }
    oracle.count(range - 300);
    std::mt19937 rng(7002);
    ASSERT_NO_FATAL_FAILURE(run_steps(d, oracle, live, rng, 100000, 55));
    ASSERT_EQ(d.allocator.map_pages(), (std::vector<long>{0, range}));
    ASSERT_NO_FATAL_FAILURE(expect_same_bits(d, oracle));
}
