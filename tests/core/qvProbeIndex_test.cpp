// The probe index's growth: one whose allocation fails leaves every key in
// the slot it had, and the next one succeeds. Its users' tests reach every
// other path (wrapped runs, deletions, growth) through their own models.

#include <orvane/core/qvProbeIndex.hpp>

#include "qvAllocationProbe.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace {

struct Slot {
    std::uint64_t key;
    bool taken;
};

struct Rules {
    bool empty(Slot const& slot) const noexcept { return !slot.taken; }
    std::uint64_t hash(Slot const& slot) const noexcept { return slot.key; }
    Slot vacant() const noexcept { return Slot{0, false}; }
};

std::size_t find(qvProbeIndex<Slot> const& index, std::uint64_t key) {
    return index.probe(key, [&](Slot const& slot) { return !slot.taken || slot.key == key; });
}

// Adds the key as the count-th one.
void add(qvProbeIndex<Slot>& index, std::uint64_t key, std::size_t count) {
    index.make_room_for(count, Rules{});
    index[find(index, key)] = Slot{key, true};
}

}  // namespace

TEST(qvProbeIndex, A_failed_growth_leaves_every_key_in_its_slot) {
    qvProbeIndex<Slot> index(Rules{}.vacant());
    std::vector<std::size_t> slots;
    for (std::uint64_t key = 1; key <= 4; ++key) {  // half of the first 8 slots
        add(index, key, key);
        slots.push_back(find(index, key));
    }
    qv_allocation_probe::allocations_left = 0;
    EXPECT_THROW(index.make_room_for(5, Rules{}), std::bad_alloc);
    qv_allocation_probe::allocations_left = -1;
    for (std::uint64_t key = 1; key <= 4; ++key) {
        EXPECT_EQ(find(index, key), slots[key - 1]) << key;
        EXPECT_TRUE(index[slots[key - 1]].taken) << key;
    }
    EXPECT_FALSE(index[find(index, 5)].taken);

    add(index, 5, 5);
    for (std::uint64_t key = 1; key <= 5; ++key) {
        Slot const& slot = index[find(index, key)];
        EXPECT_TRUE(slot.taken && slot.key == key) << key;
    }
}
