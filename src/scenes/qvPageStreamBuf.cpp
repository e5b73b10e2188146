// qvPageStreamBuf: one held page at a time, its data area the get or put
// area.
//
// Passing to the next page stores the link and unlocks the held page before
// the next one is locked: on a mapped device that unlock is where the view
// may grow, and no page may be locked across it. A new page is therefore
// allocated and laid out while the held page is still locked (the cache's
// red zone has room for it) and only then linked. Every page number that
// comes from a page or the directory goes through check_reachable before it
// is locked, and joins `reached_` once it is: that set is what turns a
// looping chain into an error instead of a hang.
// A next page that cannot be locked (an I/O error, a mapped device that lost
// its view) leaves the buffer without a page: the error goes to the caller,
// the pages keep what reached them, linked as they were, and the buffer
// accepts and yields nothing more.

#include <orvane/scenes/qvPageStreamBuf.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include "scenes/qvPageLayout.hpp"
#include "scenes/qvPageLock.hpp"

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
    if (root == 0) {
        if (!write) return;
        root = new_page();
        try {
            device.create_root(name, root);
        } catch (...) {
            try {
                device.free(root);
            } catch (qvError const&) {
                // The page stays allocated: nothing names it, nothing is lost.
            }
            throw;
        }
        fresh_ = true;
    } else {
        check_reachable(static_cast<std::uint32_t>(root));
    }
    set_page(root);
}

qvPageStreamBuf::~qvPageStreamBuf() {
    try {
        finish(false);
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

void qvPageStreamBuf::close() { finish(true); }

// Ends a written chain on the held page, unlocks it, then frees the old
// pages the rewrite did not reach. From the destructor (report false) a
// rest that cannot be freed is left allocated.
void qvPageStreamBuf::finish(bool report) {
    if (!open_) return;
    open_ = false;
    std::uint32_t rest = 0;
    if (page_ != nullptr && write_) {
        qvSetPageWord(page_, used_offset, static_cast<std::uint32_t>(pptr() - pbase()));
        rest = qvPageWord(page_, next_offset);
        qvSetPageWord(page_, next_offset, 0);
    }
    release_page();
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
        if (reached_.count(page) == 0) {
            try {
                device_.free(page);
            } catch (qvError const&) {
            }
        }
        throw;
    }
    return page;
}

// Links the held page to `page` (writing), lets it go and holds `page`.
void qvPageStreamBuf::set_page(long page) {
    if (page_ != nullptr) {
        if (write_) qvSetPageWord(page_, next_offset, static_cast<std::uint32_t>(page));
        release_page();
    }
    unsigned char* const data = static_cast<unsigned char*>(device_.lock(page, write_));
    std::uint32_t used;
    try {
        used = checked_used(data);
        reached_.insert(page);
    } catch (...) {
        device_.unlock(page, 0.0f);
        throw;
    }
    page_ = data;
    page_number_ = page;
    char* const area = reinterpret_cast<char*>(data + data_offset);
    if (write_) {
        qvSetPageWord(data, used_offset, 0);   // a reused page keeps its link
        setp(area, area + data_bytes);
    } else {
        setg(area, area, area + used);
    }
}

void qvPageStreamBuf::release_page() noexcept {
    setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
    if (page_ == nullptr) return;
    page_ = nullptr;
    try {
        device_.unlock(page_number_, 0.0f);
    } catch (qvError const& error) {
        qvError::abort(error);   // a page the cache does not hold: a programming error
    }
}

// --- the stream buffer's operations ------------------------------------------

qvPageStreamBuf::int_type qvPageStreamBuf::overflow(int_type c) {
    if (!write_ || page_ == nullptr) return traits::eof();
    qvSetPageWord(page_, used_offset, static_cast<std::uint32_t>(pptr() - pbase()));
    std::uint32_t next = fresh_ ? 0 : qvPageWord(page_, next_offset);
    if (next == 0) {
        fresh_ = true;
        next = static_cast<std::uint32_t>(new_page());
    } else {
        check_reachable(next);
    }
    set_page(static_cast<long>(next));
    if (!traits::eq_int_type(c, traits::eof())) {
        *pptr() = traits::to_char_type(c);
        pbump(1);
    }
    return 0;
}

qvPageStreamBuf::int_type qvPageStreamBuf::underflow() {
    if (gptr() < egptr()) return traits::to_int_type(*gptr());
    if (write_) return traits::eof();
    while (page_ != nullptr) {
        const std::uint32_t next = qvPageWord(page_, next_offset);
        if (next == 0) return traits::eof();
        check_reachable(next);
        set_page(static_cast<long>(next));
        if (gptr() < egptr()) return traits::to_int_type(*gptr());
    }
    return traits::eof();
}

int qvPageStreamBuf::sync() { return 0; }

std::streambuf* qvPageStreamBuf::setbuf(char_type*, std::streamsize) { return nullptr; }
