// The data layer: mapping, device clipping and the invalid area across a
// mapping change (see qvViewDataLayerImplementation.hpp for the frame).

#include <orvane/views/qvViewDataLayerImplementation.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/geometry/qvListRegion.hpp>

#include <cmath>

namespace {

void require_finite_mapping(qvRestrictedTransformation const& rt) {
    if (!qvIsFinite(rt))
        qvRaise(qvErrorFrom<qvViewDataLayerObject>("Invalid scroller argument"));
}

}  // namespace

qvViewDataLayerImplementation::~qvViewDataLayerImplementation() = default;

unsigned qvViewDataLayerImplementation::flags(unsigned value) {
    return qvViewLayerImplementation::flags(value & ~1u);
}

unsigned qvViewDataLayerImplementation::flags() const { return qvViewLayerImplementation::flags(); }

void* qvViewDataLayerImplementation::query_interface(qvInterfaceInfo const& info) {
    if (void* found = qvViewLayerImplementation::query_interface(info))
        return found;
    return qvOfferInterfaces<qvViewDataLayerObject>(this, info);
}

// ---------------------------------------------------------------------------
// Clipping

void qvViewDataLayerImplementation::clipping(qvBaseRegion const* region) {
    qvViewLayerImplementation::clipping(region);
    device_clipping_valid_ = false;
    device_clipping_.erase();
}

qvBaseRegion const& qvViewDataLayerImplementation::clipping() const {
    return qvViewLayerImplementation::clipping();
}

// Floors on both corners: the device clipping may lose up to one unit at
// the high edges, never gain any at the low ones.
qvBaseRegion const& qvViewDataLayerImplementation::local_device_clipping() const {
    if (no_local_device_clipping() || device_clipping_valid_)
        return device_clipping_;
    device_clipping_.erase();
    auto add = [this](qvMathRectOf<double> const& scene_rect) {
        const qvMathRectOf<double> r = qvTransformRect(scene_rect, mapping_);
        const double x1 = std::floor(r.x1), y1 = std::floor(r.y1);
        const double x2 = std::floor(r.x2), y2 = std::floor(r.y2);
        if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2))
            return;
        device_clipping_ += qvMathRectOf<double>(x1, y1, x2, y2);
    };
    qvBaseRegion const& region = clipping();
    if (region.simple()) {
        if (!region.empty())
            add(region.bbox());
    } else {
        for (qvIndirectRectIterator it = region.enumerate(); it; ++it)
            add(*it);
    }
    device_clipping_valid_ = true;
    return device_clipping_;
}

qvBaseRegion const& qvViewDataLayerImplementation::redraw_area() const {
    if (no_local_device_clipping())
        return local_redraw_area();
    redraw_region_ = local_redraw_area();
    redraw_region_ *= local_device_clipping();
    return redraw_region_;
}

void qvViewDataLayerImplementation::copy(qvViewDataLayerObject const& source) {
    qvViewLayerImplementation::copy(source);
    mapping(source.mapping());
    device_clipping_ = source.local_device_clipping();
    device_clipping_valid_ = true;
}

// ---------------------------------------------------------------------------
// Mapping changes

void qvViewDataLayerImplementation::mapping(qvRestrictedTransformation const& rt) {
    require_finite_mapping(rt);
    if (rt == mapping_ || (flags() & ignore_mapping_flag) != 0)
        return;
    change_mapping(rt, rt * qvInvert(mapping_), false);
}

void qvViewDataLayerImplementation::apply_left(qvRestrictedTransformation const& rt) {
    qvViewLayerImplementation::apply_left(rt);
    if (is_independent())
        return;
    change_mapping(rt * mapping_, rt, true);
}

void qvViewDataLayerImplementation::apply_right(qvRestrictedTransformation const& rt) {
    qvViewLayerImplementation::apply_right(rt);
    if (is_independent())
        return;
    const qvRestrictedTransformation next = mapping_ * rt;
    change_mapping(next, next * qvInvert(mapping_), true);
}

void qvViewDataLayerImplementation::invalidate_covered() {
    if (no_local_device_clipping())
        invalidate(true);
    else
        invalidate(local_device_clipping(), true);
}

void qvViewDataLayerImplementation::change_mapping(qvRestrictedTransformation const& next,
                                                   qvRestrictedTransformation const& carry,
                                                   bool stop_when_equal) {
    const bool notify = notify_invalidation();
    if (notify)
        invalidate_covered();
    if (stop_when_equal && next == mapping_)
        return;
    // The waiting area is read before the clipping moves: read afterwards,
    // the part near the edge the clipping leaves would be cut away and
    // never redrawn.
    const bool whole = redraw_all(false);
    qvListRegion waiting;
    if (!whole)
        waiting = local_redraw_area();

    mapping_ = next;
    device_clipping_valid_ = false;
    device_clipping_.erase();
    if (whole)
        return;

    if (!waiting.empty()) {
        validate();
        for (qvIndirectRectIterator it = waiting.enumerate(); it; ++it)
            invalidate(qvTransformRect(*it, carry), false);
    }
    if (notify)
        invalidate_covered();
}
