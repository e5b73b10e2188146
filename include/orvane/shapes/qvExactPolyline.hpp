#pragma once
// qvExactPolyline: the typed handle of an exact polyline in a scene, and
// qvExactPolylineProxy, its concrete proxy (proxy class id 13, kind -14,
// records of 48 + 16n bytes for n points): its points are two doubles each
// (16 bytes), and the record's box is kept the tight box of the points. The
// polygon, polyline and poly-marker of one form differ only in kind code,
// proxy class id and identity; the drawing side tells them apart.
//
// The creating constructor with points makes the proxy, inserts the n points
// at 0 when n > 0 (which creates the record; a null array raises
// qvErrorFrom<qvExactPolyline> "Cannot insert points through NULL pointer"
// and leaves the scene unchanged), then connects the attribute when one is
// given. With n <= 0 nothing is inserted and the array is not looked at.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvAbsolutePointSetProxy.hpp>
#include <orvane/shapes/qvAbsolutePointSetProxyBase.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

using qvExactPolylineProxy =
    qvSingleShapeGraphicProxy<qvAbsolutePointSetProxy<qvAbsolutePointSetProxyBase>, qvPolylineData>;
QV_INTERFACE_NAME(qvExactPolylineProxy);

class qvExactPolyline : public qvSpecificGraphic<qvExactPolylineProxy> {
    using Base = qvSpecificGraphic<qvExactPolylineProxy>;

public:
    using Base::Base;
    using Base::operator=;
    qvExactPolyline() noexcept = default;

    // A new polyline of `scene`, without a record until its first change.
    explicit qvExactPolyline(qvContainerScene& scene);
    // A new polyline of the n points (copied; none when n <= 0).
    qvExactPolyline(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
                    qvAttributeFolderInterface* attributes = nullptr);
};
