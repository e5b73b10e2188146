// The creating constructors of arc handles (see qvArc.hpp).

#include <orvane/shapes/qvArc.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvArc::qvArc(qvContainerScene& scene) : Base(qvISafePtr<qvArcProxy>(new qvArcProxy(scene))) {}

qvArc::qvArc(qvContainerScene& scene, qvMathRectOf<double> const& r, double angle1, double angle2,
           qvAttributeFolderInterface* attributes)
    : qvArc(scene) {
    qvSetUpArcShape(*get(), r, angle1, angle2, attributes);
}

qvArc::qvArc(qvContainerScene& scene, qvCrdOf<double> center, double radius, double angle1, double angle2,
           qvAttributeFolderInterface* attributes)
    : qvArc(scene, qvBoxAround(center, radius, radius), angle1, angle2, attributes) {}

qvArc::qvArc(qvContainerScene& scene, qvCrdOf<double> center, double x_radius, double y_radius, double angle1,
           double angle2, qvAttributeFolderInterface* attributes)
    : qvArc(scene, qvBoxAround(center, x_radius, y_radius), angle1, angle2, attributes) {}
