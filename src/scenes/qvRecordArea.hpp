#pragma once
// qvRecordArea: the area of a scene query as the floats that records' boxes
// are compared with, and the one rule by which a record meets it. The
// quadtree, the connected list and the connected-copy index answer the same
// area with the same records only because they share this rule.
//
// Keeps true: the area is rounded to floats once; a box meets it when the
// interiors overlap strictly on both axes (touching is not enough, NaN
// meets nothing).

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

struct qvRecordArea {
    explicit qvRecordArea(qvMathRectOf<double> const& area) noexcept
        : x1(static_cast<float>(area.x1)), y1(static_cast<float>(area.y1)), x2(static_cast<float>(area.x2)),
          y2(static_cast<float>(area.y2)) {}

    bool met_by(qvShapeBase const& record) const noexcept {
        qvMathRectOf<float> const& b = record.box;
        return b.x1 < x2 && b.x2 > x1 && b.y1 < y2 && b.y2 > y1;
    }

    float x1, y1, x2, y2;
};
