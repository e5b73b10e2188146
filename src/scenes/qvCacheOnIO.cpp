// qvCacheOnIO: a bounded set of page buffers over a page I/O, evicting by
// the priorities that clients give at unlock.
//
// The victim walk of a miss is two passes over contiguous arrays: the
// candidate search (front to back, strict "lower than the candidate's
// decayed priority", so among equals the entry nearest the front wins) and
// the decay of every priority by 0.9, a pass the compiler vectorises. The
// candidate's decayed value is the same float product that the decay pass
// stores, so the two passes give exactly what one interleaved walk would.
// The walk only runs on a miss of a full cache; hits are one hash lookup.

#include "scenes/qvCacheOnIO.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include "scenes/qvPageLayout.hpp"

#include <utility>

namespace {

[[noreturn]] void raise_error(char const* message) {
    qvRaise(qvErrorFrom<qvCacheOnIO>(message));
}

constexpr float decay = 0.9f;

std::size_t capacity_of(std::size_t cache_bytes) noexcept { return cache_bytes / qvPageBytes; }

}  // namespace

// --- construction and lifetime -----------------------------------------------

qvCacheOnIO::qvCacheOnIO(qvPageIO& io, int cache_bytes, bool read_only)
    : qvCacheOnIO(io, cache_bytes < 0 ? std::size_t{0} : static_cast<std::size_t>(cache_bytes), read_only) {}

qvCacheOnIO::qvCacheOnIO(qvPageIO& io, std::size_t cache_bytes, bool read_only)
    : io_(io), capacity_(capacity_of(cache_bytes)), read_only_(read_only), buffers_(capacity_) {}

qvCacheOnIO::~qvCacheOnIO() {
    try {
        qvCacheOnIO::release();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

// --- locking -----------------------------------------------------------------

void* qvCacheOnIO::lock(long page, bool write) {
    if (write && (read_only_ || sealed_)) raise_error("Attempt to modify a read-only file");
    if (const auto hit = index_.find(page); hit != index_.end()) {
        ++counters_.hits;
        Entry& entry = entries_[hit->second];
        ++locks_[hit->second];
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
        at = entries_.size() - 1;
    }
    try {
        io_.read(page, entries_[at].buffer);
    } catch (...) {
        drop(at);
        throw;
    }
    ++locks_[at];
    entries_[at].dirty = write;
    return entries_[at].buffer;
}

std::ptrdiff_t qvCacheOnIO::find_victim() noexcept {
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
    priorities_[at] = priority;
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

void qvCacheOnIO::release() {
    qvCacheOnIO::flush();
    while (!entries_.empty()) {
        Entry const& front = entries_.back();
        if (locks_.back() > 0) raise_error("Cannot release the cache memory while pages are locked");
        index_.erase(front.page);
        buffers_.give(front.buffer);
        entries_.pop_back();
        priorities_.pop_back();
        locks_.pop_back();
    }
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
    index_.clear();
    buffers_.clear();
}

std::optional<float> qvCacheOnIO::priority_of(long page) const {
    const auto found = index_.find(page);
    if (found == index_.end()) return std::nullopt;
    return priorities_[found->second];
}

// Removes one entry from the middle of the list: the entries in front of it
// move down one place in the arrays.
void qvCacheOnIO::drop(std::size_t at) noexcept {
    index_.erase(entries_[at].page);
    buffers_.give(entries_[at].buffer);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
    priorities_.erase(priorities_.begin() + static_cast<std::ptrdiff_t>(at));
    locks_.erase(locks_.begin() + static_cast<std::ptrdiff_t>(at));
    for (std::size_t i = at; i < entries_.size(); ++i) --index_.find(entries_[i].page)->second;
}
