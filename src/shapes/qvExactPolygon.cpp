// The creating constructors of qvExactPolygon handles (see qvExactPolygon.hpp).

#include <orvane/shapes/qvExactPolygon.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvExactPolygon::qvExactPolygon(qvContainerScene& scene)
    : Base(qvISafePtr<qvExactPolygonProxy>(new qvExactPolygonProxy(scene))) {}

qvExactPolygon::qvExactPolygon(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
                               qvAttributeFolderInterface* attributes)
    : qvExactPolygon(scene) {
    qvSetUpPointShape<qvExactPolygon>(*get(), n, points, attributes);
}
