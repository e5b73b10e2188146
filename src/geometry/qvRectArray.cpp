// qvRectArray: the block and its growth (see the header for why realloc).

#include <orvane/geometry/qvRectArray.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

qvRectArray::qvRectArray(qvRectArray const& other) {
    if (other.size_ == 0) return;
    data_ = static_cast<Rect*>(std::malloc(other.size_ * sizeof(Rect)));
    if (data_ == nullptr) throw std::bad_alloc();
    std::memcpy(static_cast<void*>(data_), other.data_, other.size_ * sizeof(Rect));
    size_ = capacity_ = other.size_;
}

qvRectArray::~qvRectArray() { std::free(data_); }

void qvRectArray::swap(qvRectArray& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
}

// realloc leaves the old block as it was when it fails, so a failed growth
// changes nothing.
void qvRectArray::grow(std::size_t least) {
    constexpr std::size_t most = std::numeric_limits<std::size_t>::max() / sizeof(Rect);
    if (least > most) throw std::bad_alloc();
    const std::size_t wanted = std::max({least, capacity_ <= most / 2 ? 2 * capacity_ : most, std::size_t{16}});
    void* const block = std::realloc(static_cast<void*>(data_), wanted * sizeof(Rect));
    if (block == nullptr) throw std::bad_alloc();
    data_ = static_cast<Rect*>(block);
    capacity_ = wanted;
}
