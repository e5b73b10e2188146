#pragma once
// qvRectangle: the typed handle of an in-scene rectangle, and
// qvRectangleProxy, its concrete proxy (proxy class id 1, kind -1, 48-byte
// records: the header and 8 reserved bytes). The rectangle is the record's
// box.
//
// The creating constructors make a proxy connected to the scene; one given
// geometry then sets it (which creates the record and reports its box) and,
// given an attribute, connects it. They order the box they are given per
// axis, except the one taking a qvMathRectOf<double>, which stores it as it
// is: (5, 1, 2, 4) as four values or two corners becomes (2, 1, 5, 4).

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvGenericRectangleProxy.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/shapes/qvRectangleProxyBase.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

using qvRectangleProxy = qvSingleShapeGraphicProxy<qvGenericRectangleProxy<qvRectangleProxyBase>, qvRectangleData>;
QV_INTERFACE_NAME(qvRectangleProxy);

class qvRectangle : public qvSpecificGraphic<qvRectangleProxy> {
    using Base = qvSpecificGraphic<qvRectangleProxy>;

public:
    // Empty handles, shared copies, the type-tested conversion from
    // qvGraphic, the rectangle of an existing shape (scene, handle) and the
    // copy of a graphic into a scene.
    using Base::Base;
    using Base::operator=;
    qvRectangle() noexcept = default;

    // A new rectangle of `scene`, without a record until its first change.
    explicit qvRectangle(qvContainerScene& scene);
    // A new rectangle with box r, stored as it is.
    qvRectangle(qvContainerScene& scene, qvMathRectOf<double> const& r,
                qvAttributeFolderInterface* attributes = nullptr);
    // A new rectangle spanned by two corners, ordered per axis.
    qvRectangle(qvContainerScene& scene, qvCrdOf<double> p1, qvCrdOf<double> p2,
                qvAttributeFolderInterface* attributes = nullptr);
    // A new rectangle (x1, y1, x2, y2), ordered per axis.
    qvRectangle(qvContainerScene& scene, double x1, double y1, double x2, double y2,
                qvAttributeFolderInterface* attributes = nullptr);
};
