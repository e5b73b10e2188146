// The creating constructors of qvPolyMarker handles (see qvPolyMarker.hpp).

#include <orvane/shapes/qvPolyMarker.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvPolyMarker::qvPolyMarker(qvContainerScene& scene)
    : Base(qvISafePtr<qvPolyMarkerProxy>(new qvPolyMarkerProxy(scene))) {}

qvPolyMarker::qvPolyMarker(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
                           qvAttributeFolderInterface* attributes)
    : qvPolyMarker(scene) {
    qvSetUpPointShape<qvPolyMarker>(*get(), n, points, attributes);
}
