#pragma once
// qvPageCache: how page clients reach the 16,384-byte pages of a page file.
//
// Contract every cache keeps and every client relies on:
//  - lock(page, write) returns the page's bytes, which stay at that address
//    until the matching unlock; locks nest, so a page locked n times stays
//    locked until n unlocks. write announces that the caller changes the
//    page, so that the change reaches the file;
//  - unlock(page, priority) ends one lock; the priority says how much it is
//    worth keeping the page in memory (0 is the neutral value, higher keeps
//    it longer). Caches that keep every page in view ignore it;
//  - flush() puts every changed page in the file; release() gives up the
//    cached memory;
//  - write_bytes(page, offset, bytes, length, priority) changes `length`
//    bytes of the page from `offset` as a write lock, a copy and an unlock
//    with that priority would (what the default does). A cache may instead
//    write the bytes to the file when the page is not in memory, so that a
//    page changed in passing, and not read, takes no buffer from the pages
//    that are.
// Clients lock through the library's scoped page lock, which states the
// priority once and unlocks on every way out. A page stream keeps no page
// locked between calls but lists itself open here, with its root, so a
// cache that refuses to close while a page is locked refuses while a
// stream is open too (the stream reaches the cache at its next call), and
// a stream ending its chain can tell whether another stands on it. The
// list is intrusive: opening allocates nothing. The old pages past the end
// of a chain that a stream ended while another stood on it wait here, as
// the first page of each such rest, until the last stream of that root
// takes them back to free them: so they leave no page free that a stream
// still follows, and no page allocated that nothing names once all close.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class qvPageCache {
public:
    virtual void* lock(long page, bool write) = 0;
    virtual void unlock(long page, float priority) = 0;
    virtual void flush() = 0;
    virtual void release() = 0;
    virtual void write_bytes(long page, std::size_t offset, void const* bytes, std::size_t length, float priority);

    // A page stream as the cache lists it while it is open: its root (0
    // for a reader of a name that is not there).
    struct OpenStream {
        long root = 0;
        OpenStream* next = nullptr;
        OpenStream* previous = nullptr;
        // Ends the stream for good, for a device that ends under it: a
        // writer first stores what its writes returned when `store` is set
        // (as its destructor would: what cannot be stored is given up).
        // Leaves the list.
        virtual void end_for_device(bool store) noexcept = 0;

    protected:
        OpenStream() noexcept = default;
        OpenStream(OpenStream const&) = delete;
        OpenStream& operator=(OpenStream const&) = delete;
        ~OpenStream() = default;
    };

    void stream_opened(OpenStream& stream) noexcept {
        stream.previous = nullptr;
        stream.next = streams_;
        if (streams_ != nullptr) streams_->previous = &stream;
        streams_ = &stream;
    }
    void stream_closed(OpenStream& stream) noexcept {
        (stream.previous != nullptr ? stream.previous->next : streams_) = stream.next;
        if (stream.next != nullptr) stream.next->previous = stream.previous;
        stream.next = stream.previous = nullptr;
    }
    // For an owner that must end the device while a host's streams are
    // still open on it (a destructor): each ends as above, so none is left
    // to reach a device that is gone.
    void end_streams(bool store) noexcept {
        while (streams_ != nullptr) streams_->end_for_device(store);
    }
    long open_streams() const noexcept {
        long count = 0;
        for (OpenStream const* s = streams_; s != nullptr; s = s->next) ++count;
        return count;
    }
    // Whether a stream other than `stream` is open on its root.
    bool root_shared(OpenStream const& stream) const noexcept {
        for (OpenStream const* s = streams_; s != nullptr; s = s->next)
            if (s != &stream && s->root == stream.root) return true;
        return false;
    }
    // Keeps the rest that `stream` cut from its root's chain (raises only
    // when memory runs out); take_rest hands one back, 0 when none is left.
    void keep_rest(OpenStream const& stream, std::uint32_t first) { rests_.emplace_back(stream.root, first); }
    std::uint32_t take_rest(OpenStream const& stream) noexcept {
        for (std::size_t i = rests_.size(); i-- > 0;) {
            if (rests_[i].first != stream.root) continue;
            const std::uint32_t first = rests_[i].second;
            rests_[i] = rests_.back();
            rests_.pop_back();
            return first;
        }
        return 0;
    }

protected:
    qvPageCache() noexcept = default;
    // The open streams and their kept rests are the object's own, never a
    // copy's.
    qvPageCache(qvPageCache const&) noexcept {}
    qvPageCache& operator=(qvPageCache const&) noexcept { return *this; }
    ~qvPageCache() = default;

private:
    OpenStream* streams_ = nullptr;
    std::vector<std::pair<long, std::uint32_t>> rests_;   // (root, first page of a rest)
};
