#pragma once
// qvCacheOnMapping: the page cache and page limit of a page file reached
// through a file mapping. The whole file, plus spare pages, lies in one
// view of a qvFileMapping; lock hands out an address inside it and only
// counts, and the system writes the view back to the file.
//
// Keeps true:
//  - page n lies at base + n × 16,384, and no address outside the view is
//    ever handed out: lock refuses a page outside 0 .. limit − 1 with "Part
//    of the Orvane pagefile is missing", and the view covers every page
//    below `mapped` (a writable file) or below the limit (a read-only file,
//    whose view never reaches past the file's end). map(size) may answer
//    with a 16 MiB window instead of the whole file; such a view is refused
//    with "Cannot create file mapping";
//  - limit ≤ mapped: a limit past the view raises, and the previous limit
//    stays: with the mapping's error when the view's growth failed (a full
//    disk), be it asked by this limit or by an earlier growth, in place,
//    moved or quiet, that no growth has undone since; else (a view that
//    must move while pages are locked) with "Red zone overflow in the
//    mapped file";
//  - a locked page keeps its address: a limit that leaves less than the
//    headroom spare grows the view to limit + growth pages in place (the
//    mapping keeps its base), locked pages or not; only where the mapping
//    cannot grow in place (its range is full, or none was set aside) does
//    the view move (a remap), and then only while no page is locked. So
//    limit + headroom ≤ mapped after every limit, unless a growth failed (a
//    full disk) or waits for the last unlock; after an unlock or a limit
//    that leaves no page locked it holds unless a growth failed. A growth
//    that failed is asked again by the next limit that wants room and,
//    where it must move the view, at that operation's last unlock and the
//    next one's first lock, so that an operation holding its first page
//    finds room once the disk has it; a refused growth in place is not
//    asked quietly, as every limit asks in place whatever is locked. So a
//    full disk costs one refusal per limit that wants room (three where
//    the view must move), not one at every lock and unlock between (a page
//    stream locks at each copy);
//  - no page stays locked between an application's calls (page streams
//    lock theirs only while they copy it), so a view that must move always
//    meets such a moment. The view moves there also before its range is
//    full: at the last unlock or a first lock that finds the range's room
//    past mapped below `growth` pages, it is remade into a range twice its
//    size, so the next operation grows in place and rarely meets the red
//    zone. A range that holds no growth past the view from the start (a
//    small view's, or one an address-space limit keeps small) is left only
//    when full;
//  - a growth in place that fails leaves the view as it was, and so does a
//    remap the disk refuses (the mapping asks for the blocks before it
//    moves anything); a remap that fails otherwise maps the previous size
//    again; when that fails too, the cache has no view and every later
//    lock or limit raises "Cannot create file mapping". A lock or unlock
//    never raises for a failed growth while the previous view stays: the
//    limit that asks for it reports what matters;
//  - a writable file is mapped × 16,384 bytes long while the view exists,
//    the blocks it grew by reserved; it is limit × 16,384 bytes long once
//    the cache is sealed (mapped = limit then) or closed, and as long as it
//    was when a failed construction abandons it, unless another program
//    changed its length meanwhile. A read-only file keeps its length;
//  - a read-only cache refuses write locks and limits with "Attempt to
//    modify a read-only file" before anything changes.
// A hole already in the file (the I/O page file extends files sparsely) is
// not reserved here: a full disk can end a writer there with SIGBUS. The
// mapped page file reserves the whole file when it opens it writable.
// Another process that cuts the file short ends ours with SIGBUS too; the
// file's share lock keeps our own writers out, nothing keeps others out.
// flush() and release() have nothing to do: no page is ever copied. The
// owner's durable flush syncs the mapping.
// Errors are qvErrorFrom<qvCacheOnMapping>; the mapping's pass through.

#include <orvane/core/qvFileMapping.hpp>
#include <orvane/scenes/qvPageCache.hpp>
#include <orvane/scenes/qvPageLimit.hpp>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <unordered_map>

class qvCacheOnMapping : public virtual qvPageCache, public virtual qvPageLimit {
public:
    // What the cache did, for benchmarks and tests.
    struct Counters {
        std::uint64_t locks = 0;
        std::uint64_t remaps = 0;   // views remade at a new size, in place or moved
    };

    // limit = the file's whole pages; a view of limit + headroom pages is
    // mapped at once (a writable file grows to it). growth ≥ headroom: a
    // remap leaves at least the headroom. A failure leaves the file as it
    // was.
    qvCacheOnMapping(qvFileMapping& mapping, long headroom, long growth);
    qvCacheOnMapping(qvCacheOnMapping const&) = delete;
    qvCacheOnMapping& operator=(qvCacheOnMapping const&) = delete;
    // close(); a page still locked or a file that cannot be cut is a
    // programming error of the owner (who closes first) and takes the
    // qvError::abort way.
    ~qvCacheOnMapping();

    // "Attempt to modify a read-only file" for a write lock on a read-only
    // cache; "Part of the Orvane pagefile is missing" outside 0 .. limit − 1.
    void* lock(long page, bool write) override;
    // The assertion "i != locked_pages.end()" for a page that is not locked.
    // The last unlock grows the view when the limit has grown into the
    // headroom and the view could not grow then.
    void unlock(long page, float priority) override;
    void flush() override {}
    void release() override {}

    void limit(long pages) override;
    long limit() override { return limit_; }

    // Drops the view; a writable file gets the length limit × 16,384 (the
    // mapping's "Cannot resize file" comes after the view is gone). A page
    // still locked (or a page stream still open) stops it first with
    // "Cannot release the cache memory while pages are locked", nothing
    // changed. Closing twice does nothing.
    void close();
    // From now on write locks and limits are refused as on a read-only
    // file (a session that ended cleanly), and the view never grows again.
    // A writable file is cut to limit × 16,384 bytes at once, the view
    // remade to match, unless a page is locked: the session's length is
    // the file's from the seal on, whatever happens to the file later, and
    // close has nothing to cut. True when the file has that length now;
    // false for a read-only file, and when a page is locked or the system
    // refused the cut (the file then keeps its spare pages, as before, and
    // the view its size, or none as after a failed remap).
    bool seal() noexcept;
    // For an owner whose construction failed: drops the view and gives a
    // writable file back the length it had when the cache was made, while
    // its length is still the one the view gave it (a file another program
    // appended to or emptied meanwhile keeps what it did). Never raises; a
    // file that cannot be cut back keeps zero pages at its end.
    void abandon() noexcept;
    bool closed() const noexcept { return closed_; }

    long mapped() const noexcept { return mapped_; }
    bool has_view() const noexcept { return base_ != nullptr; }
    std::size_t locked_pages() const noexcept { return locked_pages_.size(); }
    Counters const& counters() const noexcept { return counters_; }

private:
    void map_pages(long pages);
    void remap(long pages);
    void grow_view();
    // What an unlocked moment owes the view, a failure kept quiet (see the
    // header).
    void regrow() noexcept;
    bool short_of_room() const noexcept { return limit_ + headroom_ > mapped_ || mapped_ + growth_ > ceiling_; }

    qvFileMapping& mapping_;
    long limit_ = 0;
    long mapped_ = 0;
    long ceiling_ = LONG_MAX;   // pages past which the view moves early; see map_pages
    int quiet_asks_ = 0;        // unlocked moments that may yet ask for the growth a limit wanted
    // The text of the mapping's error for the last growth it refused (its
    // texts last as long as the process), null once a view grows again: the
    // overflow that refusal leads to raises it, so that a host can tell a
    // full disk from a view kept still by locked pages.
    char const* refusal_ = nullptr;
    const long headroom_;
    const long growth_;
    unsigned char* base_ = nullptr;
    std::unordered_map<long, int> locked_pages_;   // page -> lock count
    const bool read_only_;
    bool sealed_ = false;
    const long long opened_bytes_;   // the file's length when the cache was made
    bool closed_ = false;
    Counters counters_;
};
