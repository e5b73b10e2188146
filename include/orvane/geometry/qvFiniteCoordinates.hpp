#pragma once
// qvFiniteCoordinates: the two questions every setter of a coordinate asks
// before it stores one.
//  - qvIsFinite: no NaN and no infinity. Views, mappings and the values a
//    driver receives need no more.
//  - qvFitsFloat: finite and no larger in magnitude than FLT_MAX. Shape
//    records keep their box (and compact records their whole frame) as
//    floats, so a coordinate beyond that range would turn into an infinity
//    the moment it is stored. The bound is tested in double before any
//    conversion, so nothing out of range is ever converted to float.
// A point, a rectangle (plain, model or window) or a mapping passes when
// each of its values does.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

#include <cfloat>
#include <cmath>

inline bool qvIsFinite(double v) noexcept { return std::isfinite(v); }

inline bool qvIsFinite(qvCrdOf<double> const& p) noexcept { return std::isfinite(p.x) && std::isfinite(p.y); }

inline bool qvIsFinite(qvRectOf<double> const& r) noexcept {
    return std::isfinite(r.x1) && std::isfinite(r.y1) && std::isfinite(r.x2) && std::isfinite(r.y2);
}

inline bool qvIsFinite(qvMathRectOf<double> const& r) noexcept {
    return std::isfinite(r.x1) && std::isfinite(r.y1) && std::isfinite(r.x2) && std::isfinite(r.y2);
}

inline bool qvIsFinite(qvRectOf<float> const& r) noexcept {
    return std::isfinite(r.x1) && std::isfinite(r.y1) && std::isfinite(r.x2) && std::isfinite(r.y2);
}

inline bool qvIsFinite(qvRestrictedTransformation const& t) noexcept {
    const qvRTComponent x = t.get_x(), y = t.get_y();
    return std::isfinite(x.scale) && std::isfinite(x.offset) && std::isfinite(y.scale) && std::isfinite(y.offset);
}

inline bool qvFitsFloat(double v) noexcept { return std::fabs(v) <= static_cast<double>(FLT_MAX); }

inline bool qvFitsFloat(qvCrdOf<double> const& p) noexcept { return qvFitsFloat(p.x) && qvFitsFloat(p.y); }

inline bool qvFitsFloat(qvRectOf<double> const& r) noexcept {
    return qvFitsFloat(r.x1) && qvFitsFloat(r.y1) && qvFitsFloat(r.x2) && qvFitsFloat(r.y2);
}
