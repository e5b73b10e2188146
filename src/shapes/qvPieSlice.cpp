// The creating constructors of pie-slice handles (see qvPieSlice.hpp).

#include <orvane/shapes/qvPieSlice.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvPieSlice::qvPieSlice(qvContainerScene& scene) : Base(qvISafePtr<qvPieSliceProxy>(new qvPieSliceProxy(scene))) {}

qvPieSlice::qvPieSlice(qvContainerScene& scene, qvMathRectOf<double> const& r, double angle1, double angle2,
           qvAttributeFolderInterface* attributes)
    : qvPieSlice(scene) {
    qvSetUpArcShape(*get(), r, angle1, angle2, attributes);
}

qvPieSlice::qvPieSlice(qvContainerScene& scene, qvCrdOf<double> center, double radius, double angle1, double angle2,
           qvAttributeFolderInterface* attributes)
    : qvPieSlice(scene, qvBoxAround(center, radius, radius), angle1, angle2, attributes) {}

qvPieSlice::qvPieSlice(qvContainerScene& scene, qvCrdOf<double> center, double x_radius, double y_radius, double angle1,
           double angle2, qvAttributeFolderInterface* attributes)
    : qvPieSlice(scene, qvBoxAround(center, x_radius, y_radius), angle1, angle2, attributes) {}
