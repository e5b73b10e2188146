#pragma once
// qvListCache<K, V>: a qvCache kept as a list from the most recently used
// entry (front) to the least recently used (back), with least-recently-used
// eviction. Palettes use it with 64 entries, keyed by qvCookieHandle,
// holding cookies with shared ownership.
//
// Beside the list a qvProbeIndex, each slot with its key's hash, gives each
// key's list position, so a lookup costs one short probe run instead of a
// walk along the list. A drawing whose attribute handles outnumber the
// entries misses on every cookie, and three walks of 64 entries per miss
// (find, then replace's erase and insert) were half the time of such a
// drawing.
//
// Keeps true: 0 <= size() <= capacity(), capacity() > 0; keys are unique;
// find and a refused insert move their entry to the front. Taking a value
// over moves it into the entry (an owning auto pointer gives its ownership
// up; a counted pointer shares it). The index holds exactly the list's
// entries, one slot each, under qvProbeIndex's rules; empty slots hold the
// list's end. K needs == and < and a qvListCacheHash (std::hash by default).

#include <orvane/attributes/qvCache.hpp>
#include <orvane/attributes/qvCookieHandle.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvProbeIndex.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <list>
#include <memory>
#include <type_traits>
#include <utility>

template <class K>
struct qvListCacheHash {
    std::size_t operator()(K const& key) const { return std::hash<K>{}(key); }
};

template <>
struct qvListCacheHash<qvCookieHandle> {
    std::size_t operator()(qvCookieHandle const& key) const noexcept {
        // The kinds of one attribute are neighbours; the index spreads them.
        return static_cast<std::size_t>((static_cast<std::uint64_t>(key.handle) << 3) +
                                        static_cast<std::uint64_t>(static_cast<std::uint32_t>(key.kind)));
    }
};

template <class K, class V>
class qvListCache : public qvCache<K, V> {
public:
    explicit qvListCache(int capacity) : capacity_(capacity) {
        QV_ASSERT_TEXT(capacity > 0, "capacity > 0");
    }
    qvListCache(qvListCache const&) = delete;
    qvListCache& operator=(qvListCache const&) = delete;

    int capacity() const override { return capacity_; }
    int size() const override { return static_cast<int>(entries_.size()); }

    V* find(K const& key) override {
        Entry* const entry = find_entry(key);
        return entry != nullptr ? &entry->value : nullptr;
    }

    bool insert(K const& key, V& value) override {
        const std::size_t hash = hash_of(key);
        if (Position const found = index_[probe(key, hash)].position; found != entries_.end()) {
            entries_.splice(entries_.begin(), entries_, found);
            return false;
        }
        if constexpr (std::is_nothrow_copy_constructible_v<K> && std::is_nothrow_move_constructible_v<V>) {
            if (size() == capacity_) {
                // The least recent entry's node takes the new one, so a miss
                // of a full cache allocates nothing.
                const Position reused = std::prev(entries_.end());
                unindex(reused);
                std::destroy_at(&*reused);
                std::construct_at(&*reused, key, std::move(value));
                entries_.splice(entries_.begin(), entries_, reused);
                index_[probe(key, hash)] = Slot{hash, reused};
                return true;
            }
        }
        // Room in the index first: a failed growth leaves everything as it was.
        index_.make_room_for(entries_.size() + 1, IndexRules{entries_.end()});
        entries_.emplace_front(key, std::move(value));
        index_[probe(key, hash)] = Slot{hash, entries_.begin()};
        if (size() > capacity_)
            remove(std::prev(entries_.end()));
        return true;
    }

    bool erase_range(K const& from, K const& to) override {
        for (auto it = entries_.begin(); it != entries_.end();) {
            auto const next = std::next(it);
            if (!(it->key < from) && it->key < to)
                remove(it);
            it = next;
        }
        return true;
    }

    // Deleting the entry where it stands leaves the others in the order a
    // move to the front and a deletion there would.
    bool erase(K const& key) override {
        Position const found = index_[probe(key, hash_of(key))].position;
        if (found == entries_.end())
            return false;
        remove(found);
        return true;
    }

    bool clear() override {
        if (entries_.empty())
            return false;
        index_.clear(IndexRules{entries_.end()});
        entries_.clear();
        return true;
    }

    K const* victim() const override {
        return size() < capacity_ ? nullptr : &entries_.back().key;
    }

private:
    struct Entry {
        Entry(K const& k, V&& v) : key(k), value(std::move(v)) {}
        K key;
        V value;
    };
    using Position = typename std::list<Entry>::iterator;
    struct Slot {
        std::size_t hash;
        Position position;  // the list's end when the slot is empty
    };
    struct IndexRules {
        Position end;
        bool empty(Slot const& slot) const noexcept { return slot.position == end; }
        std::uint64_t hash(Slot const& slot) const noexcept { return slot.hash; }
        Slot vacant() const noexcept { return Slot{0, end}; }
    };

    // The entry of the key, moved to the front; null when absent.
    Entry* find_entry(K const& key) {
        const Position it = index_[probe(key, hash_of(key))].position;
        if (it == entries_.end())
            return nullptr;
        entries_.splice(entries_.begin(), entries_, it);
        return &*it;
    }

    static std::size_t hash_of(K const& key) { return qvListCacheHash<K>{}(key); }

    // The slot holding the key, or the empty slot that ends its probe run.
    // Keys are compared only where the hashes agree, so a probe rarely
    // leaves the index for the list.
    std::size_t probe(K const& key, std::size_t hash) const {
        return index_.probe(hash, [&](Slot const& s) {
            return s.position == entries_.end() || (s.hash == hash && s.position->key == key);
        });
    }

    // Drops the entry and its slot.
    void remove(Position it) {
        unindex(it);
        entries_.erase(it);
    }

    void unindex(Position it) {
        index_.vacate(probe(it->key, hash_of(it->key)), IndexRules{entries_.end()});
    }

    int capacity_;
    std::list<Entry> entries_;
    qvProbeIndex<Slot> index_{Slot{0, entries_.end()}};
};
