// The creating constructors of image handles (see qvRestrictedImage.hpp
// and qvScaledImage.hpp).

#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvScaledImage.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvRestrictedImage::qvRestrictedImage(qvContainerScene& scene)
    : Base(qvISafePtr<qvRestrictedImageProxy>(new qvRestrictedImageProxy(scene))) {}

qvRestrictedImage::qvRestrictedImage(qvContainerScene& scene, qvCrdOf<double> anchor,
                                     qvBitmapReference const& bitmap, unsigned int alignment,
                                     qvAttributeFolderInterface* attributes)
    : qvRestrictedImage(scene) {
    qvRestrictedImageProxy& proxy = *get();
    // Refused before the bitmap makes the record, as for a scaled image.
    qvShapeCoordinates::require(anchor);
    proxy.bitmap(bitmap);
    proxy.anchor(anchor);
    proxy.alignment(static_cast<int>(alignment));
    qvConnectNewShape(proxy, attributes);
}

qvScaledImage::qvScaledImage(qvContainerScene& scene)
    : Base(qvISafePtr<qvScaledImageProxy>(new qvScaledImageProxy(scene))) {}

qvScaledImage::qvScaledImage(qvContainerScene& scene, qvCrdOf<double> anchor, qvBitmapReference const& bitmap,
                             qvCrdOf<double> x_vector, qvCrdOf<double> y_vector,
                             qvAttributeFolderInterface* attributes)
    : qvScaledImage(scene) {
    qvScaledImageProxy& proxy = *get();
    // Refused before the bitmap makes the record: a NaN anchor or vector
    // used to leave the new image behind in the scene.
    qvShapeCoordinates::require(anchor);
    qvShapeCoordinates::require(x_vector);
    qvShapeCoordinates::require(y_vector);
    proxy.bitmap(bitmap);
    proxy.anchor(anchor);
    proxy.vectors(x_vector, y_vector);
    qvConnectNewShape(proxy, attributes);
}
