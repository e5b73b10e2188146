#pragma once
// qvPolyMarker: the typed handle of a compact poly-marker in a scene, and
// qvPolyMarkerProxy, its concrete proxy (proxy class id 3, kind -4, records
// of 48 + 4n bytes for n points): its points are two 16-bit fractions of the
// record's box (4 bytes each), and the box is its rectangle: setting it
// moves and scales the whole figure. The polygon, polyline and poly-marker
// of one form differ only in kind code, proxy class id and identity; the
// drawing side tells them apart.
//
// The creating constructor with points makes the proxy, inserts the n points
// at 0 when n > 0 (which creates the record; a null array raises
// qvErrorFrom<qvPolyMarker> "Cannot insert points through NULL pointer" and
// leaves the scene unchanged), then connects the attribute when one is
// given. With n <= 0 nothing is inserted and the array is not looked at.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvRelativePointSetProxy.hpp>
#include <orvane/shapes/qvRelativePointSetProxyBase.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

using qvPolyMarkerProxy =
    qvSingleShapeGraphicProxy<qvRelativePointSetProxy<qvRelativePointSetProxyBase>, qvCompactPolyMarkerData>;
QV_INTERFACE_NAME(qvPolyMarkerProxy);

class qvPolyMarker : public qvSpecificGraphic<qvPolyMarkerProxy> {
    using Base = qvSpecificGraphic<qvPolyMarkerProxy>;

public:
    using Base::Base;
    using Base::operator=;
    qvPolyMarker() noexcept = default;

    // A new poly-marker of `scene`, without a record until its first change.
    explicit qvPolyMarker(qvContainerScene& scene);
    // A new poly-marker of the n points (copied; none when n <= 0).
    qvPolyMarker(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
                 qvAttributeFolderInterface* attributes = nullptr);
};
