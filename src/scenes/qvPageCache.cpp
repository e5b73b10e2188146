// qvPageCache: the road every cache has for a change of a few bytes, a lock
// of the page held only for the copy.

#include <orvane/scenes/qvPageCache.hpp>

#include <orvane/core/qvAssertionError.hpp>

#include "scenes/qvPageLock.hpp"

#include <cstring>

void qvPageCache::write_bytes(long page, std::size_t offset, void const* bytes, std::size_t length, float priority) {
    QV_ASSERT(offset <= qvPageBytes && length <= qvPageBytes - offset);
    qvPageLock lock(*this, page, true, priority);
    std::memcpy(lock.bytes() + offset, bytes, length);
}
