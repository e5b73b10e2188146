// qvFlavorPortScene: the destructor restores through the port; an error
// there cannot leave a destructor, so it takes the abort way.

#include <orvane/rendering/qvFlavorPortScene.hpp>

#include "rendering/qvRestoreOrAbort.hpp"

qvFlavorPortScene::qvFlavorPortScene(qvFlavorPort& port, qvScene* scene) : port_(&port), old_(port.scene()) {
    port.scene(scene);
}

qvFlavorPortScene::~qvFlavorPortScene() {
    qvRestoreOrAbort([this] { port_->scene(old_); });
}
