// The creating constructors of ellipse handles (see qvEllipse.hpp).

#include <orvane/shapes/qvEllipse.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvEllipse::qvEllipse(qvContainerScene& scene) : Base(qvISafePtr<qvEllipseProxy>(new qvEllipseProxy(scene))) {}

qvEllipse::qvEllipse(qvContainerScene& scene, qvMathRectOf<double> const& r, qvAttributeFolderInterface* attributes)
    : qvEllipse(scene) {
    qvSetUpBoxShape(*get(), r, attributes);
}

qvEllipse::qvEllipse(qvContainerScene& scene, qvCrdOf<double> center, double radius,
                     qvAttributeFolderInterface* attributes)
    : qvEllipse(scene, qvBoxAround(center, radius, radius), attributes) {}

qvEllipse::qvEllipse(qvContainerScene& scene, qvCrdOf<double> center, double x_radius, double y_radius,
                     qvAttributeFolderInterface* attributes)
    : qvEllipse(scene, qvBoxAround(center, x_radius, y_radius), attributes) {}
