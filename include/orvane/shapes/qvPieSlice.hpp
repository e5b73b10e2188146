#pragma once
// qvPieSlice: the typed handle of an in-scene pie slice, and
// qvPieSliceProxy, its concrete proxy (proxy class id 16, kind -17, 56-byte
// records laid out as an arc's). A pie slice is an arc's wedge: same
// layers, same record, same constructors (see qvArc.hpp); only the kind
// code, the proxy class id and the identity tell them apart, so a qvPieSlice
// handle rejects an arc and a qvArc handle a pie slice.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvArcData.hpp>
#include <orvane/shapes/qvArcProxyBase.hpp>
#include <orvane/shapes/qvGenericArcProxy.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

using qvPieSliceProxy = qvSingleShapeGraphicProxy<qvGenericArcProxy<qvArcProxyBase>, qvPieSliceData>;
QV_INTERFACE_NAME(qvPieSliceProxy);

class qvPieSlice : public qvSpecificGraphic<qvPieSliceProxy> {
    using Base = qvSpecificGraphic<qvPieSliceProxy>;

public:
    using Base::Base;
    using Base::operator=;
    qvPieSlice() noexcept = default;

    // A new pie slice of `scene`, without a record until its first change.
    explicit qvPieSlice(qvContainerScene& scene);
    // A new pie slice of the ellipse in box r, stored as it is.
    qvPieSlice(qvContainerScene& scene, qvMathRectOf<double> const& r, double angle1, double angle2,
               qvAttributeFolderInterface* attributes = nullptr);
    // A new pie slice of a circle.
    qvPieSlice(qvContainerScene& scene, qvCrdOf<double> center, double radius, double angle1, double angle2,
               qvAttributeFolderInterface* attributes = nullptr);
    // A new pie slice of an ellipse with its two radii.
    qvPieSlice(qvContainerScene& scene, qvCrdOf<double> center, double x_radius, double y_radius, double angle1,
               double angle2, qvAttributeFolderInterface* attributes = nullptr);
};
