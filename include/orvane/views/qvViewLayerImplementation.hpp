#pragma once
// qvViewLayerImplementation: the common implementation of every layer. It
// joins the three mixins (flags and filter, area, transformation sink) to
// the layer's place in a tree and runs the two roads of a redraw:
//
//  - invalidation goes up: invalidate(..., true) records the change in the
//    area, then passes the layer's whole redraw area (or its device clip,
//    or "everything") to its parent, else to its view manager, else (the
//    root) to the superior's qvVBufInvalidate, and only while the
//    superior's callback_ready() is true;
//  - preparation goes down: prepare takes as pending the part of the
//    repair region inside the layer's local device clip, and an opaque
//    layer (has_background) takes what it covers out of the region left for
//    the layers behind it.
//
// The superior is the renderer of the first view manager met climbing from
// the layer itself through view(), else parent(); it is found when first
// needed and held weakly, so a renderer that dies leaves the layer without
// one (notifications then answer false).
//
// An application derives a layer of its own (a grid, a cursor, an overlay)
// from this class, or from qvViewDataLayerImplementation when it draws in
// model coordinates: it supplies render (draw prepared_region() into the
// render buffer, pushing and popping the buffer's state) and clone, and
// answers its own interfaces in query_interface after asking its base.
// Invalidation, preparation and the links to the tree come from here, so
// such a layer is added, invalidated, redrawn and removed as the library's
// own are.
//
// Keeps true:
//  - view, parent and superior are weak: each reads null once its object
//    is gone; a layer keeps nothing above it alive;
//  - after every notification that was attempted (the superior was there
//    and ready) the gate is open exactly when it did not arrive; cleanup()
//    and reinitialize() open it; nothing here reads it;
//  - a notification asks callback_ready() before it computes the region it
//    passes, so while the channel is closed an invalidation costs no
//    intersection with the layer's pending area;
//  - the drawing direction starts false (background first, scene
//    bottom-up) and then holds the flag of the last prepare.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/views/qvBaseRendererObject.hpp>
#include <orvane/views/qvViewActiveLayerObject.hpp>
#include <orvane/views/qvViewLayerObject.hpp>
#include <orvane/views/qvViewManagerObject.hpp>

#include <orvane/views/qvViewAreaImplementation.hpp>
#include <orvane/views/qvViewRenderingImplementation.hpp>
#include <orvane/views/qvViewTransformationImplementation.hpp>

class qvViewLayerImplementation : public virtual qvViewLayerObject,
                                  public qvViewRenderingImplementation,
                                  public qvViewAreaImplementation,
                                  public qvViewTransformationImplementation {
public:
    ~qvViewLayerImplementation() override;

    // ---- place in the tree -------------------------------------------------
    // Attaches the layer (weakly), then reinitialize().
    void view(qvViewManager const& manager) override;
    qvViewManagerObject* view() const override { return view_.get(); }
    void parent(qvViewActiveLayer const& parent) override;
    qvViewActiveLayerObject* parent() const override { return parent_.get(); }

    // ---- the redraw --------------------------------------------------------
    void prepare(qvBaseRegion& region, bool front_to_back) override;
    // Validates the whole area and opens the gate.
    void cleanup() override;

    // ---- invalidation with notification --------------------------------------
    // Each answers whether a notification reached the renderer.
    bool invalidate(qvBaseRegion const& region, bool notify) override;
    bool invalidate(qvMathRectOf<double> const& rect, bool notify) override;
    bool invalidate(bool notify) override;
    // True whenever always_dirty is set, else the area's answer.
    bool local_redraw_all() const override;

    // Opens the gate and finds the superior anew.
    void reinitialize() override;
    // Takes the source's flags, filter and area state; view, parent,
    // pending region and superior stay this layer's own.
    void copy(qvViewLayerObject const& source);
    // Answers qvViewBaseLayerObject and qvViewLayerObject.
    void* query_interface(qvInterfaceInfo const& info) override;

    // What the current redraw repairs in this layer, and the direction.
    qvBaseRegion const& prepared_region() const noexcept { return prepared_; }
    bool drawing_direction() const noexcept { return direction_; }
    // The renderer found, or null.
    qvBaseRendererObject* superior() const noexcept { return superior_.get(); }

protected:
    qvViewLayerImplementation() = default;
    // Copies every field, links included (each one more weak reference).
    qvViewLayerImplementation(qvViewLayerImplementation const&) = default;
    qvViewLayerImplementation& operator=(qvViewLayerImplementation const&) = default;

    void find_superior();
    // Pass everything, a rectangle or a region up; see the file comment.
    bool notify_superior();
    bool notify_superior(qvMathRectOf<double> const& rect);
    bool notify_superior(qvBaseRegion const& region);
    // Forgets the superior, so the next notification looks for it again.
    void stop_notification() { superior_ = qvIWeakPtr<qvBaseRendererObject>(); }

private:
    // The superior when there is one and its channel is open, else null.
    qvBaseRendererObject* ready_superior();
    // Hands `area` (nothing: everything) to the next station up and records
    // in the gate whether it arrived.
    template <class... Area>
    bool deliver(qvBaseRendererObject& superior, Area const&... area);
    // The notification of the whole redraw area after a change.
    bool notify_redraw_area();

    qvIWeakPtr<qvViewManagerObject> view_;
    qvIWeakPtr<qvViewActiveLayerObject> parent_;
    qvGridRegion prepared_;
    bool direction_ = false;
    qvIWeakPtr<qvBaseRendererObject> superior_;
};
