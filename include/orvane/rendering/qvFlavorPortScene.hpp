#pragma once
// qvFlavorPortScene: sets a flavour port's scene (null allowed) for a
// scope, and puts the old one back when destroyed, also when an exception
// leaves the scope. The scene is not owned.
//
// Keeps true: copies and assignments are member by member, so a copy
// restores the same old scene again when it ends. A destructor that meets
// an error reports it through qvError::abort.

#include <orvane/shapes/qvFlavorPort.hpp>

class qvScene;

class qvFlavorPortScene {
public:
    qvFlavorPortScene(qvFlavorPort& port, qvScene* scene);
    qvFlavorPortScene(qvFlavorPortScene const&) = default;
    qvFlavorPortScene& operator=(qvFlavorPortScene const&) = default;
    ~qvFlavorPortScene();

    qvFlavorPort& flavor_port() const noexcept { return *port_; }
    qvScene* old_scene() const noexcept { return old_; }

private:
    qvFlavorPort* port_;
    qvScene* old_;
};
