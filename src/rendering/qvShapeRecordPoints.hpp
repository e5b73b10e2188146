#pragma once
// The one decoding of the points of a shape record that a driver draws in
// place: the dump driver's port and the hosts' own drivers read point sets
// and Bézier curves through it, so a compact point means the same place to
// all of them.
//
// Compact points (u, v) are fractions of the record's box as stored (x0,
// y0, x1, y1): x = x0 + u * (x1 - x0) / 65535, so 0 and 65535 give the
// box's own edges exactly. Exact points are copied unchanged. Béziers add
// their tags, one per point, in record order.
//
// Keeps true: the record passed the record check (qvShapeRecordValid), so
// its count and nodes lie inside it; a count of 0 or less decodes nothing.
// The arrays are the caller's scratch storage: they are cleared first and
// keep their capacity, so a stream of records allocates nothing once warm.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include <cstdint>
#include <vector>

// The kind's data struct, read in place at record offset 40.
template <class Data>
Data const& qvShapeRecordData(qvShapeBase const& record) noexcept {
    return *reinterpret_cast<Data const*>(reinterpret_cast<char const*>(&record) + sizeof(qvShapeBase));
}

// The model point of a compact point (u, v) on the record's box as stored
// (box = record.bbox()): 0 and 65535 give the box's own edges exactly.
inline qvCrdOf<double> qvCompactRecordPoint(qvMathRectOf<double> const& box, qvCrdOf<std::uint16_t> uv) noexcept {
    return {box.x1 + uv.x * (box.x2 - box.x1) / 65535, box.y1 + uv.y * (box.y2 - box.y1) / 65535};
}

// Whether the record's kind stores points: the compact and exact
// polymarkers, polylines, polygons and Bézier curves.
bool qvShapeRecordHasPoints(qvShapeBase const& record) noexcept;

// The stored point count of such a record (possibly 0 or negative).
long qvShapeRecordPointCount(qvShapeBase const& record) noexcept;

// Decodes the record's points (and, for Béziers, tags) into the arrays;
// false, with both arrays emptied, for a kind without points.
bool qvDecodeShapeRecordPoints(qvShapeBase const& record, std::vector<qvCrdOf<double>>& points,
                               std::vector<qvPointTag>& tags);
