// The creating constructors of qvPolygon handles (see qvPolygon.hpp).

#include <orvane/shapes/qvPolygon.hpp>

#include "shapes/qvShapeHandleSetUp.hpp"

qvPolygon::qvPolygon(qvContainerScene& scene)
    : Base(qvISafePtr<qvPolygonProxy>(new qvPolygonProxy(scene))) {}

qvPolygon::qvPolygon(qvContainerScene& scene, int n, qvCrdOf<double> const* points,
                     qvAttributeFolderInterface* attributes)
    : qvPolygon(scene) {
    qvSetUpPointShape<qvPolygon>(*get(), n, points, attributes);
}
