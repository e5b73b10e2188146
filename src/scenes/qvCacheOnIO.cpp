// qvCacheOnIO: a bounded set of page buffers over a page I/O, evicting by
// the priorities that clients give at unlock.
//
// The victim of a miss is the end of a candidate chain: the unlocked entry
// nearest the front, then each later entry strictly lower than the
// candidate's decayed priority (so among equals the entry nearest the
// front wins). Walking every entry for it, and decaying every priority by
// 0.9 on each miss of a full cache, made a miss cost O(capacity): a third
// of a 10M-shape load went there. So the decay is counted (see the header)
// and the chain is followed through a tree of lowest unlocked entries:
// each next candidate is the rightmost position left of the current one
// whose subtree minimum is below the bar. A row of decayed products per
// priority value keeps every value bit for bit what repeated multiplies
// give, so the victims are the same for every lock sequence.
// Hits stay one hash lookup: a lock or unlock that changes whether an entry
// can be a victim only marks its position, and the tree catches up at the
// next full miss.

#include "scenes/qvCacheOnIO.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include "scenes/qvPageLayout.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace {

[[noreturn]] void raise_cache_io_error(char const* message) {
    qvRaise(qvErrorFrom<qvCacheOnIO>(message));
}

constexpr float decay = 0.9f;
// Rows of decayed products kept before the cache decays eagerly instead.
constexpr std::size_t most_rows = 64;
// No row is longer: from the largest float to the smallest subnormal the
// products take under 2,000 steps, after which x × 0.9 rounds back to x.
constexpr std::size_t longest_row = 4096;

bool same_bits(float a, float b) noexcept { return std::memcmp(&a, &b, sizeof a) == 0; }

std::size_t capacity_of(std::size_t cache_bytes) noexcept { return cache_bytes / qvPageBytes; }

}  // namespace

// --- construction and lifetime -----------------------------------------------

qvCacheOnIO::qvCacheOnIO(qvPageIO& io, int cache_bytes, bool read_only)
    : qvCacheOnIO(io, cache_bytes < 0 ? std::size_t{0} : static_cast<std::size_t>(cache_bytes), read_only) {}

qvCacheOnIO::qvCacheOnIO(qvPageIO& io, std::size_t cache_bytes, bool read_only)
    : io_(io), capacity_(capacity_of(cache_bytes)), read_only_(read_only), rows_(1, std::vector<float>{0.0f}), buffers_(capacity_) {}

qvCacheOnIO::~qvCacheOnIO() {
    try {
        qvCacheOnIO::release();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

// --- locking -----------------------------------------------------------------

void* qvCacheOnIO::lock(long page, bool write) { return lock_page(page, write, true); }

void* qvCacheOnIO::lock_page(long page, bool write, bool read) {
    if (write && (read_only_ || sealed_)) raise_cache_io_error("Attempt to modify a read-only file");
    if (const auto hit = index_.find(page); hit != index_.end()) {
        ++counters_.hits;
        Entry& entry = entries_[hit->second];
        if (++locks_[hit->second] == 1) changed(hit->second);
        entry.dirty = entry.dirty || write;
        return entry.buffer;
    }
    ++counters_.misses;
    std::size_t at;
    const std::ptrdiff_t victim = entries_.size() == capacity_ ? find_victim() : -1;
    if (victim >= 0) {
        at = static_cast<std::size_t>(victim);
        Entry& reused = entries_[at];
        if (reused.dirty) write_back(reused);   // raises with the victim as it was
        ++counters_.evictions;
        auto node = index_.extract(reused.page);
        node.key() = page;
        index_.insert(std::move(node));
        reused.page = page;
    } else {
        entries_.reserve(entries_.size() + 1);
        priorities_.reserve(priorities_.size() + 1);
        locks_.reserve(locks_.size() + 1);
        given_at_.reserve(given_at_.size() + 1);
        row_of_.reserve(row_of_.size() + 1);
        unsigned char* const buffer = buffers_.take();
        try {
            index_.emplace(page, entries_.size());
        } catch (...) {
            buffers_.give(buffer);
            throw;
        }
        entries_.push_back(Entry{page, buffer, false});
        priorities_.push_back(0.0f);
        locks_.push_back(0);
        given_at_.push_back(decays_);
        row_of_.push_back(0);   // rows_[0] is 0's
        tree_valid_ = false;
        at = entries_.size() - 1;
    }
    try {
        if (read) io_.read(page, entries_[at].buffer);
    } catch (...) {
        drop(at);
        throw;
    }
    if (++locks_[at] == 1) changed(at);
    entries_[at].dirty = write;
    return entries_[at].buffer;
}

void qvCacheOnIO::write_bytes(long page, std::size_t offset, void const* bytes, std::size_t length, float priority) {
    if (index_.find(page) != index_.end()) {
        qvPageCache::write_bytes(page, offset, bytes, length, priority);
        return;
    }
    if (read_only_ || sealed_) raise_cache_io_error("Attempt to modify a read-only file");
    if (offset == 0 && length == qvPageBytes) {
        std::memcpy(lock_page(page, true, false), bytes, length);
        unlock(page, priority);
        return;
    }
    io_.write_part(page, offset, bytes, length);
    ++counters_.part_writes;
}

std::ptrdiff_t qvCacheOnIO::find_victim() {
    if (eager_) {
        std::ptrdiff_t candidate = -1;
        float bar = 0.0f;   // the candidate's priority after its decay
        for (std::ptrdiff_t i = static_cast<std::ptrdiff_t>(entries_.size()) - 1; i >= 0; --i) {
            const float priority = priorities_[static_cast<std::size_t>(i)];
            if (locks_[static_cast<std::size_t>(i)] == 0 && (candidate < 0 || priority < bar)) {
                candidate = i;
                bar = priority * decay;
            }
        }
        decay_all();
        return candidate;
    }
    refresh_tree();
    const std::size_t n = entries_.size();
    std::ptrdiff_t candidate = front_most(1, 0, tree_size_, n, 0.0f, true);
    while (candidate >= 0) {
        const float bar = current(static_cast<std::size_t>(candidate)) * decay;
        const std::ptrdiff_t lower = front_most(1, 0, tree_size_, static_cast<std::size_t>(candidate), bar, false);
        if (lower < 0) break;
        candidate = lower;
    }
    ++decays_;
    return candidate;
}

float qvCacheOnIO::current(std::size_t at) const noexcept {
    if (eager_) return priorities_[at];
    std::vector<float> const& row = rows_[row_of_[at]];
    const std::uint64_t k = decays_ - given_at_[at];
    return row[k < row.size() ? static_cast<std::size_t>(k) : row.size() - 1];
}

void qvCacheOnIO::set_priority(std::size_t at, float priority) {
    priorities_[at] = priority;
    if (eager_) return;
    std::size_t r = 0;
    while (r < rows_.size() && !same_bits(rows_[r][0], priority)) ++r;
    if (r == rows_.size()) {
        if (std::isnan(priority) || rows_.size() == most_rows) {
            // Order is no longer kept (NaN), or the rows would take too
            // much room: the rule as written from now on.
            decay_eagerly();
            priorities_[at] = priority;
            return;
        }
        try {
            std::vector<float> row{priority};
            while (row.size() < longest_row) {
                const float next = row.back() * decay;
                if (same_bits(next, row.back())) break;
                row.push_back(next);
            }
            rows_.push_back(std::move(row));
        } catch (std::bad_alloc const&) {
            decay_eagerly();
            priorities_[at] = priority;
            return;
        }
    }
    row_of_[at] = static_cast<std::uint16_t>(r);
    given_at_[at] = decays_;
}

void qvCacheOnIO::decay_eagerly() noexcept {
    for (std::size_t i = 0; i < entries_.size(); ++i) priorities_[i] = current(i);
    eager_ = true;
    tree_valid_ = false;
    std::vector<std::int32_t>().swap(tree_);
    stale_.clear();
}

void qvCacheOnIO::changed(std::size_t at) {
    if (!tree_valid_ || stale_mark_[at] != 0) return;
    stale_mark_[at] = 1;
    stale_.push_back(static_cast<std::uint32_t>(at));   // reserved: each position once
}

void qvCacheOnIO::refresh_tree() {
    const std::size_t n = entries_.size();
    if (tree_valid_ && stale_.size() <= n / 8) {
        for (std::uint32_t at : stale_) {
            tree_leaf(at);
            stale_mark_[at] = 0;
        }
        stale_.clear();
        return;
    }
    tree_valid_ = false;
    std::size_t size = 1;
    while (size < n) size *= 2;
    tree_.assign(2 * size, -1);
    stale_mark_.assign(n, 0);
    stale_.clear();
    stale_.reserve(n);
    tree_size_ = size;
    for (std::size_t i = 0; i < n; ++i) tree_[size + i] = locks_[i] == 0 ? static_cast<std::int32_t>(i) : -1;
    for (std::size_t node = size - 1; node >= 1; --node) {
        const std::int32_t a = tree_[2 * node], b = tree_[2 * node + 1];
        tree_[node] = a < 0 ? b : b < 0 ? a : current(static_cast<std::size_t>(b)) < current(static_cast<std::size_t>(a)) ? b : a;
    }
    tree_valid_ = true;
}

void qvCacheOnIO::tree_leaf(std::size_t at) noexcept {
    std::size_t node = tree_size_ + at;
    tree_[node] = locks_[at] == 0 ? static_cast<std::int32_t>(at) : -1;
    for (node /= 2; node >= 1; node /= 2) {
        const std::int32_t a = tree_[2 * node], b = tree_[2 * node + 1];
        tree_[node] = a < 0 ? b : b < 0 ? a : current(static_cast<std::size_t>(b)) < current(static_cast<std::size_t>(a)) ? b : a;
    }
}

// The list's front is the highest position: the nearest entry to the front
// below `limit` is the rightmost one that qualifies.
std::ptrdiff_t qvCacheOnIO::front_most(std::size_t node, std::size_t lo, std::size_t hi, std::size_t limit, float bar,
                                       bool any) const noexcept {
    if (lo >= limit) return -1;
    const std::int32_t lowest = tree_[node];
    if (lowest < 0 || (!any && !(current(static_cast<std::size_t>(lowest)) < bar))) return -1;
    if (hi - lo == 1) return lowest;
    const std::size_t mid = lo + (hi - lo) / 2;
    const std::ptrdiff_t right = front_most(2 * node + 1, mid, hi, limit, bar, any);
    return right >= 0 ? right : front_most(2 * node, lo, mid, limit, bar, any);
}

// In blocks of eight with a fixed count, which the compiler turns into
// vector multiplies even where it vectorises no loop of unknown length.
void qvCacheOnIO::decay_all() noexcept {
    float* const priority = priorities_.data();
    const std::size_t n = priorities_.size();
    const std::size_t whole = n - n % 8;
    for (std::size_t i = 0; i < whole; i += 8) {
        for (std::size_t j = 0; j < 8; ++j) priority[i + j] *= decay;
    }
    for (std::size_t i = whole; i < n; ++i) priority[i] *= decay;
}

void qvCacheOnIO::unlock(long page, float priority) {
    const auto found = index_.find(page);
    QV_ASSERT_TEXT(found != index_.end(), "p != pages.end()");
    const std::size_t at = found->second;
    Entry& entry = entries_[at];
    QV_ASSERT(locks_[at] > 0);
    --locks_[at];
    set_priority(at, priority);
    if (locks_[at] == 0) changed(at);
    if (entries_.size() <= capacity_ || locks_[at] > 0) return;
    if (entry.dirty) {
        try {
            write_back(entry);
        } catch (qvError const&) {
            return;   // kept, still dirty: the next flush or release reports it
        }
    }
    drop(at);
}

// --- writing back and giving up ----------------------------------------------

void qvCacheOnIO::write_back(Entry& entry) {
    io_.write(entry.page, entry.buffer);
    ++counters_.write_backs;
    entry.dirty = false;
}

void qvCacheOnIO::flush() {
    for (std::size_t i = entries_.size(); i-- > 0;) {
        Entry& entry = entries_[i];
        if (!entry.dirty) continue;
        const bool locked = locks_[i] > 0;
        write_back(entry);
        entry.dirty = locked;   // its holder may still change it
    }
}

bool qvCacheOnIO::seal() noexcept {
    sealed_ = true;
    try {
        qvCacheOnIO::flush();
    } catch (qvError const&) {
        return false;
    }
    return std::none_of(entries_.begin(), entries_.end(), [](Entry const& entry) { return entry.dirty; });
}

void qvCacheOnIO::release() {
    if (open_streams() != 0) raise_cache_io_error("Cannot release the cache memory while pages are locked");
    qvCacheOnIO::flush();
    while (!entries_.empty()) {
        Entry const& front = entries_.back();
        if (locks_.back() > 0) raise_cache_io_error("Cannot release the cache memory while pages are locked");
        index_.erase(front.page);
        buffers_.give(front.buffer);
        entries_.pop_back();
        priorities_.pop_back();
        locks_.pop_back();
        given_at_.pop_back();
        row_of_.pop_back();
    }
    tree_valid_ = false;
    std::vector<Entry>().swap(entries_);
    std::vector<float>().swap(priorities_);
    std::vector<int>().swap(locks_);
    std::unordered_map<long, std::size_t>().swap(index_);
    buffers_.clear();
}

void qvCacheOnIO::discard() noexcept {
    for (Entry const& entry : entries_) buffers_.give(entry.buffer);
    entries_.clear();
    priorities_.clear();
    locks_.clear();
    given_at_.clear();
    row_of_.clear();
    tree_valid_ = false;
    index_.clear();
    buffers_.clear();
}

std::optional<float> qvCacheOnIO::priority_of(long page) const {
    const auto found = index_.find(page);
    if (found == index_.end()) return std::nullopt;
    return current(found->second);
}

// Removes one entry from the middle of the list: the entries in front of it
// move down one place in the arrays.
void qvCacheOnIO::drop(std::size_t at) noexcept {
    index_.erase(entries_[at].page);
    buffers_.give(entries_[at].buffer);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
    priorities_.erase(priorities_.begin() + static_cast<std::ptrdiff_t>(at));
    locks_.erase(locks_.begin() + static_cast<std::ptrdiff_t>(at));
    given_at_.erase(given_at_.begin() + static_cast<std::ptrdiff_t>(at));
    row_of_.erase(row_of_.begin() + static_cast<std::ptrdiff_t>(at));
    tree_valid_ = false;
    for (std::size_t i = at; i < entries_.size(); ++i) --index_.find(entries_[i].page)->second;
}
