#pragma once
// qvScrollInfo: what happens to a window area when its contents move by an
// offset: the part of the old picture that can be copied (source), where it
// lands (destination), and the strips left to redraw (invalid).
//
// Keeps true: destination is the area intersected with the area moved by
// the offset, and source is destination moved back. An offset at least as
// large as the area makes the "intersection" the gap beyond the area (see
// qvRectIntersection): source and destination then lie outside the area,
// and the single strip is the whole area, so everything is redrawn.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvWinRect.hpp>

class qvScrollInfo {
public:
    qvScrollInfo(qvWinRectOf<double> const& area, qvCrdOf<double> const& offset) noexcept;

    qvWinRectOf<double> source() const noexcept { return source_; }
    qvWinRectOf<double> destination() const noexcept { return destination_; }

    // Writes the exposed strips to out[0], out[1] (room for two) and returns
    // their number: one per non-zero offset component. The vertical strip
    // comes first; the horizontal one is narrowed so the two do not overlap.
    int invalid(qvMathRectOf<double>* out) const noexcept;

private:
    qvWinRectOf<double> area_;
    qvCrdOf<double> offset_;
    qvWinRectOf<double> destination_;
    qvWinRectOf<double> source_;
};
