// qvPageStreamBuf: a page locked only to copy it, and a page's link read
// as the buffer leaves it.
//
// A writer's current page is, from its start: `done_` bytes already stored
// on it, then the put area (area_), its private copy of the rest. It
// enters a page without touching it (only the open locks the root once, to
// be refused by a read-only device); leaving it (advance) reads its link
// under the lock of the store, takes the next page (the link, checked, or
// a new page laid out when the link is 0), stores the put area and the
// caller's bytes with the used count and that link, and only then enters
// the next page. Because entering cannot fail, a raise anywhere on that
// road leaves the buffer on the page it was on, its copy whole, and the
// file as the last store left it: a retried write, sync or close stores
// the same page again. A long sputn that ends inside a page stores its
// last bytes there at once, keeping the page's link (as sync does), and
// keeps them in the area only when that store raises.
// A reader's current page has `used_` bytes, the first `done_` of them
// handed out or in the get area. It reads a page's link as it leaves it:
// under the lock that takes the page's last bytes, and, while the page is
// not full or its link is 0, again with its count at each later call, so
// bytes another writer adds to the page are returned before the next
// page's.
// A short read takes the rest of the page into the area (so the header
// probe can give its bytes back), a long one straight into the caller's
// buffer; what a read leaves on a page stays there until it is asked for.
// So sputn and sgetn copy a byte once, between the caller's buffer and the
// locked page, except around short calls. Every page number that comes
// from a page or the directory goes through check_reachable before it is
// locked, and joins `reached_` once it is entered: that set is what turns
// a looping chain into an error instead of a hang.

#include <orvane/scenes/qvPageStreamBuf.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include "scenes/qvPageLayout.hpp"
#include "scenes/qvPageLock.hpp"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// A write that leaves at least this many bytes on its last page, and a read
// that asks for at least this many, move them between the caller and the
// page under a lock of their own; shorter ones go through the area, so a
// stream of small values takes no lock per value.
constexpr std::streamsize direct_bytes = 4096;

[[noreturn]] void raise_stream_corrupt() {
    qvRaise(qvErrorFrom<qvPageStreamBuf>("Invalid or corrupt Orvane pagefile"));
}

using traits = std::streambuf::traits_type;

constexpr std::size_t next_offset = 0;
constexpr std::size_t used_offset = 4;

std::uint32_t checked_used(void const* page) {
    const std::uint32_t used = qvPageWord(page, used_offset);
    if (used > qvPageStreamBuf::data_bytes) raise_stream_corrupt();
    return used;
}

}  // namespace

// --- opening and closing -----------------------------------------------------

qvPageStreamBuf::qvPageStreamBuf(qvPageDevice& device, char const* name, bool write)
    : device_(device), write_(write), area_(write ? std::make_unique_for_overwrite<char[]>(data_bytes) : nullptr) {
    QV_ASSERT(name != nullptr);
    long root = device.find_root(name);
    if (root != 0) {
        check_reachable(static_cast<std::uint32_t>(root));
        if (write) {
            // The open's one lock: the device must let the stream be
            // written, and a damaged root is refused here, not later.
            {
                const qvPageLock lock(device, root, true, 0.0f);
                checked_used(lock.data());
            }
            reached_.insert(root);
            enter(root);
        } else {
            char none;
            enter_read(root, &none, 0);   // checked; its bytes are taken by the first read
        }
    } else if (write) {
        root = new_page();
        try {
            device.create_root(name, root);
        } catch (...) {
            give_back(root);
            throw;
        }
        reached_.insert(root);
        enter(root);
    }
    listed_.root = root;
    device.stream_opened(listed_);
}

qvPageStreamBuf::~qvPageStreamBuf() {
    try {
        finish(false);
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

void qvPageStreamBuf::close() { finish(true); }

// Ends a written chain on the current page, then frees the old pages the
// rewrite did not reach, and those other streams of the root left. Each
// step is done once: a close that raised is retried from the step that
// raised. From the destructor (report false) a page that cannot be stored
// keeps its old chain, and a rest that cannot be freed is left allocated.
// A closed buffer gives its area back.
void qvPageStreamBuf::finish(bool report) {
    if (!open_) return;
    if (page_ != 0 && write_) {
        static constexpr std::uint32_t end = 0;
        try {
            rest_ = store(&end, nullptr, 0);
        } catch (...) {
            if (report) throw;
        }
    }
    drop_page();
    try {
        free_rests();
    } catch (...) {
        if (report) throw;
    }
    end();
}

// Closed for good: nothing of the device is reached again, so the buffer
// may outlive it.
void qvPageStreamBuf::end() noexcept {
    drop_page();
    open_ = false;
    rest_ = 0;
    reached_ = {};
    area_.reset();
    device_.stream_closed(listed_);
}

void qvPageStreamBuf::Listing::end_for_device(bool store) noexcept {
    if (store)
        buffer.finish(false);
    else
        buffer.end();
}

// Another stream open on the root may stand on the old pages past the new
// end, or reach them through links it holds: the rest waits on the cache
// for the last of them. The last one frees its own rest, checked against
// its chain, then every rest the others left. Those were cut from chains
// of this root at other ends, and the pages this buffer went through may
// lie in them (it wrote or read on past an end another closed), so they
// are checked only against one another.
void qvPageStreamBuf::free_rests() {
    if (device_.root_shared(listed_)) {
        if (rest_ != 0) device_.keep_rest(listed_, rest_);
        rest_ = 0;
        return;
    }
    for (;;) {
        if (rest_ != 0) cut_rest();
        if (!freeing_kept_) {
            freeing_kept_ = true;
            reached_.clear();
        }
        rest_ = device_.take_rest(listed_);
        if (rest_ == 0) return;
    }
}

// Frees rest_ and the pages after it; a page leaves rest_ only once it was
// freed, so a second try goes on with the page the first could not free
// (the directory read, the lock and the free meet the device's errors,
// which may pass). Damage does not pass: it tells that another program
// wrote there. A link outside the file, to a page met before, or to a root
// the directory names (this stream's or another's) ends the freeing after
// the page that holds it, which is freed; the page it names is left as it
// is, with what follows it, and old pages the damaged link no longer
// reaches stay allocated. A used count no page has ends it before its
// page, which stays allocated with the pages after it, since its link
// cannot be trusted either. Space lost, never a page freed that a chain
// the directory names begins with, and never a close that raises again at
// every retry for pages the file no longer needs. The directory is read
// once for the whole rest; a link into the middle of another chain passes
// for a good one (see the header).
void qvPageStreamBuf::cut_rest() {
    const std::vector<long> roots = device_.root_pages();
    while (rest_ != 0) {
        const long page = static_cast<long>(rest_);
        // The stream's own root is asked apart: the rests others left are
        // checked only against one another (reached_ may not hold it), and
        // the directory may no longer name it.
        if (!reachable(rest_) || page == listed_.root || std::binary_search(roots.begin(), roots.end(), page)) break;
        std::uint32_t link;
        {
            const qvPageLock lock(device_, page, false, 0.0f);
            if (qvPageWord(lock.data(), used_offset) > data_bytes) break;
            link = lock.word(next_offset);
        }
        device_.free(page);
        reached_.insert(page);
        rest_ = link;
    }
    rest_ = 0;
}

// --- pages -------------------------------------------------------------------

bool qvPageStreamBuf::reachable(std::uint32_t page) const {
    return page >= 2 && page < static_cast<std::uint32_t>(device_.page_count()) &&
           reached_.count(static_cast<long>(page)) == 0;
}

void qvPageStreamBuf::check_reachable(std::uint32_t page) const {
    if (!reachable(page)) raise_stream_corrupt();
}

// A page from the allocator, laid out as the last page of a stream. A page
// the stream already holds can only come back from a corrupt map; it is
// refused before anything is written to it.
long qvPageStreamBuf::new_page() {
    const long page = device_.allocate();
    try {
        check_reachable(static_cast<std::uint32_t>(page));
        qvPageLock lock(device_, page, true, 0.0f);
        lock.set_word(next_offset, 0);
        lock.set_word(used_offset, 0);
    } catch (...) {
        if (reached_.count(page) == 0) give_back(page);
        throw;
    }
    return page;
}

// A new page nothing links to goes back to the allocator; should that fail
// it stays allocated: nothing names it, nothing is lost.
void qvPageStreamBuf::give_back(long page) noexcept {
    try {
        device_.free(page);
    } catch (qvError const&) {
    }
}

// Makes `page`, already in reached_, the current one of a writer; nothing
// of it is read, its data is written from the start.
void qvPageStreamBuf::enter(long page) noexcept {
    page_ = page;
    done_ = 0;
    setp(area_.get(), area_.get() + data_bytes);
}

// The put area and then `n` bytes of `more` onto the current page after
// the bytes already there, with their count and, unless `link` is null,
// that link. Returns the link the page had. A raise (the lock's) has
// written nothing.
std::uint32_t qvPageStreamBuf::store(std::uint32_t const* link, char const* more, std::size_t n) {
    const qvPageLock lock(device_, page_, true, 0.0f);
    return put(lock.data(), link, more, n);
}

// The writing part of a store, into a page the caller holds locked for
// writing.
std::uint32_t qvPageStreamBuf::put(void* page, std::uint32_t const* link, char const* more, std::size_t n) {
    const auto kept = static_cast<std::size_t>(pptr() - pbase());
    QV_ASSERT(done_ + kept + n <= data_bytes);
    unsigned char* const data = static_cast<unsigned char*>(page) + data_offset + done_;
    std::memcpy(data, area_.get(), kept);
    if (n != 0) std::memcpy(data + kept, more, n);
    const std::uint32_t had = qvPageWord(page, next_offset);
    qvSetPageWord(page, used_offset, static_cast<std::uint32_t>(done_ + kept + n));
    if (link != nullptr) qvSetPageWord(page, next_offset, *link);
    return had;
}

// Leaves the current page, full with the put area and `n` bytes of `more`,
// for the next one, all under the one lock of the store. The link is read
// now, not when the page was entered: a writer on the same stream may have
// ended or extended the chain since. A page the chain ends on gets a new
// page laid out after it; on a mapped device that growth happens with this
// one page locked, which the view's room is kept large enough for.
void qvPageStreamBuf::advance(char const* more, std::size_t n) {
    const qvPageLock lock(device_, page_, true, 0.0f);
    checked_used(lock.data());
    std::uint32_t next = lock.word(next_offset);
    const bool fresh = next == 0;
    if (fresh)
        next = static_cast<std::uint32_t>(new_page());
    else
        check_reachable(next);
    const long page = static_cast<long>(next);
    try {
        reached_.insert(page);
    } catch (...) {
        if (fresh) give_back(page);
        throw;
    }
    put(lock.data(), &next, more, n);
    enter(page);
}

// A reader enters `page`: `n` of its used bytes, at most, go straight into
// `out` and the rest stays on the page for later; with no `out`, all of
// them go into the area. Returns the bytes put into `out`.
std::streamsize qvPageStreamBuf::enter_read(long page, char* out, std::streamsize n) {
    const qvPageLock lock(device_, page, false, 0.0f);
    const std::uint32_t used = checked_used(lock.data());
    reached_.insert(page);
    page_ = page;
    used_ = used;
    done_ = 0;
    link_ = 0;
    return take(lock.data(), out, n);
}

// The current page's bytes from done_ to used_: up to `n` into `out`, or,
// with no `out`, all into the area, which a reader takes at its first short
// read (one that only reads long never needs it). The lock that takes the
// page's last bytes reads its link too: the buffer may be leaving the page.
std::streamsize qvPageStreamBuf::take(void const* page, char* out, std::streamsize n) {
    if (out == nullptr && !area_) area_ = std::make_unique_for_overwrite<char[]>(data_bytes);
    unsigned char const* const data = static_cast<unsigned char const*>(page) + data_offset + done_;
    const std::streamsize left = used_ - done_;
    char* const area = area_.get();
    std::streamsize k = 0;
    if (out == nullptr) {
        std::memcpy(area, data, static_cast<std::size_t>(left));
        setg(area, area, area + left);
    } else {
        k = std::min(left, n);
        std::memcpy(out, data, static_cast<std::size_t>(k));
        setg(area, area, area);
    }
    done_ = out == nullptr ? used_ : done_ + static_cast<std::uint32_t>(k);
    if (done_ == used_) link_ = qvPageWord(page, next_offset);
    return k;
}

// A reader's next bytes once its get area is used up: the current page's
// rest, else the next page's. A page that is not full may have grown since
// its count was read (another writer appends to it, or a rewrite stored
// more of it), and its bytes come before any page it links to: it is read
// again, count and link, until it holds no byte not yet returned, and only
// then left. A full page whose last bytes were taken, with the link read
// under that lock, is left at once. -1 at the end of the chain, else what
// take returns.
std::streamsize qvPageStreamBuf::read_more(char* out, std::streamsize n) {
    if (done_ < used_ || used_ < data_bytes || link_ == 0) {
        const qvPageLock lock(device_, page_, false, 0.0f);
        used_ = checked_used(lock.data());
        if (done_ < used_) return take(lock.data(), out, n);
        link_ = lock.word(next_offset);
        if (link_ == 0) return -1;
    }
    check_reachable(link_);
    return enter_read(static_cast<long>(link_), out, n);
}

void qvPageStreamBuf::drop_page() noexcept {
    setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
    page_ = 0;
}

// --- the stream buffer's operations ------------------------------------------

qvPageStreamBuf::int_type qvPageStreamBuf::overflow(int_type c) {
    if (!write_ || page_ == 0) return traits::eof();
    advance(nullptr, 0);
    if (!traits::eq_int_type(c, traits::eof())) {
        *pptr() = traits::to_char_type(c);
        pbump(1);
    }
    return 0;
}

// Whole pages go from `bytes` to the page they fill; the last bytes of a
// long call are stored at once on the page they begin (see the top).
std::streamsize qvPageStreamBuf::xsputn(char_type const* bytes, std::streamsize n) {
    if (!write_ || page_ == 0) return 0;
    std::streamsize done = 0;
    for (;;) {
        const std::streamsize room = epptr() - pptr();
        const std::streamsize left = n - done;
        if (left > room) {
            advance(bytes + done, static_cast<std::size_t>(room));
            done += room;
            continue;
        }
        if (left >= direct_bytes) {
            try {
                store(nullptr, bytes + done, static_cast<std::size_t>(left));
                done_ += static_cast<std::uint32_t>(pptr() - pbase() + left);
                setp(area_.get(), area_.get() + (data_bytes - done_));
                return n;
            } catch (qvError const&) {
                // Kept in the area: the next store reports the device again.
            }
        }
        if (left > 0) std::memcpy(pptr(), bytes + done, static_cast<std::size_t>(left));
        pbump(static_cast<int>(left));
        return n;
    }
}

qvPageStreamBuf::int_type qvPageStreamBuf::underflow() {
    if (gptr() < egptr()) return traits::to_int_type(*gptr());
    if (write_ || page_ == 0) return traits::eof();
    while (read_more(nullptr, 0) >= 0)
        if (gptr() < egptr()) return traits::to_int_type(*gptr());
    return traits::eof();
}

std::streamsize qvPageStreamBuf::xsgetn(char_type* bytes, std::streamsize n) {
    std::streamsize done = 0;
    while (done < n) {
        if (gptr() < egptr()) {
            const std::streamsize k = std::min<std::streamsize>(egptr() - gptr(), n - done);
            std::memcpy(bytes + done, gptr(), static_cast<std::size_t>(k));
            gbump(static_cast<int>(k));
            done += k;
            continue;
        }
        if (write_ || page_ == 0) break;
        const std::streamsize got = read_more(n >= direct_bytes ? bytes + done : nullptr, n - done);
        if (got < 0) break;
        done += got;
    }
    return done;
}

// The bytes written so far reach the current page, which keeps its link.
int qvPageStreamBuf::sync() {
    if (write_ && page_ != 0) store(nullptr, nullptr, 0);
    return 0;
}

std::streambuf* qvPageStreamBuf::setbuf(char_type*, std::streamsize) { return nullptr; }
