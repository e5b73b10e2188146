#pragma once
// qvRectArray: a growable array of rectangles, the storage of list regions.
//
// It grows its block with realloc, not by allocating a new block and copying:
// a list that keeps growing (a layer collecting edits that no redraw takes)
// becomes large, and a large block grows in place or is moved by the system
// without copying or touching its pages again. Rectangles are plain values,
// so moving them bytewise is sound.
//
// Keeps true: [data(), data() + size()) are the elements and
// size() <= capacity(); clear() and shrink_to() keep the block, so an array
// that is filled and emptied again grows in place. Every growth either
// succeeds or throws std::bad_alloc with the array unchanged.

#include <orvane/geometry/qvMathRect.hpp>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <type_traits>

class qvRectArray {
public:
    using Rect = qvMathRectOf<double>;
    using const_iterator = Rect const*;
    using const_reverse_iterator = std::reverse_iterator<Rect const*>;
    static_assert(std::is_trivially_copyable_v<Rect>);

    qvRectArray() noexcept = default;
    qvRectArray(qvRectArray const& other);
    qvRectArray(qvRectArray&& other) noexcept { swap(other); }
    qvRectArray& operator=(qvRectArray other) noexcept {
        swap(other);
        return *this;
    }
    ~qvRectArray();

    std::size_t size() const noexcept { return size_; }
    std::size_t capacity() const noexcept { return capacity_; }
    bool empty() const noexcept { return size_ == 0; }
    Rect* begin() noexcept { return data_; }
    Rect* end() noexcept { return data_ + size_; }
    Rect const* begin() const noexcept { return data_; }
    Rect const* end() const noexcept { return data_ + size_; }
    const_reverse_iterator rbegin() const noexcept { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const noexcept { return const_reverse_iterator(begin()); }
    Rect& operator[](std::size_t i) noexcept { return data_[i]; }
    Rect const& operator[](std::size_t i) const noexcept { return data_[i]; }

    void push_back(Rect const& r) {
        if (size_ == capacity_) grow(size_ + 1);
        data_[size_++] = r;
    }
    // Room for n elements in all.
    void reserve(std::size_t n) {
        if (n > capacity_) grow(n);
    }
    // Puts [from, to) before the first element, in that order.
    template <class It>
    void insert_front(It from, It to);
    // Puts [from, to) after the last element, in that order.
    template <class It>
    void append(It from, It to) {
        reserve(size_ + static_cast<std::size_t>(std::distance(from, to)));
        for (; from != to; ++from) data_[size_++] = *from;
    }
    void shrink_to(std::size_t n) noexcept {
        if (n < size_) size_ = n;
    }
    void clear() noexcept { size_ = 0; }
    void swap(qvRectArray& other) noexcept;

private:
    // A block of at least `least` elements, growing geometrically.
    void grow(std::size_t least);

    Rect* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

template <class It>
void qvRectArray::insert_front(It from, It to) {
    const auto n = static_cast<std::size_t>(std::distance(from, to));
    if (n == 0) return;
    reserve(size_ + n);
    // One move of the whole block: the list's back is the start of storage,
    // so what goes there costs a shift of everything, done at memory speed.
    std::memmove(static_cast<void*>(data_ + n), static_cast<void const*>(data_), size_ * sizeof(Rect));
    for (std::size_t i = 0; from != to; ++from, ++i) data_[i] = *from;
    size_ += n;
}
