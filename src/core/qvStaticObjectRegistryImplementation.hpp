#pragma once
// qvStaticObjectRegistryImplementation: a chained hash table from a long key
// to an object pointer.
//
// Keeps true:
//  - the entry of a key sits in bucket (key as unsigned) % bucket count, and
//    a key appears at most once in the whole table;
//  - `size_` is the number of entries; once the table has buckets, there
//    are at least as many buckets as entries (load factor at most 1);
//  - bucket counts are odd (17, 35, 71, ...), so keys that are multiples of
//    a power of two still spread over the buckets;
//  - growth builds the new bucket array beside the old one and swaps it in,
//    so a failed allocation leaves the table as it was.

#include <orvane/core/qvStaticObjectRegistryInternal.hpp>

#include <cstddef>
#include <vector>

class qvStaticObjectRegistryImplementation final : public qvStaticObjectRegistryInternal {
public:
    qvStaticObjectRegistryImplementation() = default;

    bool insert(long key, void* object) override;
    long remove(long key) override;
    void* lookup(long key) const override;

    // The number of buckets, for tests of the growth.
    std::size_t bucket_count() const noexcept { return buckets_.size(); }

private:
    struct Entry {
        long key;
        void* object;
    };
    using Bucket = std::vector<Entry>;

    static std::size_t bucket_index(long key, std::size_t bucket_count) noexcept;
    Bucket const* bucket_of(long key) const noexcept;
    Entry const* find(long key) const noexcept;
    void grow_for(std::size_t entries);

    std::vector<Bucket> buckets_;
    std::size_t size_ = 0;
};
