// The creating constructors of qvExactBezier handles (see qvExactBezier.hpp).

#include <orvane/shapes/qvExactBezier.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvExactBezier::qvExactBezier(qvContainerScene& scene) : Base(qvISafePtr<qvExactBezierProxy>(new qvExactBezierProxy(scene))) {}

qvExactBezier::qvExactBezier(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
                             qvAttributeFolderInterface* attributes)
    : qvExactBezier(scene, n, points, nullptr, attributes) {}

qvExactBezier::qvExactBezier(qvContainerScene& scene, int n, qvCrdOf<double> const* points, qvPointTag const* tags,
                             qvAttributeFolderInterface* attributes)
    : qvExactBezier(scene) {
    qvSetUpBezierShape<qvExactBezier>(*get(), n, points, tags, attributes);
}
