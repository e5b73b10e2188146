#pragma once
// qvPointSetGenerator: the device points of one point-set or Bézier record,
// compact or exact, in record order, as a point iterator (get, next,
// at_end), so a hit test walks a record without building a point array.
//
// A point is mapped by the scale and offset of the given model-to-device
// transformation; a compact point (u, v) is first placed on the record's
// box by the records' one decoding (x0 + u * (x1 - x0) / 65535), so its
// box corners land exactly on the box. For Bézier records tag() gives the
// current node's tag; other kinds answer qvPointOnCurve.
//
// Keeps true: the record passed the record check (its nodes lie inside
// it) and outlives the generator; a count of 0 or less, or a kind without
// points, gives an empty generator. get() is null at the end.

#include <orvane/core/qvIterator.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

struct qvShapeBase;

class qvPointSetGenerator : public qvIterator<qvCrdOf<double>> {
public:
    using Point = qvCrdOf<double>;

    qvPointSetGenerator(qvShapeBase const& record, qvRestrictedTransformation const& t);

    Point* get() override { return index_ < count_ ? &current_ : nullptr; }
    void next() override;
    bool at_end() const override { return index_ >= count_; }

    // Back to the first point.
    void reset();
    // The number of points and the index of the current one.
    long size() const noexcept { return count_; }
    long index() const noexcept { return index_; }
    // The device point and the tag of node i (0 <= i < size()).
    Point point_at(long i) const noexcept;
    qvPointTag tag_at(long i) const noexcept;
    qvPointTag tag() const noexcept { return tag_at(index_); }

private:
    enum class Layout { none, compact, exact, compact_bezier, exact_bezier };

    void load() noexcept;

    Layout layout_ = Layout::none;
    unsigned char const* nodes_ = nullptr;
    long count_ = 0;
    long index_ = 0;
    qvMathRectOf<double> box_{};
    qvRestrictedTransformation t_;
    Point current_{};
};
