// The creating constructors of qvExactPolyline handles (see qvExactPolyline.hpp).

#include <orvane/shapes/qvExactPolyline.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvExactPolyline::qvExactPolyline(qvContainerScene& scene)
    : Base(qvISafePtr<qvExactPolylineProxy>(new qvExactPolylineProxy(scene))) {}

qvExactPolyline::qvExactPolyline(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
                                 qvAttributeFolderInterface* attributes)
    : qvExactPolyline(scene) {
    qvSetUpPointShape<qvExactPolyline>(*get(), n, points, attributes);
}
