#include <orvane/core/qvStaticObjectRegistryInternal.hpp>

#include "core/qvStaticObjectRegistryImplementation.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

namespace {

int tag_p, tag_q;
void* const p = &tag_p;
void* const q = &tag_q;

using Registry = std::unique_ptr<qvStaticObjectRegistryInternal>;
Registry make() { return Registry(qvStaticObjectRegistryInternal::create()); }

// Keys that collide often for small bucket counts, negatives included.
std::vector<long> spread_keys(int n) {
    std::vector<long> keys;
    for (long i = 0; i < n; ++i)
        keys.push_back((i % 2 == 0 ? 1 : -1) * i * 1024 + i % 3);
    return keys;
}

}  // namespace

TEST(qvStaticObjectRegistry, First_object_keeps_its_key) {
    Registry r = make();
    EXPECT_TRUE(r->insert(5, p));
    EXPECT_TRUE(r->insert(5, p));
    EXPECT_FALSE(r->insert(5, q));
    EXPECT_EQ(r->lookup(5), p);
    EXPECT_EQ(r->remove(5), 1);
    EXPECT_EQ(r->remove(5), 0);
    EXPECT_EQ(r->lookup(5), nullptr);
    EXPECT_TRUE(r->insert(5, q));
    EXPECT_EQ(r->lookup(5), q);
}

TEST(qvStaticObjectRegistry, Absent_keys_give_zero_and_null) {
    Registry r = make();
    EXPECT_EQ(r->lookup(1), nullptr);
    EXPECT_EQ(r->remove(1), 0);
    r->insert(1, p);
    EXPECT_EQ(r->lookup(18), nullptr);   // same bucket as 1 among 17
    EXPECT_EQ(r->remove(18), 0);
    EXPECT_EQ(r->lookup(1), p);
}

TEST(qvStaticObjectRegistry, Negative_and_extreme_keys_are_keys_like_any_other) {
    Registry r = make();
    for (long key : {-1L, LONG_MIN, LONG_MAX, 0L})
        EXPECT_TRUE(r->insert(key, key < 0 ? p : q));
    EXPECT_EQ(r->lookup(-1), p);
    EXPECT_EQ(r->lookup(LONG_MIN), p);
    EXPECT_EQ(r->lookup(LONG_MAX), q);
    EXPECT_EQ(r->lookup(0), q);
    EXPECT_EQ(r->lookup(1), nullptr);
    EXPECT_EQ(r->remove(-1), 1);
    EXPECT_EQ(r->lookup(LONG_MIN), p);
}

TEST(qvStaticObjectRegistry, Ten_thousand_keys_survive_growth_and_half_removal) {
    qvStaticObjectRegistryImplementation r;
    const std::vector<long> keys = spread_keys(10000);
    std::vector<int> objects(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        ASSERT_TRUE(r.insert(keys[i], &objects[i])) << keys[i];
    EXPECT_GE(r.bucket_count(), keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        ASSERT_EQ(r.lookup(keys[i]), &objects[i]) << keys[i];
    for (std::size_t i = 0; i < keys.size(); i += 2)
        ASSERT_EQ(r.remove(keys[i]), 1) << keys[i];
    for (std::size_t i = 0; i < keys.size(); ++i)
        ASSERT_EQ(r.lookup(keys[i]), i % 2 == 0 ? nullptr : &objects[i]) << keys[i];
}
