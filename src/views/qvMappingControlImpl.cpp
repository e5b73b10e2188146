// The mapping control: batches of scroller operations on the two
// dimensions going out, and the pushes into the linked layers coming back
// through the control's own scrollers.
//
// Each change walks this control's entries once per axis step (a filtered
// walk of the table); the entry of one layer is the first entry the
// control-and-layer filter keeps. Nothing is allocated per entry.

#include "views/qvMappingControlImpl.hpp"

#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/views/qvMappingControlFilter.hpp>
#include <orvane/views/qvMappingControlLayerFilter.hpp>
#include <orvane/views/qvViewActiveLayerObject.hpp>
#include <orvane/views/qvViewDataLayerObject.hpp>
#include <orvane/views/qvViewManagerObject.hpp>
#include <orvane/views/qvViewTransformationImplementation.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The anchor grid on one axis between a and b: `low` and `high` list the
// codes that take a and b; every other code takes the middle.
double mapping_control_pick(int anchor, double a, double b, int const (&low)[3], int const (&high)[3]) {
    if (std::find(std::begin(low), std::end(low), anchor) != std::end(low)) return a;
    if (std::find(std::begin(high), std::end(high), anchor) != std::end(high)) return b;
    return (a + b) / 2;
}

constexpr int mapping_control_x_low[3] = {0, 1, 4};
constexpr int mapping_control_x_high[3] = {2, 3, 6};
constexpr int mapping_control_y_low[3] = {0, 2, 5};
constexpr int mapping_control_y_high[3] = {1, 3, 7};

double mapping_control_pick_x(int anchor, double a, double b) {
    return mapping_control_pick(anchor, a, b, mapping_control_x_low, mapping_control_x_high);
}

double mapping_control_pick_y(int anchor, double a, double b) {
    return mapping_control_pick(anchor, a, b, mapping_control_y_low, mapping_control_y_high);
}

// The scroller alignment of an anchor code on one axis: the start for the
// low codes, the far end for the high ones, centred otherwise.
qvLimitsAlignment mapping_control_alignment(int anchor, int const (&low)[3], int const (&high)[3]) {
    if (std::find(std::begin(low), std::end(low), anchor) != std::end(low)) return qvLimitsAtStart;
    if (std::find(std::begin(high), std::end(high), anchor) != std::end(high)) return qvLimitsAtEnd;
    return qvLimitsCentred;
}

qvScroller mapping_control_scroller(qvISafePtr<qvScrollerInt> const& own) {
    return qvScroller(own, static_cast<qvScrollerInterface*>(own.get()));
}

}  // namespace

// ---------------------------------------------------------------------------
// Batches

// begin_update on each present dimension now, end_update on each when the
// scope ends, also when an error passes. The dimensions are held for the
// length of the batch.
class qvMappingControlImpl::Batch {
public:
    explicit Batch(qvMappingControlImpl const& control)
        : horizontal_(control.horizontal_), vertical_(control.vertical_) {
        if (horizontal_) horizontal_->begin_update(nullptr);
        if (vertical_) vertical_->begin_update(nullptr);
    }
    Batch(Batch const&) = delete;
    Batch& operator=(Batch const&) = delete;
    ~Batch() {
        // An error from a listener here would meet the error already on its
        // way out, if any: the batch gives up, the scrollers stay balanced
        // as far as the calls got.
        try {
            if (horizontal_) horizontal_->end_update(nullptr);
            if (vertical_) vertical_->end_update(nullptr);
        } catch (...) {
        }
    }

    qvMappingDimensionObject* horizontal() const noexcept { return horizontal_.get(); }
    qvMappingDimensionObject* vertical() const noexcept { return vertical_.get(); }

private:
    qvMappingDimension horizontal_;
    qvMappingDimension vertical_;
};

// ---------------------------------------------------------------------------
// Construction

qvMappingControlObject::qvMappingControlObject() : table_(true) {}

void qvMappingControlObject::mapping_table(qvMappingTable const& table) {
    if (table.get() != table_.get()) table_ = table;
}

qvMappingControl qvMappingControlObject::create() { return qvMappingControl(new qvMappingControlImpl); }

qvMappingControl::qvMappingControl(qvMappingControlBase const& control)
    : qvISafePtr<qvMappingControlObject>(control, qvQueryInterface<qvMappingControlObject>(control.get())) {}

qvMappingControl::qvMappingControl(qvMappingControlBaseObject* control)
    : qvISafePtr<qvMappingControlObject>(qvQueryInterface<qvMappingControlObject>(control)) {}

qvMappingControlImpl::qvMappingControlImpl()
    : vertical_(1, true), horizontal_(1, true) {
    // The scrollers watch this control without counting it: nobody holds it
    // yet, and a count taken and given back now would delete it.
    vertical_scroller_ = qvISafePtr<qvScrollerInt>(new qvScrollerInt(this, true));
    vertical_->add(mapping_control_scroller(vertical_scroller_));
    vertical_->round_off(round_off_);
    vertical_scroller_->alignment(qvLimitsCentred);
    horizontal_scroller_ = qvISafePtr<qvScrollerInt>(new qvScrollerInt(this, false));
    horizontal_->add(mapping_control_scroller(horizontal_scroller_));
    horizontal_->round_off(round_off_);
    horizontal_scroller_->alignment(qvLimitsCentred);
}

qvMappingControlBase qvMappingControlImpl::clone() const {
    qvMappingControl twin(new qvMappingControlImpl);
    twin->vertical_dimension(vertical_);
    twin->horizontal_dimension(horizontal_);
    return twin;
}

void* qvMappingControlImpl::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvMappingControlObject>(this, info);
}

void qvMappingControlImpl::set_dimension(qvMappingDimension& slot, qvMappingDimension const& d,
                                         qvISafePtr<qvScrollerInt> const& own) {
    const qvMappingDimension next = d;  // `d` may be `slot` itself
    if (slot) {
        slot->remove(mapping_control_scroller(own));
        slot = qvMappingDimension();
    }
    if (next) {
        slot = next;
        slot->add(mapping_control_scroller(own));
        slot->round_off(round_off_);
    }
}

void qvMappingControlImpl::vertical_dimension(qvMappingDimension const& d) {
    set_dimension(vertical_, d, vertical_scroller_);
}

void qvMappingControlImpl::horizontal_dimension(qvMappingDimension const& d) {
    set_dimension(horizontal_, d, horizontal_scroller_);
}

// ---------------------------------------------------------------------------
// Reading back from the dimensions

qvRestrictedTransformation const& qvMappingControlImpl::mapping() const {
    qvRestrictedTransformation m;
    if (horizontal_) m.set_x(horizontal_->M());
    if (vertical_) m.set_y(vertical_->M());
    mapping_ = m;
    return mapping_;
}

qvMathRectOf<double> const& qvMappingControlImpl::window() const {
    const qvRangeOf<double> h = horizontal_ ? horizontal_->window() : qvRangeOf<double>();
    const qvRangeOf<double> v = vertical_ ? vertical_->window() : qvRangeOf<double>();
    window_ = qvMathRectOf<double>(h.lo, v.lo, h.hi, v.hi);
    return window_;
}

double qvMappingControlImpl::x_position() const { return horizontal_ ? horizontal_->position() : 0.0; }
double qvMappingControlImpl::y_position() const { return vertical_ ? vertical_->position() : 0.0; }
qvCrdOf<double> qvMappingControlImpl::position() const { return {x_position(), y_position()}; }

double qvMappingControlImpl::x_window_size() const { return horizontal_ ? horizontal_->window_size() : 0.0; }
double qvMappingControlImpl::y_window_size() const { return vertical_ ? vertical_->window_size() : 0.0; }
qvCrdOf<double> qvMappingControlImpl::window_size() const { return {x_window_size(), y_window_size()}; }

qvRangeOf<double> qvMappingControlImpl::x_limits() const {
    return horizontal_ ? horizontal_->limits() : qvRangeOf<double>();
}
qvRangeOf<double> qvMappingControlImpl::y_limits() const {
    return vertical_ ? vertical_->limits() : qvRangeOf<double>();
}
qvMathRectOf<double> qvMappingControlImpl::limits() const {
    const qvRangeOf<double> h = x_limits(), v = y_limits();
    return qvMathRectOf<double>(h.lo, v.lo, h.hi, v.hi);
}

qvCrdOf<double> qvMappingControlImpl::model_to_device(qvCrdOf<double> const& p) const {
    const qvRestrictedTransformation& m = mapping();
    return {m.get_x() * p.x, m.get_y() * p.y};
}

qvCrdOf<double> qvMappingControlImpl::device_to_model(qvCrdOf<double> const& p) const {
    const qvRestrictedTransformation inverse = qvInvert(mapping());
    return {inverse.get_x() * p.x, inverse.get_y() * p.y};
}

qvRestrictedTransformation qvMappingControlImpl::layer_mapping(qvViewLayer const& layer) const {
    return qvTranslation(offset(layer)) * mapping();
}

int qvMappingControlImpl::axis_mask() const noexcept {
    return (horizontal_ ? 2 : 0) | (vertical_ ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Changing the view: one batch of scroller operations each

// Each checked before the batch: a NaN on one axis alone would be refused by
// its scroller only after the other axis had moved.
void qvMappingControlImpl::mapping(qvRestrictedTransformation const& rt) {
    qvViewTransformationImplementation::require_finite(rt);
    Batch batch(*this);
    if (batch.horizontal()) batch.horizontal()->mapping(rt.get_x());
    if (batch.vertical()) batch.vertical()->mapping(rt.get_y());
}

void qvMappingControlImpl::apply_left(qvRestrictedTransformation const& rt) {
    qvViewTransformationImplementation::require_finite(rt);
    Batch batch(*this);
    if (batch.horizontal()) batch.horizontal()->apply_left(rt.get_x());
    if (batch.vertical()) batch.vertical()->apply_left(rt.get_y());
}

void qvMappingControlImpl::apply_right(qvRestrictedTransformation const& rt) {
    qvViewTransformationImplementation::require_finite(rt);
    Batch batch(*this);
    if (batch.horizontal()) batch.horizontal()->apply_right(rt.get_x());
    if (batch.vertical()) batch.vertical()->apply_right(rt.get_y());
}

void qvMappingControlImpl::limits(qvMathRectOf<double> const& rect) {
    Batch batch(*this);
    if (batch.horizontal()) batch.horizontal()->limits(qvRangeOf<double>(rect.x1, rect.x2));
    if (batch.vertical()) batch.vertical()->limits(qvRangeOf<double>(rect.y1, rect.y2));
}

void qvMappingControlImpl::resize(qvMathRectOf<double> const& rect) {
    qvMathRectOf<double> r = rect;
    if (round_off_)
        r = qvMathRectOf<double>(std::floor(rect.x1), std::floor(rect.y1), std::ceil(rect.x2), std::ceil(rect.y2));
    Batch batch(*this);
    if (batch.horizontal()) batch.horizontal()->resize(qvRangeOf<double>(r.x1, r.x2));
    if (batch.vertical()) batch.vertical()->resize(qvRangeOf<double>(r.y1, r.y2));
}

void qvMappingControlImpl::round_off(bool on) {
    round_off_ = on;
    Batch batch(*this);
    if (batch.vertical()) batch.vertical()->round_off(on);
    if (batch.horizontal()) batch.horizontal()->round_off(on);
}

void qvMappingControlImpl::do_scroll(qvCrdOf<double> const& distance) {
    Batch batch(*this);
    if (batch.horizontal()) batch.horizontal()->scroll(distance.x);
    if (batch.vertical()) batch.vertical()->scroll(distance.y);
}

void qvMappingControlImpl::do_zoom(double zx, double zy, qvCrdOf<double> const& centre) {
    // Both axes or neither: the checks of both come before the first step.
    qvScrollerInterface::check_zoom(zx, centre.x);
    qvScrollerInterface::check_zoom(zy, centre.y);
    Batch batch(*this);
    if (batch.horizontal()) batch.horizontal()->zoom(zx, centre.x);
    if (batch.vertical()) batch.vertical()->zoom(zy, centre.y);
}

void qvMappingControlImpl::scroll(qvCrdOf<double> const& distance) { do_scroll(distance); }
void qvMappingControlImpl::scroll(double dx, double dy) { do_scroll({dx, dy}); }

void qvMappingControlImpl::zoom(double zx, double zy, qvCrdOf<double> const& centre) {
    // Checked before the smaller factor is taken, which could hide a NaN.
    qvScrollerInterface::check_zoom(zx, centre.x);
    qvScrollerInterface::check_zoom(zy, centre.y);
    if (!independent_zoom_) zx = zy = std::min(zx, zy);
    do_zoom(zx, zy, centre);
}

void qvMappingControlImpl::zoom(double factor, qvCrdOf<double> const& centre) { zoom(factor, factor, centre); }
void qvMappingControlImpl::zoom(double zx, double zy) { zoom(zx, zy, anchor_pos()); }
void qvMappingControlImpl::zoom(double factor) { zoom(factor, factor); }

void qvMappingControlImpl::zoom(qvMathRectOf<double> const& rect, bool keep_aspect) {
    double zx = x_window_size() / (rect.x2 - rect.x1);
    double zy = y_window_size() / (rect.y2 - rect.y1);
    if (keep_aspect) zx = zy = std::min(zx, zy);
    // A window of size 0 zooms by nothing.
    constexpr double epsilon = std::numeric_limits<double>::epsilon();
    if (std::fabs(zx) < epsilon) zx = 1.0;
    if (std::fabs(zy) < epsilon) zy = 1.0;
    const qvCrdOf<double> centre = rect.center();
    // A side of 0 gives an infinite factor: refused before anything moves.
    qvScrollerInterface::check_zoom(zx, centre.x);
    qvScrollerInterface::check_zoom(zy, centre.y);
    Batch batch(*this);
    zoom(zx, zy, centre);
    const qvCrdOf<double> shown = device_to_model(window().center());
    scroll(centre - shown);
}

void qvMappingControlImpl::show(qvMathRectOf<double> const& rect, int anchor) {
    const qvMathRectOf<double> w = window();
    const qvRestrictedTransformation m = mapping();
    // An axis without its dimension is not moved: both of its points are 0.
    qvCrdOf<double> at_window{}, at_rect{};
    if (horizontal_) {
        at_window.x = mapping_control_pick_x(anchor, w.x1, w.x2);
        at_rect.x = m.m0() < 0 ? mapping_control_pick_x(anchor, rect.x2, rect.x1)
                               : mapping_control_pick_x(anchor, rect.x1, rect.x2);
    }
    if (vertical_) {
        at_window.y = mapping_control_pick_y(anchor, w.y1, w.y2);
        at_rect.y = m.m3() < 0 ? mapping_control_pick_y(anchor, rect.y2, rect.y1)
                               : mapping_control_pick_y(anchor, rect.y1, rect.y2);
    }
    scroll(at_rect - device_to_model(at_window));
}

void qvMappingControlImpl::show(qvCrdOf<double> const& point, int anchor) {
    const qvMathRectOf<double> w = window();
    qvCrdOf<double> at_window{}, at_point{};
    if (horizontal_) {
        at_window.x = mapping_control_pick_x(anchor, w.x1, w.x2);
        at_point.x = point.x;
    }
    if (vertical_) {
        at_window.y = mapping_control_pick_y(anchor, w.y1, w.y2);
        at_point.y = point.y;
    }
    scroll(at_point - device_to_model(at_window));
}

qvCrdOf<double> qvMappingControlImpl::anchor_pos() const {
    if (zoom_anchor_type_ == 9) return zoom_anchor_offset_;
    const qvMathRectOf<double> w = window();
    const qvCrdOf<double> a = device_to_model({w.x1, w.y1});
    const qvCrdOf<double> b = device_to_model({w.x2, w.y2});
    return qvCrdOf<double>(mapping_control_pick_x(zoom_anchor_type_, a.x, b.x),
                           mapping_control_pick_y(zoom_anchor_type_, a.y, b.y)) +
           zoom_anchor_offset_;
}

void qvMappingControlImpl::limits_alignment(int anchor) {
    if (anchor != limits_alignment_) {
        limits_alignment_ = anchor;
        horizontal_scroller_->alignment(
            mapping_control_alignment(anchor, mapping_control_x_low, mapping_control_x_high));
        vertical_scroller_->alignment(
            mapping_control_alignment(anchor, mapping_control_y_low, mapping_control_y_high));
    }
    if (horizontal_) horizontal_->alignment(horizontal_scroller_->alignment());
    if (vertical_) vertical_->alignment(vertical_scroller_->alignment());
}

// ---------------------------------------------------------------------------
// Layer links

void qvMappingControlImpl::add(qvViewLayer const& layer, int link_type, qvCrdOf<double> const& offset) {
    const qvMappingTable table = table_;
    if (!table || !layer) return;
    const qvIWeakPtr<qvViewLayerObject> watched(layer);
    const qvMappingControlLayerFilter filter(this, watched);
    if (qvIndirectIterator<qvMappingTableItem> found = table->query(filter); found) {
        found->link_type = link_type;
        found->offset = offset;
        return;
    }
    table->add(qvMappingTableItem(this, watched, link_type, offset));
}

void qvMappingControlImpl::remove(qvViewLayer const& layer) {
    const qvMappingTable table = table_;
    if (!table || !layer) return;
    const qvIWeakPtr<qvViewLayerObject> watched(layer);
    const qvMappingControlLayerFilter filter(this, watched);
    // Each remove erases every entry equal to the one found; entries of
    // this layer with other link types or offsets are found next.
    for (;;) {
        qvMappingTableItem item;
        {
            qvIndirectIterator<qvMappingTableItem> found = table->query(filter);
            if (!found) return;
            item = *found;
        }
        table->remove(item);
    }
}

int qvMappingControlImpl::link_type(qvViewLayer const& layer) const {
    const qvMappingTable table = table_;
    if (!table || !layer) return 0;
    const qvIWeakPtr<qvViewLayerObject> watched(layer);
    const qvMappingControlLayerFilter filter(this, watched);
    const qvIndirectIterator<qvMappingTableItem> found = table->query(filter);
    return found ? found->link_type : 0;
}

qvCrdOf<double> qvMappingControlImpl::offset(qvViewLayer const& layer) const {
    const qvMappingTable table = table_;
    if (!table || !layer) return {};
    const qvIWeakPtr<qvViewLayerObject> watched(layer);
    const qvMappingControlLayerFilter filter(this, watched);
    const qvIndirectIterator<qvMappingTableItem> found = table->query(filter);
    return found ? found->offset : qvCrdOf<double>();
}

// ---------------------------------------------------------------------------
// From the dimensions back to the layers

void qvMappingControlImpl::set_mapping(qvIWeakPtr<qvViewLayerObject> const& layer,
                                       qvRestrictedTransformation const& rt, int link) {
    const qvViewLayer held(layer);  // alive for the length of the call
    qvViewLayerObject* object = held.get();
    if (object == nullptr) return;
    if (auto* data = qvQueryInterface<qvViewDataLayerObject>(object)) {
        switch (link & 3) {
            case 3: data->mapping(rt); break;
            case 2: {
                qvRestrictedTransformation m = data->mapping();
                m.set_x(rt.get_x());
                data->mapping(m);
                break;
            }
            case 1: {
                qvRestrictedTransformation m = data->mapping();
                m.set_y(rt.get_y());
                data->mapping(m);
                break;
            }
            default: break;
        }
        return;
    }
    if (auto* manager = qvQueryInterface<qvViewManagerObject>(object)) {
        for (qvIndirectIterator<qvViewLayer> it = manager->layers(); it; ++it) {
            qvViewLayerObject* member = it->get();
            if (qvQueryInterface<qvViewDataLayerObject>(member) != nullptr ||
                qvQueryInterface<qvViewManagerObject>(member) != nullptr)
                set_mapping(qvIWeakPtr<qvViewLayerObject>(*it), rt, link);
        }
        return;
    }
    if (auto* active = qvQueryInterface<qvViewActiveLayerObject>(object)) {
        for (qvIndirectIterator<qvViewLayer> it = active->layers(); it; ++it)
            set_mapping(qvIWeakPtr<qvViewLayerObject>(*it), rt, link);
    }
}

void qvMappingControlImpl::push_component(qvRestrictedTransformation const& t, int mask) {
    const qvMappingTable table = table_;
    if (!table) return;
    const qvMappingControlFilter filter(this);
    for (qvIndirectIterator<qvMappingTableItem> it = table->query(filter); it; ++it)
        if (it->layer.get() != nullptr) set_mapping(it->layer, qvTranslation(it->offset) * t, it->link_type & mask);
}

void qvMappingControlImpl::do_set_x(qvRTComponent c) {
    if (!horizontal_) return;
    push_component(qvRestrictedTransformation(c, qvRTComponent()), 2);
}

void qvMappingControlImpl::do_set_y(qvRTComponent c) {
    if (!vertical_) return;
    push_component(qvRestrictedTransformation(qvRTComponent(), c), 1);
}

void qvMappingControlImpl::push_factor(qvRestrictedTransformation const& rt, bool device_side) {
    const int mask = axis_mask();
    if (mask == 0 || rt.is_identity()) return;
    const qvMappingTable table = table_;
    if (!table) return;
    const qvMappingControlFilter filter(this);
    for (qvIndirectIterator<qvMappingTableItem> it = table->query(filter); it; ++it) {
        const qvViewLayer layer(it->layer);
        if (!layer) continue;
        const qvRestrictedTransformation r =
            device_side ? qvTranslation(it->offset) * rt * qvTranslation(-it->offset.x, -it->offset.y) : rt;
        const int shared = it->link_type & mask;
        if ((shared & 1) && !r.get_y().is_identity()) {
            const qvRestrictedTransformation step(qvRTComponent(), r.get_y());
            device_side ? layer->apply_left(step) : layer->apply_right(step);
        }
        if ((shared & 2) && !r.get_x().is_identity()) {
            const qvRestrictedTransformation step(r.get_x(), qvRTComponent());
            device_side ? layer->apply_left(step) : layer->apply_right(step);
        }
    }
}

void qvMappingControlImpl::do_left(qvRestrictedTransformation const& rt) { push_factor(rt, true); }
void qvMappingControlImpl::do_right(qvRestrictedTransformation const& rt) { push_factor(rt, false); }
