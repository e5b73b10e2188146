#pragma once
// qvCache<K, V>: a bounded cache of values by key.
//
// Keeps true: at most capacity() entries; every entry owns its value, which
// the cache took over at insert and destroys with the entry.

template <class K, class V>
class qvCache {
public:
    // Destroys every entry with its value.
    virtual ~qvCache() = default;

    virtual int capacity() const = 0;
    virtual int size() const = 0;
    // The value of the key, or null; a hit counts as a use.
    virtual V* find(K const& key) = 0;
    // False, leaving the value with the caller, when the key is present;
    // otherwise takes the value over (making room when full) and gives true.
    virtual bool insert(K const& key, V& value) = 0;
    // Destroys every entry with from <= key < to.
    virtual bool erase_range(K const& from, K const& to) = 0;
    // False when the key is absent.
    virtual bool erase(K const& key) = 0;
    // False when already empty.
    virtual bool clear() = 0;
    // The key the next insert would evict, or null while there is room.
    virtual K const* victim() const = 0;

protected:
    qvCache() noexcept = default;
    qvCache(qvCache const&) = default;
    qvCache& operator=(qvCache const&) = default;
};
