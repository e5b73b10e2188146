// The creating constructors of qvBezier handles (see qvBezier.hpp).

#include <orvane/shapes/qvBezier.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvBezier::qvBezier(qvContainerScene& scene) : Base(qvISafePtr<qvBezierProxy>(new qvBezierProxy(scene))) {}

qvBezier::qvBezier(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
                   qvAttributeFolderInterface* attributes)
    : qvBezier(scene, n, points, nullptr, attributes) {}

qvBezier::qvBezier(qvContainerScene& scene, int n, qvCrdOf<double> const* points, qvPointTag const* tags,
                   qvAttributeFolderInterface* attributes)
    : qvBezier(scene) {
    qvSetUpBezierShape<qvBezier>(*get(), n, points, tags, attributes);
}
