// The page cache over page I/O: the victim rule with its decay, the soft
// capacity, flush and release, read-only refusal, what failures leave, and
// a property test against a slow list model of the cache.

#include <orvane/core/qvAssertionError.hpp>

#include "scenes/qvCacheOnIO.hpp"
#include "scenes/qvPageLock.hpp"

#include "qvAllocationProbe.hpp"
#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"

#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <random>
#include <vector>

using namespace qv_page_test;
using qv_file_test::raises;

namespace {

using E = qvErrorFrom<qvCacheOnIO>;
constexpr long A = 3, B = 4, C = 5, D = 6;

// A storage of 16 pages, page n filled with byte n, and a log from here on.
struct Pages {
    MemoryStorage storage;
    Pages() { storage.fill_numbered(16); }
    std::vector<Transfer>& log() { return storage.log; }
};

Transfer R(long page) { return {'R', page, 0}; }
Transfer W(long page, unsigned char fill) {
    Page bytes;
    bytes.fill(fill);
    return {'W', page, checksum(bytes.data())};
}

// Locks and unlocks at once with a priority; returns the buffer address.
void* touch(qvCacheOnIO& cache, long page, float priority, bool write = false) {
    void* const buffer = cache.lock(page, write);
    cache.unlock(page, priority);
    return buffer;
}

}  // namespace

// --- the victim rule ------------------------------------------------------------

TEST(qvCacheOnIOVictims, The_lowest_priority_goes_and_every_priority_decays_by_a_tenth) {
    Pages p;
    qvCacheOnIO cache(p.storage, 2 * 16384, false);
    touch(cache, A, 1.0f);
    void* const b = touch(cache, B, 0.5f);
    EXPECT_EQ(cache.lock(C, false), b);
    EXPECT_EQ(static_cast<unsigned char*>(b)[0], C);
    EXPECT_EQ(cache.priority_of(A), 1.0f * 0.9f);
    EXPECT_EQ(cache.priority_of(C), 0.5f * 0.9f);   // B's, until C's unlock
    EXPECT_FALSE(cache.priority_of(B));
    EXPECT_EQ(p.log(), (std::vector<Transfer>{R(A), R(B), R(C)}));
    cache.unlock(C, 0.0f);
}

TEST(qvCacheOnIOVictims, Among_equal_priorities_the_entry_added_last_goes) {
    Pages p;
    qvCacheOnIO cache(p.storage, 2 * 16384, false);
    touch(cache, A, 0.0f);
    void* const b = touch(cache, B, 0.0f);
    EXPECT_EQ(touch(cache, C, 0.0f), b);
    EXPECT_TRUE(cache.priority_of(A));
}

// B, at the front, becomes the candidate first and decays to 0.45 before A
// (0.48) is compared with it: A is not strictly lower, so B still goes.
TEST(qvCacheOnIOVictims, A_later_entry_is_compared_with_the_candidates_decayed_priority) {
    Pages p;
    qvCacheOnIO cache(p.storage, 2 * 16384, false);
    touch(cache, A, 0.48f);
    void* const b = touch(cache, B, 0.5f);
    EXPECT_EQ(touch(cache, C, 0.0f), b);
    EXPECT_EQ(cache.priority_of(A), 0.48f * 0.9f);
}

TEST(qvCacheOnIOVictims, A_dirty_victim_is_written_before_its_buffer_is_reused) {
    Pages p;
    qvCacheOnIO cache(p.storage, 16384, false);
    static_cast<unsigned char*>(cache.lock(A, true))[0] = 0x77;
    cache.unlock(A, 0.0f);
    touch(cache, B, 0.0f);
    Page expected;
    expected.fill(A);
    expected[0] = 0x77;
    EXPECT_EQ(p.log(), (std::vector<Transfer>{R(A), {'W', A, checksum(expected.data())}, R(B)}));
    qvCacheOnIO::Counters const& n = cache.counters();
    EXPECT_EQ(n.misses, 2u);
    EXPECT_EQ(n.evictions, 1u);
    EXPECT_EQ(n.write_backs, 1u);
    touch(cache, B, 0.0f);
    EXPECT_EQ(n.hits, 1u);
}

TEST(qvCacheOnIOVictims, A_page_locked_twice_and_unlocked_once_is_never_a_victim) {
    Pages p;
    qvCacheOnIO cache(p.storage, 2 * 16384, false);
    void* const a = cache.lock(A, false);
    cache.lock(A, false);
    cache.unlock(A, -1.0f);   // the lowest priority, still locked once
    void* const b = touch(cache, B, 1.0f);
    EXPECT_EQ(touch(cache, C, 1.0f), b);
    EXPECT_EQ(cache.lock(A, false), a);
    EXPECT_EQ(p.log(), (std::vector<Transfer>{R(A), R(B), R(C)}));
    cache.unlock(A, 0.0f);
    cache.unlock(A, 0.0f);
}

// --- the soft capacity ------------------------------------------------------------

TEST(qvCacheOnIOCapacity, With_every_page_locked_a_miss_adds_a_buffer_that_goes_at_its_unlock) {
    Pages p;
    qvCacheOnIO cache(p.storage, 16384, false);
    void* const a = cache.lock(A, false);
    void* const b = cache.lock(B, true);
    EXPECT_NE(a, b);
    EXPECT_EQ(cache.cached_pages(), 2u);
    static_cast<unsigned char*>(b)[1] = 9;
    cache.unlock(B, 1.0f);
    EXPECT_EQ(cache.cached_pages(), 1u);
    EXPECT_FALSE(cache.priority_of(B));
    ASSERT_EQ(p.log().size(), 3u);
    EXPECT_EQ(p.log()[2].op, 'W');
    EXPECT_EQ(p.storage.bytes(B)[1], 9);
    cache.unlock(A, 0.0f);
    EXPECT_EQ(cache.cached_pages(), 1u);   // within the capacity again
}

TEST(qvCacheOnIOCapacity, Below_one_page_it_reads_at_every_lock_and_writes_at_every_last_unlock) {
    for (int bytes : {0, 16383, -5}) {
        Pages p;
        qvCacheOnIO cache(p.storage, bytes, false);
        EXPECT_EQ(cache.capacity(), 0u);
        touch(cache, A, 1.0f, true);
        touch(cache, A, 1.0f, false);
        void* const b = cache.lock(B, true);
        EXPECT_EQ(cache.lock(B, false), b);
        cache.unlock(B, 0.0f);
        cache.unlock(B, 0.0f);
        EXPECT_EQ(cache.cached_pages(), 0u);
        EXPECT_EQ(cache.bytes_held(), 0u);
        EXPECT_EQ(p.log(), (std::vector<Transfer>{R(A), W(A, A), R(A), R(B), W(B, B)})) << bytes;
    }
}

TEST(qvCacheOnIOCapacity, Sizes_of_2_GiB_and_more_count_and_buffers_are_made_as_they_are_needed) {
    Pages p;
    qvCacheOnIO large(p.storage, std::size_t{5} << 30, false);
    EXPECT_EQ(large.capacity(), 5u * 65536u);
    touch(large, A, 0.0f);
    EXPECT_LE(large.bytes_held(), 16u * 16384u);

    qvCacheOnIO full(p.storage, std::size_t{100} * 16384 + 16383, false);
    for (long page = 0; page < 100; ++page) {
        p.storage.count = page + 1;
        void* const buffer = full.lock(page, false);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer) % 4096, 0u);
        full.unlock(page, 0.0f);
    }
    EXPECT_EQ(full.bytes_held(), 100u * 16384u);   // no more than the stated size
    EXPECT_EQ(full.cached_pages(), 100u);
}

// --- flush and release ---------------------------------------------------------------

TEST(qvCacheOnIOFlush, Writes_dirty_pages_and_a_locked_page_stays_dirty) {
    Pages p;
    qvCacheOnIO cache(p.storage, 4 * 16384, false);
    cache.lock(A, false);
    cache.lock(A, true);   // a read lock followed by a write lock: dirty
    cache.unlock(A, 0.0f);
    touch(cache, B, 0.0f, true);
    touch(cache, C, 0.0f, false);
    p.log().clear();
    cache.flush();
    EXPECT_EQ(p.log(), (std::vector<Transfer>{W(B, B), W(A, A)}));   // from the front
    cache.flush();
    EXPECT_EQ(p.log().size(), 3u);   // A again: still locked, still dirty
    cache.unlock(A, 0.0f);
    cache.flush();
    EXPECT_EQ(p.log().size(), 4u);
    cache.flush();
    EXPECT_EQ(p.log().size(), 4u);
}

TEST(qvCacheOnIOFlush, Release_with_a_locked_page_frees_only_the_entries_in_front_of_it) {
    Pages p;
    qvCacheOnIO cache(p.storage, 4 * 16384, false);
    touch(cache, A, 0.0f);
    cache.lock(B, false);
    touch(cache, C, 0.0f, true);
    touch(cache, D, 0.0f);   // front: D, C, B (locked), A
    EXPECT_TRUE(raises<E>([&] { cache.release(); }, "Cannot release the cache memory while pages are locked"));
    EXPECT_FALSE(cache.priority_of(D));
    EXPECT_FALSE(cache.priority_of(C));
    EXPECT_TRUE(cache.priority_of(B));
    EXPECT_TRUE(cache.priority_of(A));
    EXPECT_EQ(p.storage.log.back(), W(C, C));   // flushed first
    cache.unlock(B, 0.0f);
    cache.release();
    EXPECT_EQ(cache.cached_pages(), 0u);
    EXPECT_EQ(cache.bytes_held(), 0u);
    p.log().clear();
    touch(cache, A, 0.0f);
    EXPECT_EQ(p.log(), std::vector<Transfer>{R(A)});   // read again after a release
}

TEST(qvCacheOnIOFlush, Destroying_a_cache_with_a_locked_page_ends_the_process) {
    EXPECT_DEATH(
        {
            Pages p;
            qvCacheOnIO cache(p.storage, 16384, false);
            cache.lock(A, false);
        },
        "Unexpected Orvane error: Cannot release the cache memory while pages are locked");
}

// --- refusals and failures -----------------------------------------------------------

TEST(qvCacheOnIOFailures, A_read_only_cache_refuses_a_write_lock_before_anything_changes) {
    Pages p;
    qvCacheOnIO cache(p.storage, 16384, true);
    EXPECT_EQ(static_cast<unsigned char*>(cache.lock(A, false))[0], A);
    cache.unlock(A, 0.5f);
    EXPECT_TRUE(raises<E>([&] { cache.lock(B, true); }, "Attempt to modify a read-only file"));
    EXPECT_TRUE(raises<E>([&] { cache.lock(A, true); }, "Attempt to modify a read-only file"));
    EXPECT_EQ(p.log(), std::vector<Transfer>{R(A)});
    EXPECT_EQ(cache.priority_of(A), 0.5f);
    EXPECT_EQ(cache.counters().misses, 1u);
}

TEST(qvCacheOnIOFailures, Unlocking_a_page_that_is_not_cached_fails_the_check) {
    Pages p;
    qvCacheOnIO cache(p.storage, 16384, false);
    EXPECT_TRUE(raises<qvAssertionError>([&] { cache.unlock(A, 0.0f); }, "p != pages.end()"));
}

TEST(qvCacheOnIOFailures, A_failed_read_drops_its_entry_and_the_next_lock_reads_again) {
    Pages p;
    qvCacheOnIO cache(p.storage, 16384, false);
    touch(cache, A, 0.0f);
    p.storage.fail_reads = 1;   // B would reuse A's buffer
    EXPECT_TRUE(raises<qvErrorFrom<qvPageFileStorage>>([&] { cache.lock(B, false); }, "injected read failure"));
    EXPECT_EQ(cache.cached_pages(), 0u);
    EXPECT_TRUE(raises<qvErrorFrom<qvPageFileStorage>>([&] { cache.lock(99, false); },
                                                       "Part of the Orvane pagefile is missing"));
    EXPECT_EQ(cache.cached_pages(), 0u);
    EXPECT_EQ(static_cast<unsigned char*>(cache.lock(B, false))[5], B);
    cache.unlock(B, 0.0f);
    EXPECT_EQ(p.log(), (std::vector<Transfer>{R(A), R(B)}));
}

TEST(qvCacheOnIOFailures, A_failed_write_back_leaves_the_victim_dirty_on_its_page) {
    Pages p;
    qvCacheOnIO cache(p.storage, 16384, false);
    static_cast<unsigned char*>(cache.lock(A, true))[0] = 0x55;
    cache.unlock(A, 0.0f);
    p.storage.fail_writes = 1;
    EXPECT_TRUE(raises<qvErrorFrom<qvPageFileStorage>>([&] { cache.lock(B, false); }, "injected write failure"));
    EXPECT_EQ(static_cast<unsigned char*>(cache.lock(A, false))[0], 0x55);   // a hit, no read
    cache.unlock(A, 0.0f);
    cache.flush();
    EXPECT_EQ(p.storage.bytes(A)[0], 0x55);
    ASSERT_EQ(p.log().size(), 2u);   // the read of A, then flush's write
    EXPECT_EQ(p.log()[1].op, 'W');
    EXPECT_EQ(p.log()[1].page, A);
}

// Each allocation of a miss fails in turn (entry arrays, buffer block
// bookkeeping, hash node): the miss raises and the cache is as it was.
TEST(qvCacheOnIOFailures, An_allocation_failing_in_a_miss_leaves_the_cache_as_it_was) {
    Pages p;
    qvCacheOnIO cache(p.storage, 4 * 16384, false);
    touch(cache, A, 0.0f);
    bool locked = false;
    for (long n = 0; n < 16 && !locked; ++n) {
        qv_allocation_probe::allocations_left = n;
        try {
            cache.lock(B, false);
            locked = true;
        } catch (std::bad_alloc const&) {
            EXPECT_EQ(cache.cached_pages(), 1u) << n;
            EXPECT_FALSE(cache.priority_of(B)) << n;
        }
        qv_allocation_probe::allocations_left = -1;
    }
    ASSERT_TRUE(locked);
    cache.unlock(B, 0.0f);
    EXPECT_EQ(static_cast<unsigned char*>(cache.lock(B, false))[9], B);   // a hit
    cache.unlock(B, 0.0f);
    EXPECT_EQ(p.log(), (std::vector<Transfer>{R(A), R(B)}));
    touch(cache, C, 0.0f);
    touch(cache, D, 0.0f);
    EXPECT_EQ(cache.bytes_held(), 4u * 16384u);   // no buffer was lost on the way
}

// unlock runs in destructors, so it reports no I/O error: the page waits,
// dirty, for the next flush or release, which reports it.
TEST(qvCacheOnIOFailures, A_write_back_failing_at_unlock_keeps_the_page_for_the_next_flush) {
    Pages p;
    qvCacheOnIO cache(p.storage, 0, false);
    static_cast<unsigned char*>(cache.lock(A, true))[0] = 0x66;
    p.storage.fail_writes = 2;
    cache.unlock(A, 0.0f);
    EXPECT_EQ(cache.cached_pages(), 1u);
    EXPECT_TRUE(raises<qvErrorFrom<qvPageFileStorage>>([&] { cache.release(); }, "injected write failure"));
    EXPECT_EQ(cache.cached_pages(), 1u);
    cache.release();
    EXPECT_EQ(p.storage.bytes(A)[0], 0x66);
    EXPECT_EQ(cache.cached_pages(), 0u);
}

// --- property: the same transfers as a list model ---------------------------------------

namespace {

// The cache as first described: a list searched from the front, one walk
// that compares and decays, buffers allocated one by one.
class ListModel {
public:
    ListModel(qvPageIO& io, std::size_t capacity) : io_(io), capacity_(capacity) {}

    unsigned char* lock(long page, bool write) {
        for (Entry& e : pages_) {
            if (e.page != page) continue;
            ++e.locks;
            e.dirty = e.dirty || write;
            return e.buffer->data();
        }
        Entry* victim = nullptr;
        if (pages_.size() == capacity_) {
            for (Entry& e : pages_) {
                if (e.locks == 0 && (victim == nullptr || e.priority < victim->priority)) victim = &e;
                e.priority *= 0.9f;
            }
        }
        if (victim == nullptr) {
            pages_.push_front(Entry{page, std::make_unique<Page>(), false, 0.0f, 0});
            victim = &pages_.front();
        } else if (victim->dirty) {
            io_.write(victim->page, victim->buffer->data());
            victim->dirty = false;
        }
        victim->page = page;
        io_.read(page, victim->buffer->data());
        ++victim->locks;
        victim->dirty = write;
        return victim->buffer->data();
    }

    void unlock(long page, float priority) {
        for (auto e = pages_.begin(); e != pages_.end(); ++e) {
            if (e->page != page) continue;
            --e->locks;
            e->priority = priority;
            if (pages_.size() > capacity_ && e->locks == 0) {
                if (e->dirty) io_.write(e->page, e->buffer->data());
                pages_.erase(e);
            }
            return;
        }
        FAIL() << "model: page not cached";
    }

    void flush() {
        for (Entry& e : pages_) {
            if (!e.dirty) continue;
            io_.write(e.page, e.buffer->data());
            if (e.locks == 0) e.dirty = false;
        }
    }

    bool release() {
        flush();
        while (!pages_.empty()) {
            if (pages_.front().locks > 0) return false;
            pages_.pop_front();
        }
        return true;
    }

private:
    struct Entry {
        long page;
        std::unique_ptr<Page> buffer;
        bool dirty;
        float priority;
        int locks;
    };
    std::list<Entry> pages_;
    qvPageIO& io_;
    std::size_t capacity_;
};

}  // namespace

TEST(qvCacheOnIOProperty, Transfers_agree_with_the_list_model_over_10000_steps) {
    const float priorities[] = {0.0f, 0.0f, 1.0f, 0.5f, 0.45f, 0.25f, 1.0f / 3.0f, 0.125f, -0.5f};
    for (std::size_t capacity : {0u, 1u, 2u, 3u, 5u, 8u}) {
        std::mt19937 rng(20240917 + static_cast<unsigned>(capacity));
        MemoryStorage real_io, model_io;
        real_io.count = model_io.count = 12;
        qvCacheOnIO cache(real_io, capacity * 16384, false);
        ListModel model(model_io, capacity);
        struct Held {
            long page;
            bool write;
            unsigned char* address;
        };
        std::vector<Held> held;
        std::size_t compared = 0;   // transfers found equal so far
        // A failed assertion leaves the steps; the locks are given back all
        // the same, so the cache is destroyed cleanly.
        [&] {
            for (int step = 0; step < 10000; ++step) {
                const unsigned roll = rng() % 100;
                if (roll < 45 || (roll < 85 && held.empty())) {
                    const long page = static_cast<long>(rng() % 12);
                    const bool write = rng() % 3 == 0;
                    auto* const got = static_cast<unsigned char*>(cache.lock(page, write));
                    unsigned char* const want = model.lock(page, write);
                    ASSERT_EQ(std::memcmp(got, want, qvPageBytes), 0) << "step " << step;
                    for (Held const& h : held) {
                        if (h.page != page) continue;
                        ASSERT_EQ(h.address, got) << "a locked page moved, step " << step;
                    }
                    if (write) {
                        const std::size_t at = rng() % qvPageBytes;
                        got[at] = want[at] = static_cast<unsigned char>(rng());
                    }
                    held.push_back({page, write, got});
                } else if (roll < 85) {
                    const std::size_t i = rng() % held.size();
                    const float priority = priorities[rng() % std::size(priorities)];
                    cache.unlock(held[i].page, priority);
                    model.unlock(held[i].page, priority);
                    held.erase(held.begin() + static_cast<std::ptrdiff_t>(i));
                } else if (roll < 97) {
                    cache.flush();
                    model.flush();
                } else {
                    bool refused = false;
                    try {
                        cache.release();
                    } catch (E const&) {
                        refused = true;
                    }
                    ASSERT_EQ(refused, !model.release()) << "step " << step;
                }
                ASSERT_EQ(real_io.log.size(), model_io.log.size()) << "capacity " << capacity << ", step " << step;
                for (; compared < real_io.log.size(); ++compared)
                    ASSERT_EQ(real_io.log[compared], model_io.log[compared])
                        << "capacity " << capacity << ", step " << step;
                if (held.size() > 6) {   // keep some pages unlocked
                    cache.unlock(held.front().page, 0.0f);
                    model.unlock(held.front().page, 0.0f);
                    held.erase(held.begin());
                }
            }
        }();
        for (Held const& h : held) {
            cache.unlock(h.page, 0.0f);
            model.unlock(h.page, 0.0f);
        }
        cache.release();
        ASSERT_TRUE(model.release());
        ASSERT_EQ(real_io.log, model_io.log) << "capacity " << capacity;
        for (long page = 0; page < 12; ++page) ASSERT_EQ(real_io.bytes(page), model_io.bytes(page));
        EXPECT_GT(real_io.log.size(), 1000u);
    }
}
