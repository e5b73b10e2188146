#pragma once
// qvMappingControlBaseObject: one model-to-device mapping kept for a set of
// layers, driven from two axes. Each axis is a mapping dimension, which
// couples any number of scrollers (scroll bars, other controls); every
// change made here becomes a one-axis scroller operation on each present
// dimension, and every change a dimension commits comes back through the
// control's own scroller on that axis and is pushed into the layers its
// mapping table links to it on that axis.
//
// The control holds no mapping of its own: mapping(), window(), the
// positions, window sizes and limits are read back from the dimensions; an
// axis without a dimension reads as the identity, 0 and the range (0, 0),
// and operations on it change nothing.
//
// Anchor codes name nine points of a rectangle with corners A and B:
//   0 (A.x, A.y)   5 (mid, A.y)   2 (B.x, A.y)
//   4 (A.x, mid)   8 (mid, mid)   6 (B.x, mid)
//   1 (A.x, B.y)   7 (mid, B.y)   3 (B.x, B.y)
// Any other code takes the middle; as a zoom anchor, 9 means the anchor
// offset is the zoom's model centre itself.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRTComponent.hpp>
#include <orvane/geometry/qvRange.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/views/qvMappingDimension.hpp>
#include <orvane/views/qvMappingTable.hpp>
#include <orvane/views/qvViewLayer.hpp>

class qvScrollerInt;

class qvMappingControlBaseObject : public virtual qvRefBase, public virtual qvDynamicInterface {
public:
    ~qvMappingControlBaseObject() override = default;

    // ---- the two axes ------------------------------------------------------
    virtual qvMappingDimension vertical_dimension() const = 0;
    // Unlinks the control from the axis's old dimension and links it to `d`
    // (an empty handle leaves the axis without one).
    virtual void vertical_dimension(qvMappingDimension const& d) = 0;
    virtual qvMappingDimension horizontal_dimension() const = 0;
    virtual void horizontal_dimension(qvMappingDimension const& d) = 0;

    // ---- the mapping ---------------------------------------------------------
    // Rebuilt from the dimensions on every call.
    virtual qvRestrictedTransformation const& mapping() const = 0;
    virtual void mapping(qvRestrictedTransformation const& rt) = 0;
    // Composes a device-side (left) or model-side (right) factor.
    virtual void apply_left(qvRestrictedTransformation const& rt) = 0;
    virtual void apply_right(qvRestrictedTransformation const& rt) = 0;
    virtual qvMathRectOf<double> limits() const = 0;
    virtual void limits(qvMathRectOf<double> const& rect) = 0;
    // The window in device units; with round-off on it is widened to whole
    // units first.
    virtual void resize(qvMathRectOf<double> const& rect) = 0;
    virtual qvMathRectOf<double> const& window() const = 0;

    // ---- layer links -----------------------------------------------------------
    virtual qvMappingTable mapping_table() const = 0;
    virtual void mapping_table(qvMappingTable const& table) = 0;
    // Links `layer` (bits: 1 vertical, 2 horizontal) with a device offset;
    // a link of the layer that exists is overwritten. Nothing is pushed into
    // the layer now; an empty layer handle links nothing.
    virtual void add(qvViewLayer const& layer, int link_type, qvCrdOf<double> const& offset) = 0;
    // Erases every link of this control to `layer`.
    virtual void remove(qvViewLayer const& layer) = 0;
    // 0 and (0, 0) for a layer without a link.
    virtual int link_type(qvViewLayer const& layer) const = 0;
    virtual qvCrdOf<double> offset(qvViewLayer const& layer) const = 0;

    // ---- settings ----------------------------------------------------------------
    virtual bool round_off() const = 0;
    virtual void round_off(bool on) = 0;
    // Off: a zoom takes the smaller of its two factors on both axes.
    virtual bool independent_zoom() const = 0;
    virtual void independent_zoom(bool on) = 0;
    // The translation by the layer's offset after mapping().
    virtual qvRestrictedTransformation layer_mapping(qvViewLayer const& layer) const = 0;
    virtual qvCrdOf<double> model_to_device(qvCrdOf<double> const& p) const = 0;
    virtual qvCrdOf<double> device_to_model(qvCrdOf<double> const& p) const = 0;
    // The point zoom(zx, zy) zooms about: with type 9 the offset itself (a
    // model point), otherwise the window's anchor point in model units plus
    // the offset. Any type is stored.
    virtual void zoom_anchor(int type, qvCrdOf<double> const& offset) = 0;
    virtual int zoom_anchor_type() const = 0;
    virtual qvCrdOf<double> zoom_anchor_offset() const = 0;

    // ---- moving --------------------------------------------------------------------
    // Zooms so that `rect` (model units) fills the window about its centre;
    // keep_aspect zooms both axes by the smaller factor.
    virtual void zoom(qvMathRectOf<double> const& rect, bool keep_aspect) = 0;
    // Every zoom checks both factors and the centre before anything moves:
    // "z > 0" for a factor that is not positive, "Invalid scroller
    // argument" for a value that is not finite.
    virtual void zoom(double zx, double zy, qvCrdOf<double> const& centre) = 0;
    virtual void zoom(double factor, qvCrdOf<double> const& centre) = 0;
    virtual void zoom(double zx, double zy) = 0;
    virtual void zoom(double factor) = 0;
    // Moves the window by a distance in model units.
    virtual void scroll(qvCrdOf<double> const& distance) = 0;
    virtual void scroll(double dx, double dy) = 0;
    // Scrolls so that the anchored point of `rect` (or `point`) lands on
    // the same anchored point of the window.
    virtual void show(qvMathRectOf<double> const& rect, int anchor) = 0;
    virtual void show(qvCrdOf<double> const& point, int anchor) = 0;

    // ---- read back from the dimensions ---------------------------------------------
    virtual double x_position() const = 0;
    virtual double y_position() const = 0;
    virtual qvCrdOf<double> position() const = 0;
    // In model units.
    virtual double x_window_size() const = 0;
    virtual double y_window_size() const = 0;
    virtual qvCrdOf<double> window_size() const = 0;
    virtual qvRangeOf<double> x_limits() const = 0;
    virtual qvRangeOf<double> y_limits() const = 0;
    // An anchor code giving where each axis places a model range that fits
    // inside the window.
    virtual int limits_alignment() const = 0;
    virtual void limits_alignment(int anchor) = 0;

    qvMathRectOf<double> model_limits() const { return limits(); }
    void model_limits(qvMathRectOf<double> const& rect) { limits(rect); }

protected:
    friend class qvScrollerInt;

    qvMappingControlBaseObject() noexcept = default;
    qvMappingControlBaseObject(qvMappingControlBaseObject const&) noexcept = default;
    qvMappingControlBaseObject& operator=(qvMappingControlBaseObject const&) noexcept = default;

    virtual qvCrdOf<double> anchor_pos() const = 0;
    virtual void do_scroll(qvCrdOf<double> const& distance) = 0;
    virtual void do_zoom(double zx, double zy, qvCrdOf<double> const& centre) = 0;
    // What a dimension committed, pushed into the linked layers only (never
    // back into the dimensions): a device-side or model-side factor, or the
    // new mapping component of one axis.
    virtual void do_left(qvRestrictedTransformation const& rt) = 0;
    virtual void do_right(qvRestrictedTransformation const& rt) = 0;
    virtual void do_set_x(qvRTComponent c) = 0;
    virtual void do_set_y(qvRTComponent c) = 0;
};

QV_INTERFACE_NAME(qvMappingControlBaseObject);
