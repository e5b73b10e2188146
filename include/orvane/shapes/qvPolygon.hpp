#pragma once
// qvPolygon: the typed handle of a compact polygon in a scene, and
// qvPolygonProxy, its concrete proxy (proxy class id 6, kind -6, records of
// 48 + 4n bytes for n points): its points are two 16-bit fractions of the
// record's box (4 bytes each), and the box is its rectangle: setting it
// moves and scales the whole figure. The polygon, polyline and poly-marker
// of one form differ only in kind code, proxy class id and identity; the
// drawing side tells them apart.
//
// The creating constructor with points makes the proxy, inserts the n points
// at 0 when n > 0 (which creates the record; a null array raises
// qvErrorFrom<qvPolygon> "Cannot insert points through NULL pointer" and
// leaves the scene unchanged), then connects the attribute when one is
// given. With n <= 0 nothing is inserted and the array is not looked at.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvRelativePointSetProxy.hpp>
#include <orvane/shapes/qvRelativePointSetProxyBase.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

using qvPolygonProxy =
    qvSingleShapeGraphicProxy<qvRelativePointSetProxy<qvRelativePointSetProxyBase>, qvCompactPolygonData>;
QV_INTERFACE_NAME(qvPolygonProxy);

class qvPolygon : public qvSpecificGraphic<qvPolygonProxy> {
    using Base = qvSpecificGraphic<qvPolygonProxy>;

public:
    using Base::Base;
    using Base::operator=;
    qvPolygon() noexcept = default;

    // A new polygon of `scene`, without a record until its first change.
    explicit qvPolygon(qvContainerScene& scene);
    // A new polygon of the n points (copied; none when n <= 0).
    qvPolygon(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
              qvAttributeFolderInterface* attributes = nullptr);
};
