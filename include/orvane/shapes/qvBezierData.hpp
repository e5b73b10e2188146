#pragma once
// The Bezier data structs: point sets whose every node carries its tag
// (qvPointTag). Nodes follow the node-set layout (qvNodeSetData.hpp):
//   compact node (qvCompactBezierData, kind -7, proxy class 4), 8 bytes:
//     0  uint16 x fraction, 2  uint16 y fraction (of the header's box),
//     4  int32 tag
//   exact node (qvBezierData, kind -16, proxy class 12), 24 bytes:
//     0  float64 x, 8  float64 y, 16  int32 tag, 20  4 padding bytes (written
//     as 0; copies carry whatever a record holds there)
// A record of n nodes is 48 + 8n or 48 + 24n bytes. Tags are stored as
// given and never checked.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/shapes/qvNodeSetData.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

struct qvCompactBezierNode {
    qvCrdOf<std::uint16_t> point;
    qvPointTag tag = qvPointOnCurve;
};

struct qvBezierNode {
    qvCrdOf<double> point;
    qvPointTag tag = qvPointOnCurve;
    std::int32_t padding = 0;
};

struct qvCompactBezierData : qvNodeSetData<qvCompactBezierNode> {
    using Node = qvCompactBezierNode;
    static constexpr long flavor() noexcept { return qvCompactBezierKind; }
};

struct qvBezierData : qvNodeSetData<qvBezierNode> {
    using Node = qvBezierNode;
    static constexpr long flavor() noexcept { return qvExactBezierKind; }
};

static_assert(sizeof(qvCompactBezierNode) == 8 && offsetof(qvCompactBezierNode, tag) == 4);
static_assert(sizeof(qvBezierNode) == 24 && offsetof(qvBezierNode, tag) == 16);
static_assert(std::is_standard_layout_v<qvCompactBezierNode> && std::is_standard_layout_v<qvBezierNode>);
static_assert(std::is_trivially_copyable_v<qvCompactBezierData> && std::is_trivially_copyable_v<qvBezierData>);
static_assert(std::is_standard_layout_v<qvCompactBezierData> && std::is_standard_layout_v<qvBezierData>);
static_assert(sizeof(qvShape<qvCompactBezierData>) == 48 && sizeof(qvShape<qvBezierData>) == 48);
