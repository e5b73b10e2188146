// The list cache of cookies: recency order, eviction, ownership of inserted
// values and key ranges.

#include <orvane/attributes/qvCookie.hpp>
#include <orvane/attributes/qvCookieHandle.hpp>
#include <orvane/attributes/qvListCache.hpp>
#include <orvane/core/qvAutoPtr.hpp>
#include <orvane/core/qvSafePtr.hpp>

#include "qvPropertyClassTestSupport.hpp"

#include <gtest/gtest.h>

#include <climits>

using property_test::expect_raises;

namespace {

// A cookie that counts the live ones.
struct CountedCookie : qvCookie {
    static inline int alive = 0;
    CountedCookie() { ++alive; }
    ~CountedCookie() override { --alive; }
};

using OwningCache = qvListCache<qvCookieHandle, orvane::auto_ptr<qvCookie>>;
using SharingCache = qvListCache<qvCookieHandle, qvSafePtr<qvCookie>>;

bool put(OwningCache& cache, qvCookieHandle key) {
    orvane::auto_ptr<qvCookie> cookie(new CountedCookie);
    return cache.insert(key, cookie);
}

void fill(OwningCache& cache, long count) {
    for (long h = 1; h <= count; ++h)
        put(cache, qvCookieHandle(h, 0));
}

class qvListCacheTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(CountedCookie::alive, 0); }
};

}  // namespace

TEST_F(qvListCacheTest, Full_cache_evicts_the_least_recently_used) {
    OwningCache cache(64);
    fill(cache, 64);
    EXPECT_EQ(cache.size(), 64);
    EXPECT_EQ(CountedCookie::alive, 64);
    EXPECT_TRUE(put(cache, qvCookieHandle(65, 0)));
    EXPECT_EQ(cache.size(), 64);
    EXPECT_EQ(CountedCookie::alive, 64);
    EXPECT_EQ(cache.find(qvCookieHandle(1, 0)), nullptr);
    EXPECT_NE(cache.find(qvCookieHandle(2, 0)), nullptr);
}

TEST_F(qvListCacheTest, Find_before_the_insert_saves_the_entry) {
    OwningCache cache(64);
    fill(cache, 64);
    ASSERT_NE(cache.find(qvCookieHandle(1, 0)), nullptr);
    put(cache, qvCookieHandle(65, 0));
    EXPECT_NE(cache.find(qvCookieHandle(1, 0)), nullptr);
    EXPECT_EQ(cache.find(qvCookieHandle(2, 0)), nullptr);
}

TEST_F(qvListCacheTest, Victim_is_null_below_capacity_and_the_back_key_at_it) {
    OwningCache cache(64);
    fill(cache, 63);
    EXPECT_EQ(cache.victim(), nullptr);
    put(cache, qvCookieHandle(64, 0));
    ASSERT_NE(cache.victim(), nullptr);
    EXPECT_EQ(*cache.victim(), qvCookieHandle(1, 0));
    cache.find(qvCookieHandle(1, 0));
    EXPECT_EQ(*cache.victim(), qvCookieHandle(2, 0));
}

TEST_F(qvListCacheTest, Present_key_is_refused_and_the_caller_keeps_its_cookie) {
    OwningCache cache(4);
    put(cache, qvCookieHandle(1, 0));
    qvCookie* const cached = cache.find(qvCookieHandle(1, 0))->get();
    orvane::auto_ptr<qvCookie> mine(new CountedCookie);
    EXPECT_FALSE(cache.insert(qvCookieHandle(1, 0), mine));
    EXPECT_TRUE(mine.owner());
    EXPECT_EQ(cache.find(qvCookieHandle(1, 0))->get(), cached);

    orvane::auto_ptr<qvCookie> given(new CountedCookie);
    EXPECT_TRUE(cache.insert(qvCookieHandle(2, 0), given));
    EXPECT_FALSE(given.owner());
    EXPECT_EQ(cache.find(qvCookieHandle(2, 0))->get(), given.get());
}

TEST_F(qvListCacheTest, Erase_range_is_half_open) {
    OwningCache cache(64);
    for (int kind : {INT_MIN, 0, 3, INT_MAX - 1, INT_MAX}) {
        put(cache, qvCookieHandle(5, kind));
        put(cache, qvCookieHandle(4, kind));
        put(cache, qvCookieHandle(6, kind));
    }
    EXPECT_TRUE(cache.erase_range(qvCookieHandle(5, 0), qvCookieHandle(5, 0)));
    EXPECT_EQ(cache.size(), 15);
    EXPECT_TRUE(cache.erase_range(qvCookieHandle(5, INT_MIN), qvCookieHandle(5, INT_MAX)));
    EXPECT_EQ(cache.size(), 11);
    EXPECT_NE(cache.find(qvCookieHandle(5, INT_MAX)), nullptr);
    EXPECT_EQ(cache.find(qvCookieHandle(5, INT_MAX - 1)), nullptr);
    EXPECT_EQ(cache.find(qvCookieHandle(5, INT_MIN)), nullptr);
    for (long h : {4L, 6L})
        for (int kind : {INT_MIN, 0, 3, INT_MAX - 1, INT_MAX})
            EXPECT_NE(cache.find(qvCookieHandle(h, kind)), nullptr);

    EXPECT_TRUE(cache.erase(qvCookieHandle(4, 0)));
    EXPECT_FALSE(cache.erase(qvCookieHandle(4, 0)));
    EXPECT_EQ(cache.size(), 10);
    EXPECT_TRUE(cache.clear());
    EXPECT_FALSE(cache.clear());
}

TEST_F(qvListCacheTest, Shared_cookie_outlives_its_eviction) {
    SharingCache cache(1);
    qvSafePtr<qvCookie> kept;
    {
        qvSafePtr<qvCookie> cookie(new CountedCookie);
        cookie->time_stamp = 7;
        ASSERT_TRUE(cache.insert(qvCookieHandle(1, 1), cookie));
        kept = *cache.find(qvCookieHandle(1, 1));
    }
    qvSafePtr<qvCookie> next(new CountedCookie);
    cache.insert(qvCookieHandle(2, 1), next);
    EXPECT_EQ(cache.find(qvCookieHandle(1, 1)), nullptr);
    EXPECT_EQ(CountedCookie::alive, 2);
    EXPECT_EQ(kept->time_stamp, 7);
}

TEST(qvListCache, Capacity_below_one_fails) {
    expect_raises<qvAssertionError>([] { OwningCache cache(0); }, "capacity > 0");
    expect_raises<qvAssertionError>([] { OwningCache cache(-1); }, "capacity > 0");
}
