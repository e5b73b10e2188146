// The scale manipulator (see qvScaleManipulator.hpp). Both interactions
// are looked up afresh in each call, in qvAdapter objects on the stack: an
// adapter lives for one call and allocates nothing.
//
// A move computes the new width w and height h of the box from the
// selected handle's growth signs, raises each to its minimum, and with the
// aspect kept scales both by the smaller factor k = min(w / W, h / H)
// (a factor whose result would fall below the other axis' minimum is
// replaced by the other first). Because the untouched axis of an edge
// handle keeps factor 1, an edge handle with the aspect kept only shrinks.
//
// Out-of-range drags follow the same rules: a point at an infinity past
// the opposite side stops at the minimum, and with the aspect kept the
// finite factor wins. A NaN device point, or a drag whose box no shape can
// hold (an infinity outwards, a mapping of scale 0), raises "Invalid device
// point" before the graphic changes.

#include <orvane/interaction/qvScaleManipulator.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include <algorithm>
#include <cmath>

namespace {

[[noreturn]] void raise_scale_manipulator_error(char const* text) {
    qvRaise(qvErrorFrom<qvScaleManipulator>(text));
}

struct ScaleHandleRow {
    int x_sign;
    int y_sign;
};

constexpr int scale_handle_count = 8;

constexpr ScaleHandleRow scale_handle_rows[scale_handle_count] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                                                  {1, 0},   {-1, 1}, {0, 1},  {1, 1}};

// The box the interaction calls below will give: an edge with a growth sign
// moves by the growth; without one, the aspect step moves both edges by
// half of it (zero when that step does not run). It must fit a shape before
// the first call, since an edge handle with the aspect kept makes three.
bool grown_box_fits(qvMathRectOf<double> const& box, int x_sign, int y_sign, double dW, double dH) {
    const double x1 = x_sign < 0 ? box.x1 - dW : x_sign == 0 ? box.x1 - dW / 2 : box.x1;
    const double x2 = x_sign > 0 ? box.x2 + dW : x_sign == 0 ? box.x2 + dW / 2 : box.x2;
    const double y1 = y_sign < 0 ? box.y1 - dH : y_sign == 0 ? box.y1 - dH / 2 : box.y1;
    const double y2 = y_sign > 0 ? box.y2 + dH : y_sign == 0 ? box.y2 + dH / 2 : box.y2;
    return qvFitsFloat(qvRectOf<double>(x1, y1, x2, y2));
}

}  // namespace

qvScaleManipulator::~qvScaleManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

qvCrdOf<double> qvScaleManipulator::handle_position(int n, qvMathRectOf<double> const& box) {
    QV_ASSERT_TEXT(n >= 0 && n < scale_handle_count, "n");
    const ScaleHandleRow row = scale_handle_rows[n];
    const double cx = (box.x1 + box.x2) / 2, cy = (box.y1 + box.y2) / 2;
    const double x = row.x_sign < 0 ? box.x1 : row.x_sign > 0 ? box.x2 : cx;
    const double y = row.y_sign < 0 ? box.y1 : row.y_sign > 0 ? box.y2 : cy;
    return qvCrdOf<double>(x, y);
}

template <class F>
void qvScaleManipulator::with_interaction(F&& f) {
    qvAdapter<qvExtendedScaleInteraction> xr(graphic_);
    if (xr.get() != nullptr) {
        xr->transformation(qvTransformation(layer_->mapping()));
        f(static_cast<qvScaleInteraction&>(*xr.get()));
        return;
    }
    qvAdapter<qvScaleInteraction> r(graphic_);
    QV_ASSERT_TEXT(r.get() != nullptr, "r || xr");
    f(*r.get());
}

// ---------------------------------------------------------------------------
// Activation

bool qvScaleManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) {
    deactivate();
    if (!gadget_layer)
        raise_scale_manipulator_error("Gadget layer is not initialized");
    if (!scene_layer || !graphic)
        return false;
    {
        qvAdapter<qvExtendedScaleInteraction> xr(graphic);
        qvAdapter<qvScaleInteraction> r(graphic);
        if (xr.get() == nullptr && r.get() == nullptr)
            return false;
    }
    if (!bar_.activate(gadget_layer, scene_layer))
        return false;
    graphic_ = std::move(graphic);
    layer_ = std::move(scene_layer);
    try {
        qvMathRectOf<double> box;
        with_interaction([&](qvScaleInteraction& s) { box = s.bbox(); });
        for (int n = 0; n < scale_handle_count; ++n) {
            const qvGraphic handle = bar_.add_handle(handle_position(n, box));
            if (auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(handle.get()))
                proxy->connect_attribute("HandleBar");
        }
    } catch (...) {
        deactivate();
        throw;
    }
    const qvCrdOf<double> a = layer_->device_to_scene(qvCrdOf<double>(0, 0));
    const qvCrdOf<double> b = layer_->device_to_scene(qvCrdOf<double>(20, 20));
    min_width_ = std::fabs(b.x - a.x);
    min_height_ = std::fabs(b.y - a.y);
    return true;
}

void qvScaleManipulator::deactivate() {
    graphic_ = qvGraphic();
    layer_ = qvViewSceneLayer();
    bar_.deactivate();
    selected_ = -1;
}

void qvScaleManipulator::require_active() const {
    if (!graphic_)
        raise_scale_manipulator_error("Manipulator was not initialized yet");
}

void qvScaleManipulator::notify(unsigned what) {
    require_active();
    if ((what & 2u) == 0) {
        bar_.notify(what);
        return;
    }
    with_interaction([&](qvScaleInteraction& s) { place_handles(s.bbox()); });
}

void qvScaleManipulator::place_handles(qvMathRectOf<double> const& box) {
    for (int n = 0; n < scale_handle_count && n < bar_.size(); ++n) {
        const qvGraphic handle = bar_[n];
        qvAdapter<qvPointSetDataAccess> points(handle);
        if (points.get() != nullptr)
            points->point(0, handle_position(n, box));
    }
}

// ---------------------------------------------------------------------------
// The drag

// The bar is open to callers (handle_bar()): a handle added there after
// the eight has no row of the handle table, so it is never picked for a
// drag, which would otherwise read past the table.
int qvScaleManipulator::scale_handle_at(qvCrdOf<double> crd) {
    const int hit = bar_.selected(crd);
    return hit < scale_handle_count ? hit : -1;
}

bool qvScaleManipulator::check(qvCrdOf<double> crd) {
    require_active();
    return scale_handle_at(crd) >= 0;
}

bool qvScaleManipulator::begin(qvCrdOf<double> crd) {
    require_active();
    selected_ = scale_handle_at(crd);
    return selected_ >= 0;
}

void qvScaleManipulator::end() {
    require_active();
    selected_ = -1;
}

void qvScaleManipulator::move(qvCrdOf<double> crd) {
    require_active();
    if (selected_ < 0)
        raise_scale_manipulator_error("Handle bar is not selected");
    with_interaction([&](qvScaleInteraction& s) { resize(s, crd); });
    notify(2);
}

void qvScaleManipulator::resize(qvScaleInteraction& s, qvCrdOf<double> crd) {
    if (std::isnan(crd.x) || std::isnan(crd.y))
        raise_invalid_device_point();
    const int n = selected_;
    const ScaleHandleRow row = scale_handle_rows[n];
    const qvMathRectOf<double> box = s.bbox();
    const double W = box.x2 - box.x1, H = box.y2 - box.y1;
    const qvCrdOf<double> A = handle_position(n, box);
    const qvCrdOf<double> P = layer_->device_to_scene(crd);
    const double dx = row.x_sign == 0 ? 0.0 : P.x - A.x;
    const double dy = row.y_sign == 0 ? 0.0 : P.y - A.y;
    // An axis of zero extent keeps its size: no minimum, no aspect factor.
    double w = W, h = H;
    if (W != 0) {
        w = W + row.x_sign * dx;
        if (w < min_width_)
            w = min_width_;
    }
    if (H != 0) {
        h = H + row.y_sign * dy;
        if (h < min_height_)
            h = min_height_;
    }
    const bool corner = row.x_sign != 0 && row.y_sign != 0;
    const bool keep_aspect = corner ? (style_ & 2u) != 0 : (style_ & 1u) != 0;
    const bool aspect_applied = keep_aspect && W != 0 && H != 0;
    if (aspect_applied) {
        double kx = w / W, ky = h / H;
        if (H * kx < min_height_)
            kx = ky;
        if (W * ky < min_width_)
            ky = kx;
        const double k = std::min(kx, ky);
        w = W * k;
        h = H * k;
    }
    const double dW = w - W, dH = h - H;
    if (!grown_box_fits(box, row.x_sign, row.y_sign, dW, dH))
        raise_invalid_device_point();
    switch (n) {
    case 0: s.move_lb(-dW, -dH); break;
    case 1: s.move_bottom(-dH); break;
    case 2: s.move_rb(dW, -dH); break;
    case 3: s.move_left(-dW); break;
    case 4: s.move_right(dW); break;
    case 5: s.move_lt(-dW, dH); break;
    case 6: s.move_top(dH); break;
    default: s.move_rt(dW, dH); break;
    }
    if (!aspect_applied || corner)
        return;
    if (row.x_sign == 0) {
        s.move_left(-dW / 2);
        s.move_right(dW / 2);
    } else {
        s.move_bottom(-dH / 2);
        s.move_top(dH / 2);
    }
}
