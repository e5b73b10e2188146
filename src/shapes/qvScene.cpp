// The identities the scene bases answer, and the layer a container scene
// gives a guard by default (see qvScene.hpp, qvContainerScene.hpp).

#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvScene.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

void* qvScene::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvScene, qvSceneInterface>(this, info);
}

void* qvContainerScene::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvContainerScene, qvContainerSceneInterface>(this, info))
        return found;
    return qvScene::query_interface(info);
}

int qvContainerScene::edit_layer(qvShapeBase const& record) { return shape_layer(record.shape_handle); }
