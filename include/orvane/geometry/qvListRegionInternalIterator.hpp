#pragma once
// qvListRegionInternalIterator, known to list regions as
// qvListRegion::InternalIterator: walks a list region's rectangles front to
// back. It reads the region's list, which must outlive it unchanged; a copy
// walks on from the same position.
//
// Keeps true: either the walk is over or the current rectangle is a copy of
// the one at the current position (the region's storage is never handed
// out writable). The region stores its list newest last, so the walk runs
// over the storage backwards.
//
// Stepping is inline and the class final, so the rectangle holder, which
// knows this class, walks a list region's rectangles without a call.

#include <orvane/core/qvIterator.hpp>
#include <orvane/geometry/qvMathRect.hpp>

#include <orvane/geometry/qvRectArray.hpp>

class qvListRegion;

class qvListRegionInternalIterator final : public qvIterator<qvMathRectOf<double>> {
public:
    using List = qvRectArray;

    explicit qvListRegionInternalIterator(qvListRegion const& region) noexcept;

    qvMathRectOf<double>* get() override { return &current_; }
    void next() override { step(); }
    bool at_end() const override { return done(); }

    // The same three without a virtual call.
    qvMathRectOf<double> const& rect() const noexcept { return current_; }
    bool done() const noexcept { return position_ == end_; }
    void step() noexcept {
        if (done()) return;
        if (++position_ != end_) current_ = *position_;
    }

private:
    List::const_reverse_iterator position_;
    List::const_reverse_iterator end_;
    qvMathRectOf<double> current_ = qvMathRectOf<double>::make_empty();
};
