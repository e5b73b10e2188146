// The creating constructors of qvExactPolyMarker handles (see qvExactPolyMarker.hpp).

#include <orvane/shapes/qvExactPolyMarker.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvExactPolyMarker::qvExactPolyMarker(qvContainerScene& scene)
    : Base(qvISafePtr<qvExactPolyMarkerProxy>(new qvExactPolyMarkerProxy(scene))) {}

qvExactPolyMarker::qvExactPolyMarker(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
                                     qvAttributeFolderInterface* attributes)
    : qvExactPolyMarker(scene) {
    qvSetUpPointShape<qvExactPolyMarker>(*get(), n, points, attributes);
}
