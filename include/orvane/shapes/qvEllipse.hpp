#pragma once
// qvEllipse: the typed handle of an in-scene ellipse, and qvEllipseProxy,
// its concrete proxy (proxy class id 2, kind -2, 48-byte records: the
// header and 8 reserved bytes). The ellipse is the one inscribed in the
// record's box (see qvGenericEllipseProxy for its centre and radii).
//
// The creating constructors behave as qvRectangle's: the box taken as a
// qvMathRectOf<double> is stored as it is; a centre with radii spans the
// corners (cx - rx, cy - ry) and (cx + rx, cy + ry), ordered per axis, so a
// negative radius gives the box of its absolute value.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvEllipseData.hpp>
#include <orvane/shapes/qvEllipseProxyBase.hpp>
#include <orvane/shapes/qvGenericEllipseProxy.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

using qvEllipseProxy = qvSingleShapeGraphicProxy<qvGenericEllipseProxy<qvEllipseProxyBase>, qvEllipseData>;
QV_INTERFACE_NAME(qvEllipseProxy);

class qvEllipse : public qvSpecificGraphic<qvEllipseProxy> {
    using Base = qvSpecificGraphic<qvEllipseProxy>;

public:
    using Base::Base;
    using Base::operator=;
    qvEllipse() noexcept = default;

    // A new ellipse of `scene`, without a record until its first change.
    explicit qvEllipse(qvContainerScene& scene);
    // A new ellipse in the box r, stored as it is.
    qvEllipse(qvContainerScene& scene, qvMathRectOf<double> const& r,
              qvAttributeFolderInterface* attributes = nullptr);
    // A new circle.
    qvEllipse(qvContainerScene& scene, qvCrdOf<double> center, double radius,
              qvAttributeFolderInterface* attributes = nullptr);
    // A new ellipse with its two radii.
    qvEllipse(qvContainerScene& scene, qvCrdOf<double> center, double x_radius, double y_radius,
              qvAttributeFolderInterface* attributes = nullptr);
};
