#pragma once
// qvRestrictedImage: the typed handle of an in-scene restricted image, and
// qvRestrictedImageProxy, its concrete proxy (proxy class id 9, kind -11,
// records of 136 bytes plus the colour map and the pixels). A new record
// holds the default bitmap header, anchor (0, 0), alignment 6 and both
// resolutions 0.
//
// The image constructor runs, each step a box-keeping change of its own:
// the copy of the bitmap, the anchor, the alignment and, with an attribute,
// its connection. A bitmap the copy refuses is refused before the record
// exists, so a failed construction leaves no shape in the scene (a scene
// receiver that raises at a later step's report leaves it half-made, with
// no handle). The resolutions stay 0 until resolution() or adjust_extent()
// runs.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/attributes/qvBitmapReference.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvCRestrictedImageProxy.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvRestrictedImageProxyBase.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

using qvRestrictedImageProxy =
    qvSingleShapeGraphicProxy<qvCRestrictedImageProxy<qvRestrictedImageProxyBase>, qvRestrictedImageData>;
QV_INTERFACE_NAME(qvRestrictedImageProxy);

class qvRestrictedImage : public qvSpecificGraphic<qvRestrictedImageProxy> {
    using Base = qvSpecificGraphic<qvRestrictedImageProxy>;

public:
    // Empty handles, shared copies, the type-tested conversion from
    // qvGraphic, the image of an existing shape (scene, handle) and the copy
    // of a graphic into a scene.
    using Base::Base;
    using Base::operator=;
    qvRestrictedImage() noexcept = default;

    // A new restricted image of `scene`, without a record until its first change.
    explicit qvRestrictedImage(qvContainerScene& scene);
    qvRestrictedImage(qvContainerScene& scene, qvCrdOf<double> anchor, qvBitmapReference const& bitmap,
                      unsigned int alignment, qvAttributeFolderInterface* attributes);
};
