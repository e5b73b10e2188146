#pragma once
// qvUIView: the glue between a host's window and a view. It owns a view
// manager, makes a device renderer for the window's driver (initialize),
// and keeps what a window with scroll bars needs: the virtual canvas (the
// virtual limits) and the part of it the window shows (the viewport), both
// in device units. The host's scroll, position and zoom requests become
// scroll and zoom operations on the view manager; the results come back
// through four virtual hooks a host overrides to move its scroll bars, grow
// the canvas, repaint or react to a resize. It keeps no window handle and
// draws nothing itself.
//
// Keeps true:
//  - both rectangles are ordered (x1 <= x2, y1 <= y2) whenever they are
//    built from corners;
//  - in NO_FEEDBACK mode geometry is only recorded (and the view's
//    transformation moved); in FEEDBACK mode every change is applied and
//    reported through the hooks;
//  - a request that raises (bad limits, an empty zoom area, a bad factor, a
//    canvas, viewport, distance, position or centre with a NaN or an
//    infinity: "Invalid scroller argument") changes nothing;
//  - copies share the view manager and the renderer (counted handles).

#include <orvane/core/qvSafePtr.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvWinRect.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewManager.hpp>

#include <cstdint>

class qvUIView {
public:
    enum Mode : std::uint32_t { NO_FEEDBACK = 0, FEEDBACK = 1 };
    enum ScrollOrientation { VERTICAL = 1, HORIZONTAL = 2 };
    // A point of a rectangle: x0 or x1 with y0 or y1, or the centre. As an
    // oversize alignment, the x0 points and the y0 points align to the
    // canvas's start on their axis, the others to its end.
    enum Alignment : std::uint32_t { X0_Y0 = 0, X0_Y1 = 1, X1_Y0 = 2, X1_Y1 = 3, CENTRE = 4 };
    // A bar's range and the first and last positions the viewport covers.
    struct ScrollBarInfo {
        int min = 0, max = 0, first = 0, last = 0;
    };

    qvUIView();
    qvUIView(qvUIView const&) = default;
    qvUIView& operator=(qvUIView const&) = default;
    virtual ~qvUIView();

    // ---- hooks (the host's subclass overrides them) ----------------------------------
    // The canvas has to hold `proposed`; the default keeps the current one.
    virtual void update_virtual_limits(qvWinRectOf<double>& proposed, qvWinRectOf<double> const& current);
    virtual void update_scrollbar(ScrollOrientation orientation, ScrollBarInfo const& info);
    virtual void mapping_changed();
    // True when the host repaints after a resize itself.
    virtual bool resize_update(qvWinRectOf<double> const& rect);

    // ---- queries ------------------------------------------------------------------------
    qvViewManager& view() noexcept { return view_; }
    Mode mode() const noexcept { return mode_; }
    qvWinRectOf<double> virtual_limits() const noexcept { return virtual_limits_; }
    // The viewport in viewport coordinates: (0, 0, width, height).
    qvWinRectOf<double> viewport_limits() const noexcept;
    qvCrdOf<double> virtual_to_viewport(qvCrdOf<double> p) const noexcept;
    qvCrdOf<double> viewport_to_virtual(qvCrdOf<double> p) const noexcept;
    qvWinRectOf<double> virtual_to_viewport(qvWinRectOf<double> const& r) const noexcept;
    qvWinRectOf<double> viewport_to_virtual(qvWinRectOf<double> const& r) const noexcept;
    // The viewport's point `a` in virtual coordinates; other values: the centre.
    qvCrdOf<double> position(Alignment a) const noexcept;
    qvCrdOf<double> viewport_point(Alignment a) const noexcept;
    double scrollbar_position(int p) const noexcept;
    int scrollbar_min() const noexcept { return scrollbar_min_; }
    int scrollbar_max() const noexcept { return scrollbar_max_; }
    Alignment oversize_alignment() const noexcept { return oversize_alignment_; }
    qvDeviceRenderer const& renderer() const noexcept { return renderer_; }

    // ---- defaults (NO_FEEDBACK mode only) --------------------------------------------------
    void scrollbar_limits(int min, int max);
    void oversize_alignment(Alignment a);

    // ---- lifecycle ------------------------------------------------------------------------
    // A device renderer on the driver drawing the view; enters FEEDBACK when
    // it was asked for before.
    void initialize(qvISafePtr<qvDriverObject> const& driver);
    // NO_FEEDBACK, no view manager, no renderer.
    void cleanup();

    // ---- geometry -------------------------------------------------------------------------
    void mode(Mode m);
    void virtual_limits(qvWinRectOf<double> const& rect);
    // `r` is the window's new client rectangle relative to the old viewport.
    void viewport_limits(qvWinRectOf<double> const& r);
    // `d` in virtual units.
    void scroll(qvCrdOf<double> d);
    void scroll(ScrollOrientation orientation, double v);
    // Places the viewport so that its point `a` lies at `p` (virtual).
    void position(qvCrdOf<double> p, Alignment a);
    void position(ScrollOrientation orientation, double v, Alignment a);
    // Factors must be positive and finite ("Invalid zoom factor"); the
    // centre is in viewport coordinates.
    void zoom(double sx, double sy, qvCrdOf<double> centre);
    void zoom(double s, qvCrdOf<double> centre) { zoom(s, s, centre); }
    void zoom(double s, Alignment a) { zoom(s, s, viewport_point(a)); }
    // Shows `area` (viewport coordinates): all of it (fit) or filling the
    // viewport; the point of the area named by the oversize alignment stays.
    void zoom(qvWinRectOf<double> const& area, bool fit);

private:
    qvViewManager& manager();
    qvCrdOf<double> adjust_viewport();
    void update_scrollbars(unsigned which);
    ScrollBarInfo bar_info(double lo, double hi, double c0, double c1) const;
    void do_scroll(qvCrdOf<double> d);
    void repaint();

    qvWinRectOf<double> virtual_limits_{0, 0, 100, 100};
    qvWinRectOf<double> viewport_{0, 0, 100, 100};
    Mode mode_ = NO_FEEDBACK;
    bool feedback_requested_ = false;
    qvViewManager view_;
    qvDeviceRenderer renderer_;
    int scrollbar_min_ = 0;
    int scrollbar_max_ = 32767;
    Alignment oversize_alignment_ = CENTRE;
};
