// The creating constructors of qvPolyline handles (see qvPolyline.hpp).

#include <orvane/shapes/qvPolyline.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvPolyline::qvPolyline(qvContainerScene& scene)
    : Base(qvISafePtr<qvPolylineProxy>(new qvPolylineProxy(scene))) {}

qvPolyline::qvPolyline(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
                       qvAttributeFolderInterface* attributes)
    : qvPolyline(scene) {
    qvSetUpPointShape<qvPolyline>(*get(), n, points, attributes);
}
