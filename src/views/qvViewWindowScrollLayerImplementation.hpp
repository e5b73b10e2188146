#pragma once
// qvViewWindowScrollLayerImplementation: the window-scroll layer (see
// qvViewWindowScrollLayerObject.hpp).
//
// A pure whole-unit translation reaches the layer by one of two kinds of
// road. Through its device renderer's scroll the renderer moves the window
// (and its memory buffer) itself; the layer only moves what was invalid and
// adds the uncovered strips. By any other road (the view manager's own
// scroll, a mapping control) nobody has moved the pixels yet: the layer
// remembers the offset in the pending scroll and moves the window at its
// next render. Either way the pixels move once.
//
// Keeps true:
//  - the pending scroll is non-zero only while the window pixels lag behind
//    the picture by it; a render that moves them keeps only the fractional
//    rest, a render that repaints the whole layer clears it;
//  - the window is never moved while the renderer draws through a memory
//    buffer (backing store or double buffering): the memory buffer and its
//    valid area would no longer agree with it, so such a scroll repaints
//    the whole layer instead;
//  - a translation by the renderer while an earlier one is still pending
//    repaints the whole layer: the two moves would expose more than the
//    strips of either;
//  - driver and renderer are held weakly: the view owns them.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/views/qvBaseRendererObject.hpp>
#include <orvane/views/qvViewWindowScrollLayerObject.hpp>

#include "views/qvViewActiveLayerImplementation.hpp"

class qvViewWindowScrollLayerImplementation : public virtual qvViewWindowScrollLayerObject,
                                              public qvViewActiveLayerImplementation {
public:
    explicit qvViewWindowScrollLayerImplementation(bool on);
    ~qvViewWindowScrollLayerImplementation() override;

    void copy_scroll(bool on) override;
    bool copy_scroll() const override { return copy_scroll_on_; }

    // The switch is checked again whenever the layer has a parent: a layer
    // is given its view before its parent, and a check then would always
    // turn it off.
    void reinitialize() override;
    void prepare(qvBaseRegion& region, bool front_to_back) override;
    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override;
    void apply_left(qvRestrictedTransformation const& t) override;
    void apply_right(qvRestrictedTransformation const& t) override;
    // A new layer whose switch is set through the setter (so it stays off
    // without a parent).
    qvViewBaseLayer clone() override;
    void* query_interface(qvInterfaceInfo const& info) override;

    // ---- probes (tests) ----------------------------------------------------------------
    qvCrdOf<double> pending_scroll() const noexcept { return pending_; }

private:
    bool at_root() const;
    // The renderer's window rectangle at its offset; false without one.
    bool window_rect(qvMathRectOf<double>& out) const;
    // Whether the renderer draws through a memory buffer.
    bool renderer_buffers() const;
    // Moves the window by the whole part of the pending scroll.
    void move_window(qvViewVBuf& vbuf);
    // Repaints the whole layer and forgets the pending scroll.
    void repaint_all();
    void notify_parent();

    bool copy_scroll_on_ = false;
    qvIWeakPtr<qvDriverObject> driver_;
    qvIWeakPtr<qvBaseRendererObject> renderer_;
    qvCrdOf<double> pending_{0.0, 0.0};
};
