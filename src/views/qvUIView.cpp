// The window-glue view: the canvas and viewport geometry and how each host
// request reaches the view manager.
//
// Every geometry operation follows one pattern: change the viewport or the
// canvas, pull the viewport back inside the canvas (adjust_viewport, which
// may let the host grow the canvas first), move the view's transformation
// by what the viewport finally moved, then report: scroll bars, repaint,
// mapping_changed. Requests are checked before anything changes.

#include <orvane/views/qvUIView.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewManagerObject.hpp>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

[[noreturn]] void ui_view_raise(char const* message) { qvRaise(qvErrorFrom<qvUIView>(message)); }

bool ui_view_valid_factor(double f) { return f > 0.0 && std::isfinite(f); }

// Canvas, viewport, distances and points: a NaN or an infinity would reach
// the view's mapping and the scroll bars.
template <class T>
void ui_view_require_finite(T const& value) {
    if (!qvIsFinite(value))
        ui_view_raise("Invalid scroller argument");
}

// One axis of adjust_viewport: where the viewport [lo, hi] goes on a canvas
// [c0, c1]. `placement` is 0 for the start, 1 for the end, 2 for the
// centre, -1 to leave an oversized viewport where it is.
void ui_view_adjust_axis(double& lo, double& hi, double c0, double c1, int placement) {
    const double w = hi - lo;
    if (w <= c1 - c0) {
        if (lo < c0) {
            lo = c0;
            hi = c0 + w;
        } else if (hi > c1) {
            hi = c1;
            lo = c1 - w;
        }
        return;
    }
    switch (placement) {
    case 0: lo = c0; hi = c0 + w; break;
    case 1: hi = c1; lo = c1 - w; break;
    case 2: lo = ((c0 + c1) - w) / 2; hi = ((c0 + c1) + w) / 2; break;
    default: break;
    }
}

int ui_view_x_placement(qvUIView::Alignment a) {
    switch (a) {
    case qvUIView::X0_Y0: case qvUIView::X0_Y1: return 0;
    case qvUIView::X1_Y0: case qvUIView::X1_Y1: return 1;
    case qvUIView::CENTRE: return 2;
    }
    return -1;
}

int ui_view_y_placement(qvUIView::Alignment a) {
    switch (a) {
    case qvUIView::X0_Y0: case qvUIView::X1_Y0: return 0;
    case qvUIView::X0_Y1: case qvUIView::X1_Y1: return 1;
    case qvUIView::CENTRE: return 2;
    }
    return -1;
}

// A floored or ceiled bar position plus the bar's minimum, kept in range
// (the saturating conversion, then a wide sum).
int ui_view_bar_value(double v, int min, int max) {
    const int whole = qvTruncToInt(v);
    long long sum = whole == INT_MIN ? (v > 0 ? LLONG_MAX / 2 : LLONG_MIN / 2) : static_cast<long long>(whole);
    sum += min;
    return static_cast<int>(std::clamp<long long>(sum, min, max));
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and hooks

qvUIView::qvUIView() : view_(qvViewCreator::create()) {}

qvUIView::~qvUIView() = default;

void qvUIView::update_virtual_limits(qvWinRectOf<double>& proposed, qvWinRectOf<double> const& current) {
    proposed = current;
}

void qvUIView::update_scrollbar(ScrollOrientation, ScrollBarInfo const&) {}

void qvUIView::mapping_changed() {}

bool qvUIView::resize_update(qvWinRectOf<double> const&) { return false; }

// ---------------------------------------------------------------------------
// Queries

qvWinRectOf<double> qvUIView::viewport_limits() const noexcept {
    return qvWinRectOf<double>(0, 0, viewport_.width(), viewport_.height());
}

qvCrdOf<double> qvUIView::virtual_to_viewport(qvCrdOf<double> p) const noexcept {
    return {p.x - viewport_.x1, p.y - viewport_.y1};
}

qvCrdOf<double> qvUIView::viewport_to_virtual(qvCrdOf<double> p) const noexcept {
    return {p.x + viewport_.x1, p.y + viewport_.y1};
}

qvWinRectOf<double> qvUIView::virtual_to_viewport(qvWinRectOf<double> const& r) const noexcept {
    return qvWinRectOf<double>(virtual_to_viewport(qvCrdOf<double>{r.x1, r.y1}),
                               virtual_to_viewport(qvCrdOf<double>{r.x2, r.y2}));
}

qvWinRectOf<double> qvUIView::viewport_to_virtual(qvWinRectOf<double> const& r) const noexcept {
    return qvWinRectOf<double>(viewport_to_virtual(qvCrdOf<double>{r.x1, r.y1}),
                               viewport_to_virtual(qvCrdOf<double>{r.x2, r.y2}));
}

qvCrdOf<double> qvUIView::position(Alignment a) const noexcept {
    switch (a) {
    case X0_Y0: return {viewport_.x1, viewport_.y1};
    case X0_Y1: return {viewport_.x1, viewport_.y2};
    case X1_Y0: return {viewport_.x2, viewport_.y1};
    case X1_Y1: return {viewport_.x2, viewport_.y2};
    default: return {(viewport_.x1 + viewport_.x2) / 2, (viewport_.y1 + viewport_.y2) / 2};
    }
}

qvCrdOf<double> qvUIView::viewport_point(Alignment a) const noexcept { return virtual_to_viewport(position(a)); }

double qvUIView::scrollbar_position(int p) const noexcept {
    return (static_cast<double>(p) - scrollbar_min_) /
           (static_cast<double>(scrollbar_max_) - static_cast<double>(scrollbar_min_));
}

// ---------------------------------------------------------------------------
// Defaults and lifecycle

void qvUIView::scrollbar_limits(int min, int max) {
    if (mode_ != NO_FEEDBACK)
        ui_view_raise("Defaults can only be changed in NO_FEEDBACK mode");
    if (max <= min)
        ui_view_raise("Wrong scrollbar limits specified");
    scrollbar_min_ = min;
    scrollbar_max_ = max;
}

void qvUIView::oversize_alignment(Alignment a) {
    if (mode_ != NO_FEEDBACK)
        ui_view_raise("Defaults can only be changed in NO_FEEDBACK mode");
    oversize_alignment_ = a;
}

void qvUIView::initialize(qvISafePtr<qvDriverObject> const& driver) {
    renderer_ = qvDeviceRenderer(driver, view_);
    const bool requested = feedback_requested_;
    feedback_requested_ = false;
    if (requested && renderer_)
        mode(FEEDBACK);
}

void qvUIView::cleanup() {
    mode_ = NO_FEEDBACK;
    view_ = qvViewManager();
    renderer_ = qvDeviceRenderer();
}

// ---------------------------------------------------------------------------
// Private steps

qvViewManager& qvUIView::manager() {
    QV_ASSERT_TEXT(view_, "_view");
    return view_;
}

// Pulls the viewport back inside the canvas, after letting the host grow
// the canvas to hold both; returns how far the viewport's origin moved.
qvCrdOf<double> qvUIView::adjust_viewport() {
    const qvWinRectOf<double>& c = virtual_limits_;
    qvWinRectOf<double>& v = viewport_;
    if (c.x1 <= v.x1 && v.x2 <= c.x2 && c.y1 <= v.y1 && v.y2 <= c.y2)
        return {0.0, 0.0};
    qvWinRectOf<double> proposed(std::min(v.x1, c.x1), std::min(v.y1, c.y1), std::max(v.x2, c.x2),
                                 std::max(v.y2, c.y2));
    update_virtual_limits(proposed, virtual_limits_);
    virtual_limits_ = proposed;
    const qvCrdOf<double> old{v.x1, v.y1};
    double x1 = v.x1, x2 = v.x2, y1 = v.y1, y2 = v.y2;
    ui_view_adjust_axis(x1, x2, virtual_limits_.x1, virtual_limits_.x2, ui_view_x_placement(oversize_alignment_));
    ui_view_adjust_axis(y1, y2, virtual_limits_.y1, virtual_limits_.y2, ui_view_y_placement(oversize_alignment_));
    viewport_ = qvWinRectOf<double>(x1, y1, x2, y2);
    return {viewport_.x1 - old.x, viewport_.y1 - old.y};
}

qvUIView::ScrollBarInfo qvUIView::bar_info(double lo, double hi, double c0, double c1) const {
    const double span = c1 - c0;
    QV_ASSERT_TEXT(span != 0.0, "dim_span != 0.0");
    const double range = static_cast<double>(scrollbar_max_) - static_cast<double>(scrollbar_min_);
    ScrollBarInfo info{scrollbar_min_, scrollbar_max_, 0, 0};
    info.first = ui_view_bar_value(std::floor((lo - c0) * range / span), scrollbar_min_, scrollbar_max_);
    info.last = ui_view_bar_value(std::ceil((hi - c0) * range / span), scrollbar_min_, scrollbar_max_);
    return info;
}

// Flag 2 the horizontal bar, flag 1 the vertical one.
void qvUIView::update_scrollbars(unsigned which) {
    if (mode_ == NO_FEEDBACK)
        return;
    if ((which & 2u) != 0)
        update_scrollbar(HORIZONTAL, bar_info(viewport_.x1, viewport_.x2, virtual_limits_.x1, virtual_limits_.x2));
    if ((which & 1u) != 0)
        update_scrollbar(VERTICAL, bar_info(viewport_.y1, viewport_.y2, virtual_limits_.y1, virtual_limits_.y2));
}

void qvUIView::do_scroll(qvCrdOf<double> d) {
    qvViewManager& view = manager();
    if (mode_ != FEEDBACK) {
        view->scroll(d.x, d.y);
        return;
    }
    const qvBaseRenderer renderer = view->renderer();
    if (renderer)
        renderer->scroll(d.x, d.y);
    else
        view->scroll(d.x, d.y);
    mapping_changed();
    update_scrollbars((d.x != 0 ? 2u : 0u) | (d.y != 0 ? 1u : 0u));
}

void qvUIView::repaint() {
    if (!view_)
        return;
    const qvBaseRenderer renderer = view_->renderer();
    if (renderer)
        renderer->invalidate(qvMathRectOf<double>(0, 0, viewport_.width(), viewport_.height()));
}

// ---------------------------------------------------------------------------
// Geometry

void qvUIView::mode(Mode m) {
    if (m == FEEDBACK && !renderer_) {
        feedback_requested_ = true;
        return;
    }
    mode_ = m;
    if (m != FEEDBACK)
        return;
    qvViewManager& view = manager();
    const qvCrdOf<double> d = adjust_viewport();
    if (d.x != 0 || d.y != 0)
        view->scroll(-d.x, -d.y);
    update_scrollbars(3);
    repaint();
    mapping_changed();
}

void qvUIView::virtual_limits(qvWinRectOf<double> const& rect) {
    ui_view_require_finite(rect);
    virtual_limits_ = rect;
    if (mode_ != FEEDBACK)
        return;
    const qvCrdOf<double> d = adjust_viewport();
    if (d.x != 0 || d.y != 0)
        do_scroll({-d.x, -d.y});
    else
        update_scrollbars(3);
}

void qvUIView::viewport_limits(qvWinRectOf<double> const& r) {
    ui_view_require_finite(r);
    ui_view_require_finite(viewport_to_virtual(r));
    viewport_ = viewport_to_virtual(r);
    if (mode_ != FEEDBACK)
        return;
    const qvCrdOf<double> d = adjust_viewport();
    const qvCrdOf<double> q{r.x1 + d.x, r.y1 + d.y};
    if (renderer_)
        renderer_->scroll(-q.x, -q.y);
    if (!resize_update(r))
        repaint();
    mapping_changed();
    update_scrollbars(3);
}

void qvUIView::scroll(qvCrdOf<double> d) {
    ui_view_require_finite(d);
    if (mode_ == FEEDBACK) {
        viewport_ = qvWinRectOf<double>(viewport_.x1 + d.x, viewport_.y1 + d.y, viewport_.x2 + d.x, viewport_.y2 + d.y);
        const qvCrdOf<double> a = adjust_viewport();
        d = {d.x + a.x, d.y + a.y};
    }
    do_scroll({-d.x, -d.y});
}

void qvUIView::scroll(ScrollOrientation orientation, double v) {
    if (orientation == HORIZONTAL)
        scroll(qvCrdOf<double>{v, 0.0});
    else
        scroll(qvCrdOf<double>{0.0, v});
}

// Alignments other than 0 to 4 leave the viewport where it is in
// NO_FEEDBACK mode (and mean the centre in FEEDBACK mode, as position() does).
void qvUIView::position(qvCrdOf<double> p, Alignment a) {
    ui_view_require_finite(p);
    if (mode_ == FEEDBACK) {
        const qvCrdOf<double> at = position(a);
        scroll(qvCrdOf<double>{p.x - at.x, p.y - at.y});
        return;
    }
    const double w = viewport_.width(), h = viewport_.height();
    switch (a) {
    case X0_Y0: viewport_ = qvWinRectOf<double>(p.x, p.y, p.x + w, p.y + h); break;
    case X0_Y1: viewport_ = qvWinRectOf<double>(p.x, p.y - h, p.x + w, p.y); break;
    case X1_Y0: viewport_ = qvWinRectOf<double>(p.x - w, p.y, p.x, p.y + h); break;
    case X1_Y1: viewport_ = qvWinRectOf<double>(p.x - w, p.y - h, p.x, p.y); break;
    case CENTRE: viewport_ = qvWinRectOf<double>(p.x - w / 2, p.y - h / 2, p.x + w / 2, p.y + h / 2); break;
    default: break;
    }
}

void qvUIView::position(ScrollOrientation orientation, double v, Alignment a) {
    const qvCrdOf<double> q = position(a);
    if (orientation == VERTICAL)
        position(qvCrdOf<double>{q.x, v}, a);
    else
        position(qvCrdOf<double>{v, q.y}, a);
}

void qvUIView::zoom(double sx, double sy, qvCrdOf<double> centre) {
    if (!ui_view_valid_factor(sx) || !ui_view_valid_factor(sy))
        ui_view_raise("Invalid zoom factor");
    ui_view_require_finite(centre);
    qvViewManager& view = manager();
    if (mode_ != FEEDBACK) {
        view->zoom(centre, sx, sy);
        return;
    }
    const qvCrdOf<double> cv{centre.x + viewport_.x1, centre.y + viewport_.y1};
    const qvWinRectOf<double>& c = virtual_limits_;
    virtual_limits_ = qvWinRectOf<double>(cv.x + sx * (c.x1 - cv.x), cv.y + sy * (c.y1 - cv.y),
                                          cv.x + sx * (c.x2 - cv.x), cv.y + sy * (c.y2 - cv.y));
    const qvCrdOf<double> d = adjust_viewport();
    view->zoom(centre, sx, sy);
    if (d.x != 0 || d.y != 0)
        view->scroll(-d.x, -d.y);
    update_scrollbars(3);
    repaint();
    mapping_changed();
}

// The target rectangle A has the viewport's proportions scaled by f and
// keeps the area's point named by the oversize alignment; the view then
// zooms about the fixed point of the map from the viewport onto A, or
// scrolls when that map does not scale.
void qvUIView::zoom(qvWinRectOf<double> const& area, bool fit) {
    const double aw = area.width(), ah = area.height();
    if (aw <= 0 && ah <= 0)
        ui_view_raise("Cannot zoom to an empty area");
    const double vw = viewport_.width(), vh = viewport_.height();
    const double fx = aw / vw, fy = ah / vh;
    const double f = fit ? std::max(fx, fy) : std::min(fx, fy);
    if (!ui_view_valid_factor(f))
        ui_view_raise("Cannot zoom to an empty area");
    const double w = vw * f, h = vh * f;
    qvWinRectOf<double> target(qvRectOf<double>(0, 0, 0, 0));
    switch (oversize_alignment_) {
    case X0_Y0: target = qvWinRectOf<double>(area.x1, area.y1, area.x1 + w, area.y1 + h); break;
    case X0_Y1: target = qvWinRectOf<double>(area.x1, area.y2 - h, area.x1 + w, area.y2); break;
    case X1_Y0: target = qvWinRectOf<double>(area.x2 - w, area.y1, area.x2, area.y1 + h); break;
    case X1_Y1: target = qvWinRectOf<double>(area.x2 - w, area.y2 - h, area.x2, area.y2); break;
    case CENTRE: {
        const double cx = (area.x1 + area.x2) / 2, cy = (area.y1 + area.y2) / 2;
        target = qvWinRectOf<double>(cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2);
        break;
    }
    default: break;
    }
    const double sx = target.width() / vw, sy = target.height() / vh;
    const double tx = target.x1, ty = target.y1;
    if (sx != 1 && sy != 1)
        zoom(1 / f, 1 / f, qvCrdOf<double>{tx / (1 - sx), ty / (1 - sy)});
    else
        scroll(qvCrdOf<double>{target.x1, target.y1});
}
