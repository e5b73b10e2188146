#pragma once
// qvCacheOnIO: the page cache of a page file on a block file. It keeps up to
// `capacity` pages (cache size / 16,384) in buffers, reads a page through
// its page I/O when it is locked and not cached, and writes changed pages
// back when their buffer is reused, flushed or released.
//
// Keeps true:
//  - a cached page is clean (its buffer equals storage) or dirty (locked
//    for writing since it was last written); a dirty page is written back
//    before its buffer holds anything else, so no change is lost;
//  - a locked page is never a victim, and its buffer stays at its address
//    until its last unlock;
//  - a buffer is never handed out as a page it was not read for: a read
//    that fails drops the entry it was filling;
//  - the entries form a list, new ones at its front; every walk runs from
//    the front. On a miss while exactly `capacity` pages are cached, the
//    walk picks the victim: an unlocked entry becomes the candidate when
//    there is none yet or when its priority is strictly below the
//    candidate's, and every entry's priority is multiplied by 0.9 (float)
//    once it has been compared, the candidate's included (so an entry is
//    compared with the candidate's decayed priority);
//  - the capacity is soft: while every cached page is locked, a miss adds a
//    buffer, and an entry beyond the capacity is written back and dropped
//    at its last unlock;
//  - unlock raises no I/O error: a page whose write-back at unlock fails
//    stays cached and dirty, and the next flush or release reports it.
// The list is kept as arrays in reverse (the front is the last element),
// so a new entry is an append, beside an array of lock counts; a hash
// index makes a hit O(1).
// The decay is counted, not done: an entry keeps the priority it was given
// and the decay count of that moment, and its priority now is that value
// multiplied by 0.9 (float, rounded each time) once per decay since, read
// from a table of such products per priority value given. Rounding keeps
// order, so a tree over the list's positions that holds each range's
// lowest unlocked entry stays right as everything decays; the victim walk
// follows the candidate chain through it in O(log capacity) steps per
// candidate instead of visiting every entry. Many distinct priorities, or
// a NaN, make the cache decay every entry on each full miss instead, as
// the rule is written, from then on.
// Errors are qvErrorFrom<qvCacheOnIO>; those of the page I/O pass through.

#include <orvane/scenes/qvPageCache.hpp>
#include <orvane/scenes/qvPageIO.hpp>

#include "scenes/qvPageBufferPool.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

class qvCacheOnIO : public virtual qvPageCache {
public:
    // What the cache did, for benchmarks and tests.
    struct Counters {
        std::uint64_t hits = 0;
        std::uint64_t misses = 0;
        std::uint64_t evictions = 0;    // victims whose buffer was reused
        std::uint64_t write_backs = 0;  // pages written through the page I/O
        std::uint64_t part_writes = 0;  // ranges of pages not cached, written through the page I/O
    };

    // A negative size counts as 0: no page stays cached once unlocked.
    qvCacheOnIO(qvPageIO& io, int cache_bytes, bool read_only);
    qvCacheOnIO(qvPageIO& io, std::size_t cache_bytes, bool read_only);
    qvCacheOnIO(qvCacheOnIO const&) = delete;
    qvCacheOnIO& operator=(qvCacheOnIO const&) = delete;
    // Releases; a page still locked, or a write-back that fails, is a
    // programming error of the owner (who releases first) and takes the
    // qvError::abort way.
    ~qvCacheOnIO();

    // "Attempt to modify a read-only file" for a write lock on a read-only
    // cache, before anything changes.
    void* lock(long page, bool write) override;
    // The assertion "p != pages.end()" for a page that is not cached.
    void unlock(long page, float priority) override;
    // A cached page is changed in its buffer, as a write lock would; one
    // not cached is changed in storage through the page I/O's write_part
    // and stays out of the cache, so it neither waits for a buffer nor
    // pushes a page out. A page written whole (a new one) is cached as a
    // write lock would cache it, but not read first. Refused as lock
    // refuses a write lock.
    void write_bytes(long page, std::size_t offset, void const* bytes, std::size_t length, float priority) override;
    // Writes every dirty page; one still locked stays dirty.
    void flush() override;
    // flush(), then frees the entries from the front; a locked one (or a
    // page stream still open, before anything) stops it with "Cannot
    // release the cache memory while pages are locked".
    void release() override;

    bool read_only() const noexcept { return read_only_; }
    // From now on write locks are refused as on a read-only file (a
    // session that ended cleanly), and every dirty page is written at once,
    // so that nothing of the session waits here to be written. True when
    // no page is left dirty; false when a write failed or a dirty page is
    // still locked, for reading or writing (its holder may change it
    // still: it stays dirty, for the owner's close). A page is dirty from
    // a write lock until it is written while no lock holds it: by a flush
    // (this one's too), or when its buffer goes to another page, at its
    // unlock over a full cache (a cache of 0 pages: every unlock) or as a
    // victim. A page a flush wrote while it was locked stays dirty.
    bool seal() noexcept;
    std::size_t capacity() const noexcept { return capacity_; }
    std::size_t cached_pages() const noexcept { return entries_.size(); }
    Counters const& counters() const noexcept { return counters_; }
    std::size_t bytes_held() const noexcept { return buffers_.bytes_held(); }
    // The priority of a cached page; none when the page is not cached.
    std::optional<float> priority_of(long page) const;

protected:
    // Frees every entry without writing anything back: only for an owner
    // whose construction failed and whose release failed too.
    void discard() noexcept;

private:
    struct Entry {
        long page;
        unsigned char* buffer;
        bool dirty;
    };

    // lock, reading the page into its buffer only when `read`.
    void* lock_page(long page, bool write, bool read);
    std::ptrdiff_t find_victim();
    void decay_all() noexcept;
    // The entry's priority now.
    float current(std::size_t at) const noexcept;
    // Sets the priority given at unlock (decayed from the next decay on).
    void set_priority(std::size_t at, float priority);
    // Gives up the counted decay: every priority made current.
    void decay_eagerly() noexcept;
    // The tree of lowest unlocked entries: marks a position changed, brings
    // the tree up to date, and finds the entry nearest the front below
    // `limit` whose priority is below `bar` (any unlocked one when `any`).
    void changed(std::size_t at);
    void refresh_tree();
    void tree_leaf(std::size_t at) noexcept;
    std::ptrdiff_t front_most(std::size_t node, std::size_t lo, std::size_t hi, std::size_t limit, float bar,
                              bool any) const noexcept;
    void write_back(Entry& entry);
    void drop(std::size_t index) noexcept;

    qvPageIO& io_;
    const std::size_t capacity_;
    const bool read_only_;
    bool sealed_ = false;
    // The list, front last, in three arrays of the same order: the victim
    // walk reads only the two compact ones.
    std::vector<Entry> entries_;
    std::vector<float> priorities_;   // as given (as current once eager)
    std::vector<int> locks_;
    // Counted decay: decays so far, and per entry the count when its
    // priority was given and its row of decayed products.
    bool eager_ = false;
    std::uint64_t decays_ = 0;
    std::vector<std::uint64_t> given_at_;
    std::vector<std::uint16_t> row_of_;
    std::vector<std::vector<float>> rows_;   // rows_[r][k]: k decays of rows_[r][0]
    // The tree (leaves at tree_size_ + position; -1: no unlocked entry) and
    // the positions changed since it was last brought up to date.
    std::vector<std::int32_t> tree_;
    std::size_t tree_size_ = 0;
    bool tree_valid_ = false;
    std::vector<std::uint32_t> stale_;
    std::vector<unsigned char> stale_mark_;
    std::unordered_map<long, std::size_t> index_;   // page -> position in entries_
    qvPageBufferPool buffers_;
    Counters counters_;
};
