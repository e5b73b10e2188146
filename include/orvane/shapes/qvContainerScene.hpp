#pragma once
// qvContainerScene: the scene type that proxies, typed handles and graphic
// lists are given: the drawing side and notification of qvScene, the proxy
// site, and the editing side. Memory and paged scenes derive from it and
// implement the editing operations, total_layers and render.
//
// Keeps true: one palette() serves both sides; destroying the scene removes
// the proxy site's entries (telling their proxies) but not the proxies,
// whose handles must be released before the scene is destroyed.
//
// The outermost modification guard of a proxy tells the scene that owns
// the record when an edit of it begins and ends, whatever the state of
// notification (which only decides whether receivers hear of it): a scene
// that finds records by their boxes must know when a box may have moved.
// Scenes that do not keep such an index ignore it.
//
// Before a guard changes or reports anything, the scene gives the layer of
// the record it opens over (edit_layer, the shape_layer of its handle): a
// scene that hands out copies it may later stop editing (a paged scene's,
// detached by its close) refuses such a copy there, whatever session its
// handle names a shape in.

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

private:
    friend class qvShapeWriteLock;
    // `editing` true: the outermost guard of the record's proxy has opened
    // (after making the record, when it made one); false: it is closing,
    // the edit done. Never raises: the closing call runs in a destructor.
    virtual void record_edit(qvShapeBase&, bool /*editing*/) noexcept {}
    // The layer of the record a guard opens over, or the scene's refusal.
    virtual int edit_layer(qvShapeBase const& record);
};

QV_INTERFACE_NAME(qvContainerScene);
