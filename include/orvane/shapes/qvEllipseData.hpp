#pragma once
// qvEllipseData: the data of an ellipse record (kind -2, proxy class 2,
// 48 bytes). The ellipse is the one inscribed in the header's box; the data
// is 8 reserved bytes, written as 0 when constructed and never read.
//   record offset  size  field
//             40     8  reserved

#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

struct qvEllipseData {
    unsigned char reserved[8] = {};

    static constexpr long flavor() noexcept { return qvEllipseKind; }
};

static_assert(std::is_trivially_copyable_v<qvEllipseData>);
static_assert(std::is_standard_layout_v<qvEllipseData>);
static_assert(sizeof(qvEllipseData) == 8);
static_assert(sizeof(qvShape<qvEllipseData>) == 48);
