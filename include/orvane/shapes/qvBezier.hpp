#pragma once
// qvBezier: the typed handle of a compact Bezier curve in a scene, and
// qvBezierProxy, its concrete proxy (proxy class id 4, kind -7, records of
// 48 + 8n bytes for n points: each point a word of two 16-bit fractions of
// the record's box and a 32-bit tag). The box is the curve's rectangle:
// setting it moves and scales the whole curve, control points included.
//
// The creating constructors with points make the proxy, insert the n points
// at 0 with their tags (null tags: every point 1) when n > 0, which creates
// the record (a null point array raises qvErrorFrom<qvBezier> "Cannot insert
// points through NULL pointer" and leaves the scene unchanged), then connect
// the attribute when one is given. With n <= 0 nothing is inserted and the
// arrays are not looked at.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvRelativeBezierProxy.hpp>
#include <orvane/shapes/qvRelativeBezierProxyBase.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

using qvBezierProxy =
    qvSingleShapeGraphicProxy<qvRelativeBezierProxy<qvRelativeBezierProxyBase>, qvCompactBezierData>;
QV_INTERFACE_NAME(qvBezierProxy);

class qvBezier : public qvSpecificGraphic<qvBezierProxy> {
    using Base = qvSpecificGraphic<qvBezierProxy>;

public:
    using Base::Base;
    using Base::operator=;
    qvBezier() noexcept = default;

    // A new curve of `scene`, without a record until its first change.
    explicit qvBezier(qvContainerScene& scene);
    // A new curve of the n points (copied; none when n <= 0), every point 1.
    qvBezier(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
             qvAttributeFolderInterface* attributes = nullptr);
    // A new curve of the n points with their n tags (null: every point 1).
    qvBezier(qvContainerScene& scene, int n, qvCrdOf<double> const* points, qvPointTag const* tags,
             qvAttributeFolderInterface* attributes);
};
