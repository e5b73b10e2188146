#pragma once
// qvArc: the typed handle of an in-scene arc, and qvArcProxy, its concrete
// proxy (proxy class id 15, kind -3, 56-byte records: the header, angle1
// and angle2). The box is the whole ellipse's rectangle; the two angles, in
// degrees, cut the arc from its outline and never change the box. A new
// record's angles are 0 and 360 (the whole ellipse).
//
// The creating constructors set the rectangle (stored as given as a
// qvMathRectOf<double>; from a centre and radii spanned and ordered as
// qvEllipse's), then angle1, then angle2, then connect the attribute when
// one is given: three guarded changes, the first creating the record.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvArcData.hpp>
#include <orvane/shapes/qvArcProxyBase.hpp>
#include <orvane/shapes/qvGenericArcProxy.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

using qvArcProxy = qvSingleShapeGraphicProxy<qvGenericArcProxy<qvArcProxyBase>, qvArcData>;
QV_INTERFACE_NAME(qvArcProxy);

class qvArc : public qvSpecificGraphic<qvArcProxy> {
    using Base = qvSpecificGraphic<qvArcProxy>;

public:
    using Base::Base;
    using Base::operator=;
    qvArc() noexcept = default;

    // A new arc of `scene`, without a record until its first change.
    explicit qvArc(qvContainerScene& scene);
    // A new arc of the ellipse in box r, stored as it is.
    qvArc(qvContainerScene& scene, qvMathRectOf<double> const& r, double angle1, double angle2,
          qvAttributeFolderInterface* attributes = nullptr);
    // A new arc of a circle.
    qvArc(qvContainerScene& scene, qvCrdOf<double> center, double radius, double angle1, double angle2,
          qvAttributeFolderInterface* attributes = nullptr);
    // A new arc of an ellipse with its two radii.
    qvArc(qvContainerScene& scene, qvCrdOf<double> center, double x_radius, double y_radius, double angle1,
          double angle2, qvAttributeFolderInterface* attributes = nullptr);
};
