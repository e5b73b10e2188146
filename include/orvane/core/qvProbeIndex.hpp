#pragma once
// qvProbeIndex<Slot>: the slots of an open-addressing hash index, for a
// container whose entries live elsewhere (a list, a tree) and which wants
// each key's entry after one short probe run instead of a walk or a descent.
//
// A key's home is the top bits of its hash times 2^64 over the golden ratio
// (Fibonacci hashing): hashes that differ only in their low bits or by small
// steps, as neighbouring handles do, still land far apart. Probing is
// linear, and deleting shifts the later slots of the run back instead of
// leaving a tombstone, so no lookup ever walks past slots of dead keys.
//
// The index does not know what a slot holds. Each walk that must read a
// slot takes the user's rules for them, an object with
//   bool empty(Slot const&) const;          // whether the slot is free
//   std::uint64_t hash(Slot const&) const;  // the hash its key was placed by
//   Slot vacant() const;                    // a free slot
// and a probe takes the test that ends it: the slot is free or holds the key.
//
// Keeps true: 2 to the (64 - shift_) slots, at least 8; at most half of them
// taken, provided the user makes room before each insertion; every key has
// exactly one slot, reached from its home without crossing a free one,
// provided keys are stored only in the slot their probe ended on and slots
// are freed only through vacate. A failed growth leaves the index as it was.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

template <class Slot>
class qvProbeIndex {
public:
    explicit qvProbeIndex(Slot const& vacant) : slots_(8, vacant) {}

    Slot& operator[](std::size_t slot) noexcept { return slots_[slot]; }
    Slot const& operator[](std::size_t slot) const noexcept { return slots_[slot]; }

    // The first slot from the hash's home on where `ends` holds.
    template <class Ends>
    std::size_t probe(std::uint64_t hash, Ends const& ends) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t slot = home(hash);
        for (;; slot = (slot + 1) & mask) {
            if (ends(slots_[slot]))
                return slot;
        }
    }

    // Doubles the slots if `count` keys would take more than half of them;
    // called before an insertion, so that a failure comes before any change.
    template <class Rules>
    void make_room_for(std::size_t count, Rules const& rules) {
        if (count * 2 > slots_.size())
            grow(rules);
    }

    // Frees a taken slot; the slots after it in its run move back so that
    // none is cut off from its home.
    template <class Rules>
    void vacate(std::size_t hole, Rules const& rules) {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t next = (hole + 1) & mask; !rules.empty(slots_[next]);
             next = (next + 1) & mask) {
            const std::size_t wanted = home(rules.hash(slots_[next]));
            // The slot at `next` may fill the hole unless its home lies
            // cyclically after the hole, up to `next`.
            const bool stays = hole < next ? (hole < wanted && wanted <= next) : (hole < wanted || wanted <= next);
            if (!stays) {
                slots_[hole] = slots_[next];
                hole = next;
            }
        }
        slots_[hole] = rules.vacant();
    }

    // Frees every slot and keeps their number.
    template <class Rules>
    void clear(Rules const& rules) {
        std::fill(slots_.begin(), slots_.end(), rules.vacant());
    }

    void swap(qvProbeIndex& other) noexcept {
        slots_.swap(other.slots_);
        std::swap(shift_, other.shift_);
    }

private:
    std::size_t home(std::uint64_t hash) const noexcept {
        return static_cast<std::size_t>((hash * UINT64_C(0x9E3779B97F4A7C15)) >> shift_);
    }

    // Only the new vector's allocation can fail, and it comes first. Out of
    // line: it runs once per doubling, and the insertions stay small.
    template <class Rules>
    [[gnu::noinline]] void grow(Rules const& rules) {
        std::vector<Slot> larger(slots_.size() * 2, rules.vacant());
        slots_.swap(larger);
        --shift_;
        const std::size_t mask = slots_.size() - 1;
        for (Slot const& moved : larger) {
            if (rules.empty(moved))
                continue;
            std::size_t slot = home(rules.hash(moved));
            while (!rules.empty(slots_[slot]))
                slot = (slot + 1) & mask;
            slots_[slot] = moved;
        }
    }

    std::vector<Slot> slots_;
    int shift_ = 61;
};
