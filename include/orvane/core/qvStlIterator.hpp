#pragma once
// qvStlIterator<C>: the polymorphic iterator over a standard container's
// range, for handing a container's elements out in a qvIndirectIterator.
//
// Keeps true: it holds a position and the range's end, nothing else: it
// reads the live container, so an element removed under it must not be
// reached again (the container's own iterator rules). get() is the current
// element's address, null at the end; next() at the end stays there.

#include <orvane/core/qvIterator.hpp>

template <class C>
class qvStlIterator : public qvIterator<typename C::value_type> {
public:
    using value_type = typename C::value_type;
    using position = typename C::iterator;

    qvStlIterator(position first, position last) : current_(first), end_(last) {}
    explicit qvStlIterator(C& container) : qvStlIterator(container.begin(), container.end()) {}

    value_type* get() override { return current_ == end_ ? nullptr : &*current_; }
    void next() override {
        if (current_ != end_)
            ++current_;
    }
    bool at_end() const override { return current_ == end_; }

private:
    position current_;
    position end_;
};
