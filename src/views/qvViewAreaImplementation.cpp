// The standard area of a layer.
//
// Cost model: an invalidation with neither clip nor restriction appends to
// the pending list region (no temporary); with either, one temporary per
// call, made from the restriction (or the clip when there is no
// restriction): a list region of its bounding box when it is one
// rectangle, else its clone; it is cut to the other and to the argument,
// added to pending and dropped.

#include <orvane/views/qvViewAreaImplementation.hpp>

#include <memory>
#include <type_traits>

namespace {

// A region to cut down: a list region of `from`'s box when `from` is one
// rectangle, else a clone of it. `local` holds the first kind.
qvBaseRegion& area_temporary(qvBaseRegion const& from, qvListRegion& local,
                             std::unique_ptr<qvBaseRegion>& owned) {
    if (from.simple()) {
        local = from.bbox();
        return local;
    }
    owned.reset(from.clone());
    return *owned;
}

}  // namespace

// ---------------------------------------------------------------------------
// Restriction and clip

void qvViewAreaImplementation::restrict_invalidation(qvBaseRegion const& region) {
    restriction_ = region;
    if (!restriction_.empty())
        pending_ *= restriction_;
}

void qvViewAreaImplementation::clipping(qvBaseRegion const* region) {
    if (region == nullptr) {
        clip_on_ = false;
        clip_.erase();
    } else {
        clip_on_ = true;
        clip_ = *region;
    }
}

bool qvViewAreaImplementation::no_local_device_clipping() const { return no_clipping(); }
qvBaseRegion const& qvViewAreaImplementation::local_device_clipping() const { return clipping(); }
bool qvViewAreaImplementation::no_device_clipping() const { return no_local_device_clipping(); }
qvBaseRegion const& qvViewAreaImplementation::device_clipping() const {
    return local_device_clipping();
}

// ---------------------------------------------------------------------------
// Validation: a wholly invalid layer stays so.

void qvViewAreaImplementation::validate(qvBaseRegion const& region) {
    if (local_redraw_all())
        return;
    if (restriction_.empty()) {
        pending_ -= region;
        return;
    }
    qvListRegion cut(restriction_);
    cut *= region;
    pending_ -= cut;
}

void qvViewAreaImplementation::validate(qvMathRectOf<double> const& rect) {
    if (local_redraw_all())
        return;
    const qvMathRectOf<double> r = widened(rect);
    if (restriction_.empty()) {
        pending_ -= r;
        return;
    }
    qvListRegion cut(restriction_);
    cut *= r;
    pending_ -= cut;
}

void qvViewAreaImplementation::validate() {
    pending_.erase();
    all_ = false;
}

// ---------------------------------------------------------------------------
// Invalidation: records only; always answers false (nothing was notified).

template <class Argument>
void qvViewAreaImplementation::add_pending(Argument const& argument) {
    const bool clipped = !no_local_device_clipping();
    if (!clipped && restriction_.empty()) {
        // The common road: one append, without the region's virtual call.
        if constexpr (std::is_same_v<Argument, qvMathRectOf<double>>)
            pending_.qvListRegion::add(argument);
        else
            pending_ += argument;
        return;
    }
    qvListRegion local;
    std::unique_ptr<qvBaseRegion> owned;
    qvBaseRegion& cut = area_temporary(restriction_.empty() ? local_device_clipping() : restriction_,
                                       local, owned);
    if (clipped && !restriction_.empty())
        cut *= local_device_clipping();
    cut *= argument;
    pending_ += cut;
}

bool qvViewAreaImplementation::invalidate(qvBaseRegion const& region, bool) {
    if (!local_redraw_all())
        add_pending(region);
    return false;
}

bool qvViewAreaImplementation::invalidate(qvMathRectOf<double> const& rect, bool) {
    if (!local_redraw_all())
        add_pending(widened(rect));
    return false;
}

bool qvViewAreaImplementation::invalidate(bool) {
    if (local_redraw_all())
        return false;
    if (no_local_device_clipping()) {
        if (restriction_.empty()) {
            all_ = true;
            pending_.erase();
        } else {
            pending_ += restriction_;
        }
    } else if (restriction_.empty()) {
        pending_ += local_device_clipping();
    } else {
        std::unique_ptr<qvBaseRegion> cut(restriction_.clone());
        *cut *= local_device_clipping();
        pending_ += *cut;
    }
    return false;
}

// ---------------------------------------------------------------------------
// What to redraw

// The flag is read first: while it is clear (nearly always) the clip query
// is not needed.
bool qvViewAreaImplementation::local_redraw_all() const { return all_ && no_local_device_clipping(); }

qvBaseRegion const& qvViewAreaImplementation::local_redraw_area() const {
    qvBaseRegion const& clip = local_device_clipping();
    if (all_)
        return clip;
    if (clip.empty())
        return pending_;
    scratch_ = clip;
    scratch_ *= pending_;
    return scratch_;
}

bool qvViewAreaImplementation::redraw_all(bool) const { return local_redraw_all(); }

qvBaseRegion const& qvViewAreaImplementation::redraw_area(bool) const { return local_redraw_area(); }

// ---------------------------------------------------------------------------
// Copying another layer's area

void qvViewAreaImplementation::copy_area_data(qvViewArea const& other) {
    // From itself the validate below would erase the very pending area it
    // is about to re-add.
    if (&other == static_cast<qvViewArea const*>(this))
        return;
    clipping(other.no_clipping() ? nullptr : &other.clipping());
    restrict_invalidation(other.restrict_invalidation());
    if (other.redraw_all(false)) {
        all_ = true;
        return;
    }
    validate();
    invalidate(other.redraw_area(false), false);
}
