#pragma once
// qvDrawingHost: what a drawing reports its changes to. A drawing scene
// turns them into its scene's change notification; a composite drawing
// passes them on to its own host. Rectangles are in the host's model
// coordinates, which are the drawing's.
//
// Keeps true: a host holds no state of the drawings it hears from; copying
// a host copies nothing.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvDrawingHost : public virtual qvDynamicInterface {
public:
    ~qvDrawingHost() override = default;
    // A model-space rectangle must be redrawn.
    virtual void invalidate(qvMathRectOf<double> const& rect) = 0;
    // Everything the host shows must be redrawn.
    virtual void invalidate() = 0;

protected:
    qvDrawingHost() noexcept = default;
    qvDrawingHost(qvDrawingHost const&) noexcept {}
    qvDrawingHost& operator=(qvDrawingHost const&) noexcept { return *this; }
};
