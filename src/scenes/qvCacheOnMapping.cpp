// qvCacheOnMapping: one view of the whole file, grown where it lies, or
// remade only while no page is locked.
//
// The file on disk follows the view: map(size) and grow(size) of a writable
// mapping set the file to the view's length (growing with reserved
// blocks). The view grows in place while its range has room, locked pages
// or not. Once the range is full (or where none was set aside) the view
// moves, and the pages between the limit and `mapped` are the red zone the
// allocator grows into while pages are locked; the deferred remap at the
// last unlock makes room again. Pages are locked only within a call, so
// that moment comes at the end of every call, and the view moves there
// early, while its range still holds a growth, to keep the red zone for
// operations that take more than one growth. A range twice the view each
// time makes the moves one per doubling of the file, and a move keeps the
// pages faulted in (the mapping moves its view rather than mapping anew).
// A growth the disk refuses leaves the red zone in either case, and costs
// one refused reservation: the mapping asks for the blocks before it moves
// anything, and the cache asks again when a limit wants room, not at each
// of the many unlocked moments between (a page stream locks at each copy).
// A view that grows in place needs no such moment; one that must move gets
// two after each limit that wants room, the end of its operation and the
// start of the next, so that an operation holding a page finds room.
// The refusal is kept until a view grows, and a limit that overflows raises
// it rather than the red zone's own message: a host tells a full disk from
// a view that locked pages kept still, whichever ask met the full disk.
// The view is checked after every map: only a view that covers what the
// cache hands out is taken.

#include "scenes/qvCacheOnMapping.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include "scenes/qvPageLayout.hpp"

#include <climits>

namespace {

[[noreturn]] void raise_mapping_cache_error(char const* message) {
    qvRaise(qvErrorFrom<qvCacheOnMapping>(message));
}

}  // namespace

// --- construction and lifetime -----------------------------------------------

qvCacheOnMapping::qvCacheOnMapping(qvFileMapping& mapping, long headroom, long growth)
    : mapping_(mapping), headroom_(headroom), growth_(growth), read_only_(mapping.read_only()),
      opened_bytes_(mapping.size()) {
    QV_ASSERT(headroom >= 0 && growth >= headroom);
    try {
        const long long pages = opened_bytes_ >> qvPageShift;
        if (pages > qvMaxPageCount) raise_mapping_cache_error("Cannot create file mapping");
        limit_ = static_cast<long>(pages);
        map_pages(limit_ + headroom_);
    } catch (...) {
        abandon();
        throw;
    }
}

qvCacheOnMapping::~qvCacheOnMapping() {
    try {
        close();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

void qvCacheOnMapping::close() {
    if (closed_) return;
    if (!locked_pages_.empty() || open_streams() != 0)
        raise_mapping_cache_error("Cannot release the cache memory while pages are locked");
    closed_ = true;
    base_ = nullptr;
    mapped_ = 0;
    mapping_.unmap(qvPagePosition(limit_));
}

void qvCacheOnMapping::abandon() noexcept {
    closed_ = true;
    base_ = nullptr;
    mapped_ = 0;
    mapping_.give_back(opened_bytes_);   // drops the view before it cuts
}

// Nothing asks the view to grow after a seal: a quiet ask left by the
// session's last limit would grow the cut file again at a read's unlock.
// An empty file keeps its view (the system maps nothing of 0 bytes).
bool qvCacheOnMapping::seal() noexcept {
    sealed_ = true;
    quiet_asks_ = 0;
    if (closed_ || read_only_ || base_ == nullptr || !locked_pages_.empty() || limit_ == 0) return false;
    if (mapped_ == limit_) return true;
    try {
        remap(limit_);
    } catch (qvError const&) {
        return false;
    }
    return true;
}

// --- locking -----------------------------------------------------------------

void* qvCacheOnMapping::lock(long page, bool write) {
    if (write && (read_only_ || sealed_)) raise_mapping_cache_error("Attempt to modify a read-only file");
    if (base_ == nullptr) raise_mapping_cache_error("Cannot create file mapping");
    if (page < 0 || page >= limit_) raise_mapping_cache_error("Part of the Orvane pagefile is missing");
    if (locked_pages_.empty() && short_of_room() && quiet_asks_ > 0) {
        regrow();
        if (base_ == nullptr) raise_mapping_cache_error("Cannot create file mapping");
    }
    ++locked_pages_[page];
    ++counters_.locks;
    return base_ + qvPagePosition(page);
}

void qvCacheOnMapping::unlock(long page, float /*priority*/) {
    const auto found = locked_pages_.find(page);
    QV_ASSERT_TEXT(found != locked_pages_.end(), "i != locked_pages.end()");
    if (--found->second > 0) return;
    locked_pages_.erase(found);
    if (!locked_pages_.empty() || base_ == nullptr || !short_of_room() || quiet_asks_ == 0) return;
    regrow();
}

// The deferred growth, at the last unlock, or at the next first lock when
// it failed there: an operation that locks a page and then allocates a few
// (a split, a page stream's next page) finds the headroom spare again once
// the disk can take it, instead of the red zone a failure left. Then the
// early move, while the range still holds the growth.
void qvCacheOnMapping::regrow() noexcept {
    --quiet_asks_;
    try {
        if (limit_ + headroom_ > mapped_) grow_view();
        if (base_ != nullptr && mapped_ + growth_ > ceiling_)
            remap(limit_ + growth_ > mapped_ ? limit_ + growth_ : mapped_);
    } catch (qvError const&) {
        // The previous view (or none) stays; see the header.
    }
}

// --- the limit ---------------------------------------------------------------

void qvCacheOnMapping::limit(long pages) {
    if (read_only_ || sealed_) raise_mapping_cache_error("Attempt to modify a read-only file");
    QV_ASSERT(pages >= 0 && pages <= qvMaxPageCount);
    if (base_ == nullptr) raise_mapping_cache_error("Cannot create file mapping");
    const long previous = limit_;
    limit_ = pages;
    if (limit_ + headroom_ > mapped_) {
        quiet_asks_ = 2;
        try {
            grow_view();
        } catch (qvError const&) {
            // A failed remap matters only when the old view cannot hold it.
            if (base_ == nullptr || limit_ > mapped_) {
                limit_ = previous;
                throw;
            }
        }
    }
    if (limit_ > mapped_) {
        limit_ = previous;
        if (refusal_ != nullptr) qvRaise(qvErrorFrom<qvFileMapping>(refusal_));   // a full disk kept the view short
        raise_mapping_cache_error("Red zone overflow in the mapped file");
    }
}

// --- views -------------------------------------------------------------------

// To limit + growth pages: in place when the mapping keeps the base, else
// by a remap once no page is locked. A failed growth in place raises with
// the view as it was; it is not retried as a remap, which the same full
// disk would refuse, nor quietly: the next limit that wants room asks
// again, locked pages or not, and nothing takes a page before that.
void qvCacheOnMapping::grow_view() {
    const long pages = limit_ + growth_;
    bool grown = false;
    try {
        grown = mapping_.grow(qvPagePosition(pages));
    } catch (qvErrorFrom<qvFileMapping> const& refused) {
        quiet_asks_ = 0;
        refusal_ = static_cast<char const*>(refused);
        throw;
    }
    if (grown) {
        mapped_ = pages;
        refusal_ = nullptr;
        ++counters_.remaps;
    } else if (locked_pages_.empty()) {
        remap(pages);
    }
}

// Maps `pages` pages and takes the view only when it covers what the cache
// hands out. On failure base_ stays null.
void qvCacheOnMapping::map_pages(long pages) {
    const long long bytes = qvPagePosition(pages);
    void* const base = mapping_.map(bytes);
    const long long needed = read_only_ ? qvPagePosition(limit_) : bytes;
    if (mapping_.view_size() < needed) raise_mapping_cache_error("Cannot create file mapping");
    base_ = static_cast<unsigned char*>(base);
    mapped_ = pages;
    // A range that cannot hold one growth past the view (a small view's, or
    // one an address-space limit kept small, which remade early would come
    // back as small) is left only once full.
    const long long range = mapping_.reserved_size() >> qvPageShift;
    ceiling_ = range >= pages + growth_ ? static_cast<long>(range) : LONG_MAX;
}

// A refusal that left the view where it was (the disk refused the blocks,
// which the mapping asks for first) keeps it; else the previous size is
// mapped again. The mapping's refusal is kept until a view grows; a move
// at the same size asks the disk nothing and so does not forget it.
void qvCacheOnMapping::remap(long pages) {
    QV_ASSERT(locked_pages_.empty());
    const long previous = mapped_;
    unsigned char* const kept = base_;
    base_ = nullptr;
    try {
        try {
            map_pages(pages);
        } catch (qvErrorFrom<qvFileMapping> const& refused) {
            refusal_ = static_cast<char const*>(refused);
            throw;
        }
        ++counters_.remaps;
        if (mapped_ > previous) refusal_ = nullptr;
    } catch (qvError const&) {
        if (kept != nullptr && mapping_.view_base() == kept && mapping_.view_size() >= qvPagePosition(previous)) {
            base_ = kept;
            mapped_ = previous;
            throw;
        }
        try {
            map_pages(previous);
            ceiling_ = LONG_MAX;   // not moved early again into a refusal
        } catch (qvError const&) {
            mapped_ = 0;
        }
        throw;
    }
}
