#pragma once
// qvRendererImplementation: what every renderer keeps besides its buffers:
// the driver, the attached view manager, the window buffer's invalidation
// channel, the origin handed to every render buffer, and the clipping.
//
// Keeps true:
//  - the view manager is held weakly (it holds this renderer counted), so a
//    manager that goes leaves view_manager() null;
//  - the invalidation channel is borrowed from the window buffer the
//    derived renderer holds; update() drops it before it lets that buffer
//    go and takes it anew from the next one;
//  - without a channel open_callback does nothing and the other forwarding
//    operations answer false.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/views/qvRendererObject.hpp>
#include <orvane/views/qvViewManagerObject.hpp>

#include <orvane/views/qvViewTransformationImplementation.hpp>

class qvRendererImplementation : public virtual qvRendererObject, public qvViewTransformationImplementation {
public:
    ~qvRendererImplementation() override;
    qvRendererImplementation(qvRendererImplementation const&) = delete;
    qvRendererImplementation& operator=(qvRendererImplementation const&) = delete;

    // ---- invalidation towards the window --------------------------------------
    void open_callback(bool open) override;
    bool callback_ready() override;
    bool invalidate(qvBaseRegion const& region) override;
    bool invalidate(qvMathRectOf<double> const& rect) override;
    bool invalidate(qvCrdOf<double> const& point) override;
    bool invalidate() override;

    // ---- settings -----------------------------------------------------------------
    // Detaches the old manager (when it still names this renderer), attaches
    // the new one, then update().
    void view_manager(qvViewManager const& manager) override;
    qvViewManagerObject* view_manager() const override { return manager_.get(); }
    using qvRendererObject::driver;
    qvISafePtr<qvDriverObject> driver() const override { return driver_; }
    bool no_clipping() const override { return !clipping_on_; }
    void clipping(qvBaseRegion const* region) override;
    qvBaseRegion const& clipping() const override { return clipping_; }
    void origin(qvCrdOf<double> const& origin) override { origin_ = origin; }
    qvCrdOf<double> origin() const override { return origin_; }
    void copy_by_rectangles(bool on) override { by_rectangles_ = on; }
    bool copy_by_rectangles() const override { return by_rectangles_; }

    // ---- like renderers -------------------------------------------------------------
    qvBaseRenderer like(qvISafePtr<qvVBufObject> const& window) override;
    qvBaseRenderer like(qvISafePtr<qvDriverObject> const& driver) override;

protected:
    qvRendererImplementation() noexcept;

    qvISafePtr<qvDriverObject> driver_;
    qvIWeakPtr<qvViewManagerObject> manager_;
    qvVBufInvalidate* channel_ = nullptr;
    qvCrdOf<double> origin_{0.0, 0.0};
    bool clipping_on_ = false;
    bool by_rectangles_ = false;
    qvGridRegion clipping_;
};
