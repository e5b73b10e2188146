#pragma once
// qvArcData and qvPieSliceData: the data of arc (kind -3, proxy class 15)
// and pie-slice (kind -17, proxy class 16) records, 56 bytes each. The
// ellipse is the one inscribed in the header's box; the two angles, in
// degrees, are stored exactly as given (no reduction, ordering or clamping).
//   record offset  size  field
//             40     8  angle1, float64, 0.0 when constructed
//             48     8  angle2, float64, 360.0 when constructed (full ellipse)

#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

struct qvArcData {
    double angle1 = 0.0;
    double angle2 = 360.0;

    static constexpr long flavor() noexcept { return qvArcKind; }
};

struct qvPieSliceData : qvArcData {
    static constexpr long flavor() noexcept { return qvPieSliceKind; }
};

static_assert(std::is_trivially_copyable_v<qvPieSliceData>);
static_assert(std::is_standard_layout_v<qvPieSliceData>);
static_assert(sizeof(qvArcData) == 16 && sizeof(qvPieSliceData) == 16);
static_assert(offsetof(qvArcData, angle1) == 0);
static_assert(offsetof(qvArcData, angle2) == 8);
static_assert(sizeof(qvShape<qvArcData>) == 56 && sizeof(qvShape<qvPieSliceData>) == 56);
