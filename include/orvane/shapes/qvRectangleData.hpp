#pragma once
// qvRectangleData: the data of a rectangle record (kind -1, proxy class 1,
// 48 bytes). The rectangle is the header's box; the data is 8 reserved bytes
// that no operation reads, written as 0 when constructed and carried
// unchanged through copies and streams.
//   record offset  size  field
//             40     8  reserved

#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

struct qvRectangleData {
    unsigned char reserved[8] = {};

    static constexpr long flavor() noexcept { return qvRectangleKind; }
};

static_assert(std::is_trivially_copyable_v<qvRectangleData>);
static_assert(std::is_standard_layout_v<qvRectangleData>);
static_assert(sizeof(qvRectangleData) == 8);
static_assert(sizeof(qvShape<qvRectangleData>) == 48);
