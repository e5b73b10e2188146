// The shared decoding of record points (see qvShapeRecordPoints.hpp).

#include "rendering/qvShapeRecordPoints.hpp"

#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvShapeKind.hpp>

#include <cstdint>

namespace {

template <class Node>
qvCrdOf<double> record_points_exact(Node const& node) noexcept {
    if constexpr (requires { node.point; })
        return node.point;
    else
        return node;
}

template <class Node>
qvCrdOf<std::uint16_t> record_points_compact(Node const& node) noexcept {
    if constexpr (requires { node.point; })
        return node.point;
    else
        return node;
}

template <class Data, bool compact>
void record_points_decode(qvShapeBase const& record, std::vector<qvCrdOf<double>>& points,
                          std::vector<qvPointTag>& tags) {
    Data const& data = qvShapeRecordData<Data>(record);
    const long n = data.count;
    if (n <= 0)
        return;
    points.reserve(static_cast<std::size_t>(n));
    const qvMathRectOf<double> box = record.bbox();
    auto const* nodes = data.nodes();
    for (long i = 0; i < n; ++i) {
        if constexpr (compact) {
            points.push_back(qvCompactRecordPoint(box, record_points_compact(nodes[i])));
        } else {
            points.push_back(record_points_exact(nodes[i]));
        }
        if constexpr (requires { nodes[i].tag; })
            tags.push_back(nodes[i].tag);
    }
}

}  // namespace

bool qvShapeRecordHasPoints(qvShapeBase const& record) noexcept {
    switch (record.kind) {
    case qvCompactPolyMarkerKind:
    case qvCompactPolylineKind:
    case qvCompactPolygonKind:
    case qvCompactBezierKind:
    case qvExactPolyMarkerKind:
    case qvExactPolylineKind:
    case qvExactPolygonKind:
    case qvExactBezierKind:
        return true;
    default:
        return false;
    }
}

// Every point layout starts with the node-set count at data offset 0.
long qvShapeRecordPointCount(qvShapeBase const& record) noexcept {
    return qvShapeRecordHasPoints(record) ? static_cast<long>(qvShapeRecordData<qvCompactPointSetData>(record).count)
                                          : 0;
}

bool qvDecodeShapeRecordPoints(qvShapeBase const& record, std::vector<qvCrdOf<double>>& points,
                               std::vector<qvPointTag>& tags) {
    points.clear();
    tags.clear();
    switch (record.kind) {
    case qvCompactPolyMarkerKind:
    case qvCompactPolylineKind:
    case qvCompactPolygonKind:
        record_points_decode<qvCompactPointSetData, true>(record, points, tags);
        return true;
    case qvCompactBezierKind:
        record_points_decode<qvCompactBezierData, true>(record, points, tags);
        return true;
    case qvExactPolyMarkerKind:
    case qvExactPolylineKind:
    case qvExactPolygonKind:
        record_points_decode<qvPointSetData, false>(record, points, tags);
        return true;
    case qvExactBezierKind:
        record_points_decode<qvBezierData, false>(record, points, tags);
        return true;
    default:
        return false;
    }
}
