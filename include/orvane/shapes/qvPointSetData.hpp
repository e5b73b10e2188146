#pragma once
// The point-set data structs. Two storage forms share the node-set layout
// (qvNodeSetData.hpp): compact points are two uint16 fractions of the
// header's box (4 bytes, x in the low half of one little-endian word), exact
// points two doubles (16 bytes). A record of n points is 48 + 4n or
// 48 + 16n bytes. The six figure structs add no field; each stands for its
// kind code:
//   struct                   kind  proxy class
//   qvCompactPolyMarkerData    -4      3
//   qvCompactPolylineData      -5      5
//   qvCompactPolygonData       -6      6
//   qvPolyMarkerData          -13     11
//   qvPolylineData            -14     13
//   qvPolygonData             -15     14

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvNodeSetData.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

struct qvCompactPointSetData : qvNodeSetData<qvCrdOf<std::uint16_t>> {
    using Node = qvCrdOf<std::uint16_t>;
    qvCompactPointSetData() noexcept = default;

protected:
    qvCompactPointSetData(std::int32_t count_, Node* first) : qvNodeSetData(count_, first) {}
};

struct qvPointSetData : qvNodeSetData<qvCrdOf<double>> {
    using Node = qvCrdOf<double>;
    qvPointSetData() noexcept = default;

protected:
    qvPointSetData(std::int32_t count_, Node* first) : qvNodeSetData(count_, first) {}
};

struct qvCompactPolyMarkerData : qvCompactPointSetData {
    static constexpr long flavor() noexcept { return qvCompactPolyMarkerKind; }
};
struct qvCompactPolylineData : qvCompactPointSetData {
    static constexpr long flavor() noexcept { return qvCompactPolylineKind; }
};
struct qvCompactPolygonData : qvCompactPointSetData {
    static constexpr long flavor() noexcept { return qvCompactPolygonKind; }
};
struct qvPolyMarkerData : qvPointSetData {
    static constexpr long flavor() noexcept { return qvExactPolyMarkerKind; }
};
struct qvPolylineData : qvPointSetData {
    static constexpr long flavor() noexcept { return qvExactPolylineKind; }
};
struct qvPolygonData : qvPointSetData {
    static constexpr long flavor() noexcept { return qvExactPolygonKind; }
};

static_assert(sizeof(qvCompactPointSetData::Node) == 4 && sizeof(qvPointSetData::Node) == 16);
static_assert(std::is_trivially_copyable_v<qvCompactPolygonData>);
static_assert(std::is_trivially_copyable_v<qvPolygonData>);
static_assert(std::is_standard_layout_v<qvCompactPolygonData>);
static_assert(std::is_standard_layout_v<qvPolygonData>);
static_assert(sizeof(qvPointSetData) == 8 && alignof(qvPointSetData) == 4);
static_assert(offsetof(qvPointSetData, count) == 0);
static_assert(offsetof(qvPointSetData, offset) == 4);
static_assert(offsetof(qvPointSetData, padding) == 6);
