#pragma once
// qvListCache<K, V>: a qvCache kept as a list from the most recently used
// entry (front) to the least recently used (back), with least-recently-used
// eviction. Lookups are linear scans from the front, so the small caches it
// is made for find recently used keys first. Palettes use it with 64
// entries, keyed by qvCookieHandle, holding cookies with shared ownership.
//
// Keeps true: 0 <= size() <= capacity(), capacity() > 0; keys are unique;
// find and a refused insert move their entry to the front. Taking a value
// over moves it into the entry (an owning auto pointer gives its ownership
// up; a counted pointer shares it). K needs == and <.

#include <orvane/attributes/qvCache.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include <list>
#include <utility>

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
        if (find_entry(key) != nullptr)
            return false;
        entries_.emplace_front(key, std::move(value));
        if (size() > capacity_)
            entries_.pop_back();
        return true;
    }

    bool erase_range(K const& from, K const& to) override {
        entries_.remove_if([&](Entry const& entry) { return !(entry.key < from) && entry.key < to; });
        return true;
    }

    bool erase(K const& key) override {
        if (find_entry(key) == nullptr)
            return false;
        entries_.pop_front();
        return true;
    }

    bool clear() override {
        if (entries_.empty())
            return false;
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

    // The entry of the key, moved to the front; null when absent.
    Entry* find_entry(K const& key) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->key == key) {
                entries_.splice(entries_.begin(), entries_, it);
                return &entries_.front();
            }
        }
        return nullptr;
    }

    int capacity_;
    std::list<Entry> entries_;
};
