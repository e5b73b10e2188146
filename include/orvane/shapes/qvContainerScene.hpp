#pragma once
// qvContainerScene: the scene type that proxies, typed handles and graphic
// lists are given: the drawing side and notification of qvScene, the proxy
// site, and the editing side. Memory and paged scenes derive from it and
// implement the editing operations, total_layers and render.
//
// Keeps true: one palette() serves both sides; destroying the scene removes
// the proxy site's entries (telling their proxies) but not the proxies,
// whose handles must be released before the scene is destroyed.

#include <orvane/shapes/qvContainerSceneInterface.hpp>
#include <orvane/shapes/qvProxySite.hpp>
#include <orvane/shapes/qvScene.hpp>

class qvContainerScene : public qvScene, public qvProxySite, public qvContainerSceneInterface {
public:
    ~qvContainerScene() override = default;
    // Answers "qvContainerScene" and "qvContainerSceneInterface", then as qvScene.
    void* query_interface(qvInterfaceInfo const& info) override;
    qvPalette& palette() override = 0;

protected:
    qvContainerScene() = default;
};

QV_INTERFACE_NAME(qvContainerScene);
