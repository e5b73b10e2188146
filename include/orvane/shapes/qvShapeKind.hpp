#pragma once
// The two numberings of a shape record's kind. The proxy class id says which
// registered proxy class builds a proxy for a record; the kind code says how
// the record is drawn and hit-tested. The allocating proxy of a kind stamps
// both into a new record.
//
//   proxy class id  kind code  shape                 fixed record size
//         1            -1      rectangle                      48
//         2            -2      ellipse                        48
//         3            -4      compact polymarker             48
//         4            -7      compact Bezier curve           48
//         5            -5      compact polyline               48
//         6            -6      compact polygon                48
//         7            -9      restricted text               120
//         8           -10      scaled text                   120
//         9           -11      restricted image              136
//        10           -12      scaled image                  144
//        11           -13      exact polymarker               48
//        12           -16      exact Bezier curve             48
//        13           -14      exact polyline                 48
//        14           -15      exact polygon                  48
//        15            -3      arc                            56
//        16           -17      pie slice                      56
//
// Keeps true: kind code -8 is never written and no kind has it; a positive
// kind code names a flavour shape drawn by the flavour renderer registered
// under it; 0 is a record no proxy has stamped yet. The fixed record size is
// the 40-byte header plus the fixed part of the kind's data struct; kinds
// with variable parts grow beyond it.

#include <array>
#include <cstdint>

enum qvShapeKind : std::int32_t {
    qvRectangleKind = -1,
    qvEllipseKind = -2,
    qvArcKind = -3,
    qvCompactPolyMarkerKind = -4,
    qvCompactPolylineKind = -5,
    qvCompactPolygonKind = -6,
    qvCompactBezierKind = -7,
    qvRestrictedTextKind = -9,
    qvScaledTextKind = -10,
    qvRestrictedImageKind = -11,
    qvScaledImageKind = -12,
    qvExactPolyMarkerKind = -13,
    qvExactPolylineKind = -14,
    qvExactPolygonKind = -15,
    qvExactBezierKind = -16,
    qvPieSliceKind = -17,
};

// The standard proxy classes are numbered 1 to this.
inline constexpr long qvStandardProxyClassCount = 16;

namespace qvShapeKindDetail {

struct Row {
    std::int32_t kind;
    std::int32_t fixed_size;
};

// Indexed by proxy class id - 1.
inline constexpr std::array<Row, qvStandardProxyClassCount> rows = {{
    {qvRectangleKind, 48},        {qvEllipseKind, 48},           {qvCompactPolyMarkerKind, 48},
    {qvCompactBezierKind, 48},    {qvCompactPolylineKind, 48},   {qvCompactPolygonKind, 48},
    {qvRestrictedTextKind, 120},  {qvScaledTextKind, 120},       {qvRestrictedImageKind, 136},
    {qvScaledImageKind, 144},     {qvExactPolyMarkerKind, 48},   {qvExactBezierKind, 48},
    {qvExactPolylineKind, 48},    {qvExactPolygonKind, 48},      {qvArcKind, 56},
    {qvPieSliceKind, 56},
}};

}  // namespace qvShapeKindDetail

// Whether a kind code is one of the sixteen standard ones (-1 to -17 but -8).
constexpr bool qvIsStandardKind(long kind) noexcept {
    return kind <= -1 && kind >= -17 && kind != -8;
}

// Whether a proxy class id is one of the sixteen standard ones.
constexpr bool qvIsStandardProxyClass(long id) noexcept {
    return id >= 1 && id <= qvStandardProxyClassCount;
}

// The kind code of a standard proxy class id; 0 for any other id.
constexpr std::int32_t qvKindOfProxyClass(long id) noexcept {
    return qvIsStandardProxyClass(id) ? qvShapeKindDetail::rows[static_cast<std::size_t>(id - 1)].kind : 0;
}

// The proxy class id of a standard kind code; 0 for any other code.
constexpr long qvProxyClassOfKind(long kind) noexcept {
    for (long id = 1; id <= qvStandardProxyClassCount; ++id)
        if (qvShapeKindDetail::rows[static_cast<std::size_t>(id - 1)].kind == kind)
            return id;
    return 0;
}

// The fixed record size of a standard kind code; 0 for any other code.
constexpr std::int32_t qvFixedRecordSize(long kind) noexcept {
    const long id = qvProxyClassOfKind(kind);
    return id == 0 ? 0 : qvShapeKindDetail::rows[static_cast<std::size_t>(id - 1)].fixed_size;
}
