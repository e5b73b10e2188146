#pragma once
// qvViewVBuf: the render buffer one redraw passes down the layer tree: a
// driver buffer, the draw object it made and that object's flavour port,
// the current clipping region and brush origin (device coordinates), and a
// stack of saved (clipping, origin) pairs. Layers push, narrow the
// clipping, call enforce_settings before drawing through the port, and pop.
//
// Keeps true:
//  - the buffer handle is never null (the constructor fails "pvbuf");
//  - the port is the held draw object's qvFlavorPort, or null when there is
//    no draw object or it offers no port;
//  - the clipping operations, push, pop and origin change only this
//    object's state; the draw object hears of them at the next
//    enforce_settings, and then only of what differs from its own clip and
//    brush origin (an unordered comparison counts as a difference);
//  - a copy shares the buffer and the draw object (one count more on each)
//    and has its own clipping, origin and stack; pop on an empty stack
//    fails "!stack.empty()".

#include <orvane/core/qvSafePtr.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>

#include <vector>

class qvFlavorPort;

class qvViewVBuf {
public:
    // Makes the draw object at once, as draw() does.
    qvViewVBuf(qvISafePtr<qvVBufObject> const& buffer, qvBaseRegion const& clipping,
               qvCrdOf<double> const& origin);
    qvViewVBuf(qvViewVBuf const& other) = default;
    qvViewVBuf& operator=(qvViewVBuf const& other) = default;
    ~qvViewVBuf();

    // ---- saved state ---------------------------------------------------------
    void push();
    void pop();

    // ---- clipping and origin (this object's only) ----------------------------
    void set_clipping(qvBaseRegion const& region);
    void set_clipping(qvMathRectOf<double> const& rect);
    void add_clipping(qvBaseRegion const& region);
    void add_clipping(qvMathRectOf<double> const& rect);
    void mul_clipping(qvBaseRegion const& region);
    void mul_clipping(qvMathRectOf<double> const& rect);
    qvBaseRegion const& clipping() const noexcept { return clipping_; }
    void origin(qvCrdOf<double> const& origin) noexcept { origin_ = origin; }
    qvCrdOf<double> origin() const noexcept { return origin_; }

    // Hands the draw object what differs from its own clip and brush origin;
    // without a draw object it does nothing (and makes none).
    void enforce_settings();

    // ---- the buffer and its draw object ----------------------------------------
    qvISafePtr<qvVBufObject> vbuf() const { return buffer_; }
    // The draw object, made by the buffer first if none is held (null when
    // the buffer makes none).
    qvISafePtr<qvDrawObject> draw();
    // The draw object's port after draw(); null without one.
    qvFlavorPort* port();
    // Lets go of the draw object; the next draw() asks the buffer anew.
    void destroy_draw();

    // Copies `region` of `source` into this buffer, moved by `offset`: one
    // copy of the region's bounding box, or with `split` one per rectangle
    // (all attempted; true only when every one succeeded). An empty region
    // is done at once (true, no call at all); false when no draw object can
    // be had or the source is null.
    bool copy(qvISafePtr<qvVBufObject> const& source, qvBaseRegion const& region,
              qvCrdOf<double> const& offset, bool split);

private:
    struct Saved {
        qvRegion clipping;
        qvCrdOf<double> origin;
    };

    qvISafePtr<qvVBufObject> buffer_;
    qvISafePtr<qvDrawObject> draw_;
    qvFlavorPort* port_ = nullptr;
    qvRegion clipping_;
    qvCrdOf<double> origin_;
    std::vector<Saved> stack_;
};
