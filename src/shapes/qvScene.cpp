// The identities the scene bases answer (see qvScene.hpp, qvContainerScene.hpp).

#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvScene.hpp>

void* qvScene::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvScene, qvSceneInterface>(this, info);
}

void* qvContainerScene::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvContainerScene, qvContainerSceneInterface>(this, info))
        return found;
    return qvScene::query_interface(info);
}
