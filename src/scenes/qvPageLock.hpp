#pragma once
// qvPageLock: one lock of one page, held for a scope. Every client of the
// page device locks through it, so no error leaves a page locked.
//
// The priority is stated where the lock is taken and given to unlock when
// the scope ends; there is no default, because the priority is the only
// thing that tells the page cache which pages are worth keeping. A failed
// lock leaves nothing to undo: the constructor raises and there is no lock.
// The destructor never throws: an unlock that raises (a page unlocked that
// the cache does not hold, a programming error) takes the qvError::abort way.

#include <orvane/scenes/qvPageCache.hpp>

#include "scenes/qvPageLayout.hpp"

#include <cstddef>
#include <cstdint>

class qvPageLock {
public:
    qvPageLock(qvPageCache& cache, long page, bool write, float priority)
        : cache_(cache), page_(page), priority_(priority), write_(write), data_(cache.lock(page, write)) {}
    ~qvPageLock();
    qvPageLock(qvPageLock const&) = delete;
    qvPageLock& operator=(qvPageLock const&) = delete;

    long page() const noexcept { return page_; }
    void* data() const noexcept { return data_; }
    unsigned char* bytes() const noexcept { return static_cast<unsigned char*>(data_); }

    std::uint32_t word(std::size_t offset) const noexcept { return qvPageWord(data_, offset); }
    // Only a write lock may change its page: the cache writes back only
    // pages that were locked for writing.
    void set_word(std::size_t offset, std::uint32_t value);

private:
    qvPageCache& cache_;
    const long page_;
    const float priority_;
    const bool write_;
    void* const data_;
};
