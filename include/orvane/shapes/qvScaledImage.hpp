#pragma once
// qvScaledImage: the typed handle of an in-scene scaled image, and
// qvScaledImageProxy, its concrete proxy (proxy class id 10, kind -12,
// records of 144 bytes plus the colour map and the pixels). A new record
// holds the default bitmap header, anchor (0, 0) and both vectors (0, 0).
//
// The image constructor runs, each step a box-keeping change of its own:
// the copy of the bitmap, the anchor, both vectors and, with an attribute,
// its connection. A bitmap the copy refuses, and an anchor or a vector the
// setters would refuse, are refused before the record exists, so a failed
// construction leaves no shape in the scene (a scene receiver that raises
// at a later step's report leaves it half-made, with no handle).

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/attributes/qvBitmapReference.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvCScaledImageProxy.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvScaledImageProxyBase.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

using qvScaledImageProxy = qvSingleShapeGraphicProxy<qvCScaledImageProxy<qvScaledImageProxyBase>, qvScaledImageData>;
QV_INTERFACE_NAME(qvScaledImageProxy);

class qvScaledImage : public qvSpecificGraphic<qvScaledImageProxy> {
    using Base = qvSpecificGraphic<qvScaledImageProxy>;

public:
    using Base::Base;
    using Base::operator=;
    qvScaledImage() noexcept = default;

    // A new scaled image of `scene`, without a record until its first change.
    explicit qvScaledImage(qvContainerScene& scene);
    qvScaledImage(qvContainerScene& scene, qvCrdOf<double> anchor, qvBitmapReference const& bitmap,
                  qvCrdOf<double> x_vector, qvCrdOf<double> y_vector, qvAttributeFolderInterface* attributes);
};
