// The creating constructors of rectangle handles (see qvRectangle.hpp).

#include <orvane/shapes/qvRectangle.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvRectangle::qvRectangle(qvContainerScene& scene) : Base(qvISafePtr<qvRectangleProxy>(new qvRectangleProxy(scene))) {}

qvRectangle::qvRectangle(qvContainerScene& scene, qvMathRectOf<double> const& r,
                         qvAttributeFolderInterface* attributes)
    : qvRectangle(scene) {
    qvSetUpBoxShape(*get(), r, attributes);
}

qvRectangle::qvRectangle(qvContainerScene& scene, qvCrdOf<double> p1, qvCrdOf<double> p2,
                         qvAttributeFolderInterface* attributes)
    : qvRectangle(scene, qvMathRectOf<double>(p1, p2), attributes) {}

qvRectangle::qvRectangle(qvContainerScene& scene, double x1, double y1, double x2, double y2,
                         qvAttributeFolderInterface* attributes)
    : qvRectangle(scene, qvMathRectOf<double>(x1, y1, x2, y2), attributes) {}
