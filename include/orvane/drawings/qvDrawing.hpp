#pragma once
// qvDrawing: a light retained graphic that lives outside any scene. It
// draws itself through a flavour port (building stand-alone shapes and
// handing their records to draw_shape) and tells its box; a change is
// reported to its host with the box before and after the change.
//
// Keeps true:
//  - the host is set only by a hosting container while the drawing is in
//    it, and cleared when it leaves or when the hosting container dies: a
//    copy starts without a host and an assignment keeps the target's own,
//    so no drawing ever names a host it was not put into;
//  - the reference count is held only by containers that own their
//    drawings (auto_delete); it starts at 0 and copies start at 0 too;
//  - a drawing without a host invalidates nothing.

#include <orvane/core/qvRefBase.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/shapes/qvInteractionTarget.hpp>

class qvDrawingHost;
class qvFlavorPort;

class qvDrawing : public qvInteractionTarget, public qvRefBase {
public:
    ~qvDrawing() override = default;

    // Draws through the port; `area` is the model area being redrawn, in
    // the port's model coordinates, and may be ignored.
    virtual void render(qvFlavorPort& port, qvMathRectOf<double> const& area) = 0;
    // The model box covered when drawn under the model-to-device
    // transformation `rt`; null when none is known (invalidation).
    virtual qvMathRectOf<double> bbox(qvRestrictedTransformation const* rt) const = 0;

    bool visible() const noexcept { return visible_; }
    // Always reports the box twice, also when the value is unchanged.
    void visible(bool v);
    long user_handle() const noexcept { return user_handle_; }
    void user_handle(long handle) noexcept { user_handle_ = handle; }
    qvDrawingHost* host() const noexcept { return host_; }
    // Set by hosting containers; reports nothing.
    void host(qvDrawingHost* h) noexcept { host_ = h; }

    // The box without transformation, or `rect`, to the host if any.
    void invalidate();
    void invalidate(qvMathRectOf<double> const& rect);

protected:
    qvDrawing() noexcept = default;
    qvDrawing(qvDrawing const& other) noexcept
        : qvInteractionTarget(other), qvRefBase(other), visible_(other.visible_),
          user_handle_(other.user_handle_) {}
    qvDrawing& operator=(qvDrawing const& other) noexcept {
        visible_ = other.visible_;
        user_handle_ = other.user_handle_;
        return *this;
    }

private:
    bool visible_ = true;
    qvDrawingHost* host_ = nullptr;
    long user_handle_ = 0;
};
