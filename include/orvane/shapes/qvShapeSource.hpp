#pragma once
// qvShapeSource: a store of shape records that answers which of them meet
// an area. The shape list of a memory scene layer and the quadtree of a
// paged scene implement it.
//
// Keeps true: query(area, reverse) iterates over the records whose float
// bounding boxes overlap `area` strictly (records that only touch it are
// left out), in drawing order, or in reverse drawing order when `reverse` is
// set. The iterator refers to the store directly and is valid only while
// the store is not changed.

#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

class qvShapeSource {
public:
    virtual qvIndirectIterator<qvShapeBase> query(qvMathRectOf<double> const& area, bool reverse) = 0;

protected:
    qvShapeSource() noexcept = default;
    qvShapeSource(qvShapeSource const&) noexcept = default;
    qvShapeSource& operator=(qvShapeSource const&) noexcept = default;
    ~qvShapeSource() = default;
};
