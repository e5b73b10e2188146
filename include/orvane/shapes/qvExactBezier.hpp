#pragma once
// qvExactBezier: the typed handle of an exact Bezier curve in a scene, and
// qvExactBezierProxy, its concrete proxy (proxy class id 12, kind -16,
// records of 48 + 24n bytes for n points: each point two doubles, a 32-bit
// tag and 4 padding bytes written as 0). The record's box is kept the tight
// box of all points, control points included.
//
// The creating constructors with points make the proxy, insert the n points
// at 0 with their tags (null tags: every point 1) when n > 0, which creates
// the record (a null point array raises qvErrorFrom<qvExactBezier> "Cannot
// insert points through NULL pointer" and leaves the scene unchanged), then
// connect the attribute when one is given. With n <= 0 nothing is inserted
// and the arrays are not looked at.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/shapes/qvAbsoluteBezierProxy.hpp>
#include <orvane/shapes/qvAbsoluteBezierProxyBase.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

using qvExactBezierProxy = qvSingleShapeGraphicProxy<qvAbsoluteBezierProxy<qvAbsoluteBezierProxyBase>, qvBezierData>;
QV_INTERFACE_NAME(qvExactBezierProxy);

class qvExactBezier : public qvSpecificGraphic<qvExactBezierProxy> {
    using Base = qvSpecificGraphic<qvExactBezierProxy>;

public:
    using Base::Base;
    using Base::operator=;
    qvExactBezier() noexcept = default;

    // A new curve of `scene`, without a record until its first change.
    explicit qvExactBezier(qvContainerScene& scene);
    // A new curve of the n points (copied; none when n <= 0), every point 1.
    qvExactBezier(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
                  qvAttributeFolderInterface* attributes = nullptr);
    // A new curve of the n points with their n tags (null: every point 1).
    qvExactBezier(qvContainerScene& scene, int n, qvCrdOf<double> const* points, qvPointTag const* tags,
                  qvAttributeFolderInterface* attributes);
};
