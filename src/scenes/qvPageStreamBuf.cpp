// qvPageStreamBuf: a page locked only to copy it.
//
// The get or put area is area_, a copy of the current page's data. Entering
// a page reads its link (next_) and checks its used count under a lock that
// ends before the call returns; a reader copies the used bytes too. Leaving
// a written page (store) copies the put area back with its used count and
// link. A new page is allocated and laid out before the page that links to
// it is stored. Every page number that comes from a page or the directory
// goes through check_reachable before it is locked, and joins `reached_`
// once it is: that set is what turns a looping chain into an error instead
// of a hang.
// A next page that cannot be entered (an I/O error, a mapped device that
// lost its view) leaves the buffer without a page: the error goes to the
// caller, the pages keep what reached them, linked as they were, and the
// buffer accepts and yields nothing more.

#include <orvane/scenes/qvPageStreamBuf.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include "scenes/qvPageLayout.hpp"
#include "scenes/qvPageLock.hpp"

#include <cstring>

namespace {

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
    : device_(device), write_(write) {
    QV_ASSERT(name != nullptr);
    long root = device.find_root(name);
    if (root != 0) {
        check_reachable(static_cast<std::uint32_t>(root));
        enter(root, false);
    } else if (write) {
        root = new_page();
        try {
            device.create_root(name, root);
        } catch (...) {
            give_back(root);
            throw;
        }
        enter(root, true);
    }
    device.stream_opened();
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
// rewrite did not reach. From the destructor (report false) a page that
// cannot be written keeps its old chain, and a rest that cannot be freed
// is left allocated.
void qvPageStreamBuf::finish(bool report) {
    if (!open_) return;
    open_ = false;
    device_.stream_closed();
    std::uint32_t rest = 0;
    if (page_ != 0 && write_) {
        try {
            store(0);
            rest = next_;
        } catch (qvError const&) {
            drop_page();
            if (report) throw;
        }
    }
    drop_page();
    if (rest != 0) {
        try {
            cut_rest(rest);
        } catch (qvError const&) {
            if (report) throw;
        }
    }
    reached_ = {};
}

void qvPageStreamBuf::cut_rest(std::uint32_t link) {
    while (link != 0) {
        check_reachable(link);
        const long page = static_cast<long>(link);
        {
            qvPageLock lock(device_, page, false, 0.0f);
            checked_used(lock.data());
            link = lock.word(next_offset);
        }
        reached_.insert(page);
        device_.free(page);
    }
}

// --- pages -------------------------------------------------------------------

void qvPageStreamBuf::check_reachable(std::uint32_t page) const {
    if (page < 2 || page >= static_cast<std::uint32_t>(device_.page_count()) ||
        reached_.count(static_cast<long>(page)) != 0)
        raise_stream_corrupt();
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

// Makes `page` the current one; a fresh page is known to be laid out empty
// and is not read. The previous page was stored first.
void qvPageStreamBuf::enter(long page, bool fresh) {
    drop_page();
    std::uint32_t used = 0, link = 0;
    if (!fresh) {
        const qvPageLock lock(device_, page, write_, 0.0f);
        used = checked_used(lock.data());
        link = lock.word(next_offset);
        if (!write_) std::memcpy(area_, lock.bytes() + data_offset, used);
    }
    reached_.insert(page);
    page_ = page;
    next_ = link;
    if (write_)
        setp(area_, area_ + data_bytes);
    else
        setg(area_, area_, area_ + used);
}

// The put area onto the current page, linked to `link`; the bytes past the
// used count stay as they were.
void qvPageStreamBuf::store(std::uint32_t link) {
    const auto used = static_cast<std::uint32_t>(pptr() - pbase());
    qvPageLock lock(device_, page_, true, 0.0f);
    std::memcpy(lock.bytes() + data_offset, area_, used);
    lock.set_word(used_offset, used);
    lock.set_word(next_offset, link);
}

void qvPageStreamBuf::drop_page() noexcept {
    setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
    page_ = 0;
}

// --- the stream buffer's operations ------------------------------------------

// The next page is found (the old chain's, checked) or made before the
// current one is stored with a link to it.
qvPageStreamBuf::int_type qvPageStreamBuf::overflow(int_type c) {
    if (!write_ || page_ == 0) return traits::eof();
    const bool fresh = next_ == 0;
    const std::uint32_t next = fresh ? static_cast<std::uint32_t>(new_page()) : next_;
    try {
        if (!fresh) check_reachable(next);
        store(next);
    } catch (...) {
        if (fresh) give_back(static_cast<long>(next));
        throw;
    }
    enter(static_cast<long>(next), fresh);
    if (!traits::eq_int_type(c, traits::eof())) {
        *pptr() = traits::to_char_type(c);
        pbump(1);
    }
    return 0;
}

qvPageStreamBuf::int_type qvPageStreamBuf::underflow() {
    if (gptr() < egptr()) return traits::to_int_type(*gptr());
    if (write_) return traits::eof();
    while (page_ != 0 && next_ != 0) {
        check_reachable(next_);
        enter(static_cast<long>(next_), false);
        if (gptr() < egptr()) return traits::to_int_type(*gptr());
    }
    return traits::eof();
}

// A written page's bytes so far reach it, linked as it was.
int qvPageStreamBuf::sync() {
    if (write_ && page_ != 0) store(next_);
    return 0;
}

std::streambuf* qvPageStreamBuf::setbuf(char_type*, std::streamsize) { return nullptr; }
