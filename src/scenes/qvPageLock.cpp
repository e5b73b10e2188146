// qvPageLock: the unlock at the end of a scope.

#include "scenes/qvPageLock.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

qvPageLock::~qvPageLock() {
    try {
        cache_.unlock(page_, priority_);
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

void qvPageLock::set_word(std::size_t offset, std::uint32_t value) {
    QV_ASSERT(write_);
    qvSetPageWord(data_, offset, value);
}
