#pragma once
// qvSceneInterface: the drawing side of a scene, through which view layers
// ask a scene to draw a layer's shapes in an area. It is a virtual base of
// every scene class, so one scene has one drawing side.
//
// Keeps true: render(port, layer, area, reverse) first sets the port's
// palette to the scene's palette, then draws layer `layer` (every layer
// when it is negative: the first to the last, the last to the first when
// `reverse` is set), handing the port each record whose box meets `area`;
// the order within a layer is the scene's own.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvFlavorPort;
class qvPalette;

class qvSceneInterface : public virtual qvDynamicInterface {
public:
    virtual int total_layers() = 0;
    virtual void render(qvFlavorPort& port, int layer, qvMathRectOf<double> const& area, bool reverse) = 0;
    // The palette of the scene's attributes; the editing side names the same.
    virtual qvPalette& palette() = 0;

protected:
    qvSceneInterface() noexcept = default;
    qvSceneInterface(qvSceneInterface const&) noexcept = default;
    qvSceneInterface& operator=(qvSceneInterface const&) noexcept = default;
};

QV_INTERFACE_NAME(qvSceneInterface);
