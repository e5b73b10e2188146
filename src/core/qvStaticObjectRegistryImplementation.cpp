// The integer-keyed registry: see qvStaticObjectRegistryImplementation.hpp.

#include "core/qvStaticObjectRegistryImplementation.hpp"

#include <algorithm>

namespace {

constexpr std::size_t initial_bucket_count = 17;

}  // namespace

qvStaticObjectRegistryInternal* qvStaticObjectRegistryInternal::create() {
    return new qvStaticObjectRegistryImplementation;
}

// ---------------------------------------------------------------------------
// Buckets

std::size_t qvStaticObjectRegistryImplementation::bucket_index(long key,
                                                                std::size_t bucket_count) noexcept {
    return static_cast<unsigned long>(key) % bucket_count;
}

qvStaticObjectRegistryImplementation::Bucket const* qvStaticObjectRegistryImplementation::bucket_of(
    long key) const noexcept {
    if (buckets_.empty())
        return nullptr;
    return &buckets_[bucket_index(key, buckets_.size())];
}

qvStaticObjectRegistryImplementation::Entry const* qvStaticObjectRegistryImplementation::find(
    long key) const noexcept {
    Bucket const* const bucket = bucket_of(key);
    if (bucket == nullptr)
        return nullptr;
    const auto p = std::find_if(bucket->begin(), bucket->end(),
                                [key](Entry const& e) { return e.key == key; });
    return p == bucket->end() ? nullptr : &*p;
}

// Makes room for `entries` entries at a load factor of at most 1.
void qvStaticObjectRegistryImplementation::grow_for(std::size_t entries) {
    if (entries <= buckets_.size())
        return;
    const std::size_t count =
        buckets_.empty() ? initial_bucket_count : 2 * buckets_.size() + 1;
    std::vector<Bucket> grown(count);
    for (Bucket const& bucket : buckets_)
        for (Entry const& e : bucket)
            grown[bucket_index(e.key, count)].push_back(e);
    buckets_.swap(grown);
}

// ---------------------------------------------------------------------------
// Operations

bool qvStaticObjectRegistryImplementation::insert(long key, void* object) {
    if (Entry const* const present = find(key))
        return present->object == object;
    grow_for(size_ + 1);
    buckets_[bucket_index(key, buckets_.size())].push_back(Entry{key, object});
    ++size_;
    return true;
}

long qvStaticObjectRegistryImplementation::remove(long key) {
    Entry const* const present = find(key);
    if (present == nullptr)
        return 0;
    Bucket& bucket = buckets_[bucket_index(key, buckets_.size())];
    bucket[static_cast<std::size_t>(present - bucket.data())] = bucket.back();
    bucket.pop_back();
    --size_;
    return 1;
}

void* qvStaticObjectRegistryImplementation::lookup(long key) const {
    Entry const* const present = find(key);
    return present == nullptr ? nullptr : present->object;
}
