// The creating constructors of image handles (see qvRestrictedImage.hpp
// and qvScaledImage.hpp).

#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvScaledImage.hpp>

qvRestrictedImage::qvRestrictedImage(qvContainerScene& scene)
    : Base(qvISafePtr<qvRestrictedImageProxy>(new qvRestrictedImageProxy(scene))) {}

qvRestrictedImage::qvRestrictedImage(qvContainerScene& scene, qvCrdOf<double> anchor,
                                     qvBitmapReference const& bitmap, unsigned int alignment,
                                     qvAttributeFolderInterface* attributes)
    : qvRestrictedImage(scene) {
    qvRestrictedImageProxy& proxy = *get();
    proxy.bitmap(bitmap);
    proxy.anchor(anchor);
    proxy.alignment(static_cast<int>(alignment));
    if (attributes != nullptr)
        proxy.connect_attribute(*attributes);
}

qvScaledImage::qvScaledImage(qvContainerScene& scene)
    : Base(qvISafePtr<qvScaledImageProxy>(new qvScaledImageProxy(scene))) {}

qvScaledImage::qvScaledImage(qvContainerScene& scene, qvCrdOf<double> anchor, qvBitmapReference const& bitmap,
                             qvCrdOf<double> x_vector, qvCrdOf<double> y_vector,
                             qvAttributeFolderInterface* attributes)
    : qvScaledImage(scene) {
    qvScaledImageProxy& proxy = *get();
    proxy.bitmap(bitmap);
    proxy.anchor(anchor);
    proxy.vectors(x_vector, y_vector);
    if (attributes != nullptr)
        proxy.connect_attribute(*attributes);
}
