#pragma once
// qvGridRegionInternalIterator: walks a grid region band by band, bottom to
// top, and left to right inside a band: one rectangle per interval per
// band, read straight from the grid's rows and intervals. It reads the
// region's grid, which must outlive it unchanged; a copy walks on from the
// same position.
//
// Keeps true: either the walk is over (the row is past the last row) or the
// current rectangle is the current interval over the band from the current
// row's key to the next row's key, and the interval lies in that row's
// strip.
//
// Stepping is inline and the class final, so the rectangle holder, which
// knows this class, walks a grid region's rectangles without any call: a
// step inside a band moves one pointer and copies two values. Moving on to
// the next band is inline too: with no call left in a caller's loop, the
// compiler keeps the walk in registers instead of storing and reloading it
// at every rectangle.

#include <orvane/core/qvIterator.hpp>
#include <orvane/geometry/qvIRGrid.hpp>
#include <orvane/geometry/qvMathRect.hpp>

#include <cstddef>

class qvGridRegion;

class qvGridRegionInternalIterator final : public qvIterator<qvMathRectOf<double>> {
public:
    explicit qvGridRegionInternalIterator(qvGridRegion const& region) noexcept;

    qvMathRectOf<double>* get() override { return &current_; }
    void next() override { step(); }
    bool at_end() const override { return done(); }

    // The same three without a virtual call.
    qvMathRectOf<double> const& rect() const noexcept { return current_; }
    bool done() const noexcept { return row_ == rows_; }
    void step() noexcept {
        if (done()) [[unlikely]]
            return;
        if (++interval_ != band_end_) [[likely]] {
            current_.x1 = interval_->start;
            current_.x2 = interval_->end;
        } else {
            ++row_;
            seek_band();
        }
    }

private:
    // Moves to the first band with intervals at or after `row_` and loads
    // its first rectangle, or ends the walk. A band is a row with intervals
    // and a row above it; in canonical form the top row is empty, so the
    // second test only guards the walk.
    void seek_band() noexcept {
        while (row_ < rows_ && (grid_->row(row_).strip.empty() || row_ + 1 == rows_)) ++row_;
        if (row_ == rows_) return;
        // Intervals and keys ascend, so the corners are in order as read.
        const qvIRRow band = grid_->row(row_);
        interval_ = band.strip.data();
        band_end_ = interval_ + band.strip.size();
        current_.x1 = interval_->start;
        current_.y1 = band.key;
        current_.x2 = interval_->end;
        current_.y2 = grid_->row(row_ + 1).key;
    }

    qvIRGrid const* grid_;
    std::size_t row_ = 0;
    std::size_t rows_;
    qvIRInterval const* interval_ = nullptr;
    qvIRInterval const* band_end_ = nullptr;
    qvMathRectOf<double> current_ = qvMathRectOf<double>::make_empty();
};
