// The list cache of cookies: recency order, eviction, ownership of inserted
// values and key ranges.

#include <orvane/attributes/qvCookie.hpp>
#include <orvane/attributes/qvCookieHandle.hpp>
#include <orvane/attributes/qvListCache.hpp>
#include <orvane/core/qvAutoPtr.hpp>
#include <orvane/core/qvSafePtr.hpp>

#include "qvAttributeStreams.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <list>
#include <random>
#include <utility>

namespace {

struct CountedCookie : qvCookie {
    static inline int alive = 0;
    CountedCookie() { ++alive; }
    ~CountedCookie() override { --alive; }
};

using OwningCache = qvListCache<qvCookieHandle, orvane::auto_ptr<qvCookie>>;

bool put(OwningCache& cache, long h, int kind = 0) {
    orvane::auto_ptr<qvCookie> cookie(new CountedCookie);
    return cache.insert(qvCookieHandle(h, kind), cookie);
}

bool has(OwningCache& cache, long h, int kind = 0) { return cache.find(qvCookieHandle(h, kind)) != nullptr; }

class qvListCacheTest : public ::testing::Test {
protected:
    OwningCache cache{64};
    void TearDown() override {
        cache.clear();
        EXPECT_EQ(CountedCookie::alive, 0);
    }
};

}  // namespace

TEST_F(qvListCacheTest, Full_cache_evicts_the_least_recently_used_and_a_find_saves_an_entry) {
    for (long h = 1; h <= 63; ++h) put(cache, h);
    EXPECT_EQ(cache.victim(), nullptr);
    put(cache, 64);
    EXPECT_EQ(*cache.victim(), qvCookieHandle(1, 0));
    EXPECT_TRUE(has(cache, 1));  // now the most recent
    EXPECT_EQ(*cache.victim(), qvCookieHandle(2, 0));
    EXPECT_TRUE(put(cache, 65));
    EXPECT_EQ(CountedCookie::alive, 64);
    EXPECT_FALSE(has(cache, 2));
}

TEST_F(qvListCacheTest, A_present_key_is_refused_and_the_caller_keeps_its_cookie) {
    put(cache, 1);
    qvCookie* const cached = cache.find(qvCookieHandle(1, 0))->get();
    orvane::auto_ptr<qvCookie> mine(new CountedCookie), given(new CountedCookie);
    EXPECT_FALSE(cache.insert(qvCookieHandle(1, 0), mine));
    EXPECT_TRUE(mine.owner());
    EXPECT_EQ(cache.find(qvCookieHandle(1, 0))->get(), cached);
    EXPECT_TRUE(cache.insert(qvCookieHandle(2, 0), given));
    EXPECT_FALSE(given.owner());
}

TEST_F(qvListCacheTest, Erase_range_is_half_open) {
    const int kinds[] = {INT_MIN, 0, 3, INT_MAX - 1, INT_MAX};
    for (int kind : kinds)
        for (long h : {5, 4, 6}) put(cache, h, kind);
    EXPECT_TRUE(cache.erase_range(qvCookieHandle(5, 0), qvCookieHandle(5, 0)));
    EXPECT_EQ(cache.size(), 15);
    EXPECT_TRUE(cache.erase_range(qvCookieHandle(5, INT_MIN), qvCookieHandle(5, INT_MAX)));
    EXPECT_EQ(cache.size(), 11);
    EXPECT_TRUE(has(cache, 5, INT_MAX));
    for (long h : {4L, 6L})
        for (int kind : kinds) EXPECT_TRUE(has(cache, h, kind));
    EXPECT_TRUE(cache.erase(qvCookieHandle(4, 0)));
    EXPECT_FALSE(cache.erase(qvCookieHandle(4, 0)));
}

TEST(qvListCache, A_shared_cookie_outlives_its_eviction_and_capacity_must_be_positive) {
    qvListCache<qvCookieHandle, qvSafePtr<qvCookie>> cache(1);
    qvSafePtr<qvCookie> kept(new CountedCookie), next(new CountedCookie);
    kept->time_stamp = 7;
    ASSERT_TRUE(cache.insert(qvCookieHandle(1, 1), kept));
    kept = *cache.find(qvCookieHandle(1, 1));
    cache.insert(qvCookieHandle(2, 1), next);
    EXPECT_EQ(cache.find(qvCookieHandle(1, 1)), nullptr);
    EXPECT_EQ(CountedCookie::alive, 2);
    EXPECT_EQ(kept->time_stamp, 7);
    EXPECT_EQ(attribute_test::assertion_text([] { OwningCache c(0); }), "capacity > 0");
}

// Seeded operations against the plain recency list the cache is meant to
// be: every answer, the victim and the value found must agree. Small
// capacities wrap the index's probe runs; more keys than entries evict.
TEST(qvListCacheProperty, Agrees_with_a_recency_list) {
    std::mt19937 rng(20261208);
    for (int capacity : {1, 3, 5, 64}) {
        OwningCache cache(capacity);
        std::list<std::pair<qvCookieHandle, long>> model;  // front: most recent
        long next_id = 1;
        auto const model_find = [&](qvCookieHandle key) {
            for (auto it = model.begin(); it != model.end(); ++it)
                if (it->first == key) {
                    model.splice(model.begin(), model, it);
                    return true;
                }
            return false;
        };
        auto const random_key = [&] {
            return qvCookieHandle(static_cast<long>(rng() % 24) + 1, static_cast<int>(rng() % 3));
        };
        for (int step = 0; step < 4000; ++step) {
            const qvCookieHandle key = random_key();
            const unsigned op = rng() % 20;
            if (op < 8) {
                orvane::auto_ptr<qvCookie> cookie(new CountedCookie);
                cookie->time_stamp = next_id;
                const bool taken = cache.insert(key, cookie);
                ASSERT_EQ(taken, !model_find(key)) << step;
                if (taken) {
                    model.emplace_front(key, next_id);
                    if (static_cast<int>(model.size()) > capacity) model.pop_back();
                }
                ++next_id;
            } else if (op < 15) {
                orvane::auto_ptr<qvCookie>* const found = cache.find(key);
                ASSERT_EQ(found != nullptr, model_find(key)) << step;
                if (found != nullptr) {
                    ASSERT_EQ((*found)->time_stamp, model.front().second) << step;
                }
            } else if (op < 18) {
                const bool present = model_find(key);
                if (present) model.pop_front();
                ASSERT_EQ(cache.erase(key), present) << step;
            } else if (op < 19) {
                const qvCookieHandle to(key.handle + static_cast<long>(rng() % 4), static_cast<int>(rng() % 3));
                ASSERT_TRUE(cache.erase_range(key, to));
                model.remove_if([&](auto const& entry) { return !(entry.first < key) && entry.first < to; });
            } else {
                ASSERT_EQ(cache.clear(), !model.empty());
                model.clear();
            }
            ASSERT_EQ(cache.size(), static_cast<int>(model.size())) << step;
            ASSERT_EQ(CountedCookie::alive, cache.size()) << step;
            qvCookieHandle const* const victim = cache.victim();
            ASSERT_EQ(victim != nullptr, static_cast<int>(model.size()) == capacity) << step;
            if (victim != nullptr) {
                ASSERT_EQ(*victim, model.back().first) << step;
            }
        }
        // The whole recency order: fresh keys fill the cache, then each
        // further one evicts the least recent of what is left.
        for (long fresh = -1; fresh >= -2L * capacity; --fresh) {
            if (static_cast<int>(model.size()) == capacity) {
                ASSERT_EQ(*cache.victim(), model.back().first);
            }
            orvane::auto_ptr<qvCookie> filler(new CountedCookie);
            ASSERT_TRUE(cache.insert(qvCookieHandle(fresh, 0), filler));
            model.emplace_front(qvCookieHandle(fresh, 0), 0);
            if (static_cast<int>(model.size()) > capacity) model.pop_back();
        }
        cache.clear();
    }
    EXPECT_EQ(CountedCookie::alive, 0);
}
