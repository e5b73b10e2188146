// qvListRegion: the list algorithms.
//
// Every difference and intersection walks the list front to back and puts
// what it keeps back at the front, so a walk never meets its own output.
// Moving a kept rectangle is a splice (no allocation); new pieces are built
// in a local list first and spliced in, so a failed allocation leaves the
// rectangle it was cutting in place. The box is recomputed after every
// difference and intersection, also when an exception passes.

#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvRegionIdentities.hpp>

#include "geometry/qvRegionRectRules.hpp"

#include <utility>

// ---- construction and copying ---------------------------------------------------

qvListRegion::qvListRegion(Rect const& rect) { add(rect); }

qvListRegion::qvListRegion(qvBaseRegion const& other) { *this = other; }

qvListRegion::qvListRegion(qvListRegion const& other)
    : qvGenericBBoxRegion(other), rects_(other.rects_) {}

qvListRegion& qvListRegion::operator=(qvListRegion const& other) {
    if (&other != this) copy_from(other);
    return *this;
}

void qvListRegion::copy_from(qvListRegion const& other) {
    List copy(other.rects_);
    rects_.swap(copy);
    assign_bbox(other.bbox());
}

void* qvListRegion::query_interface(qvInterfaceInfo const& info) {
    return &info == &qvListRegionIdentity() ? this : nullptr;
}

qvListRegion const* qvListRegion::as_list(qvBaseRegion const& other) {
    // query_interface only reads, but the interface declares it non-const.
    return static_cast<qvListRegion const*>(
        const_cast<qvBaseRegion&>(other).query_interface(qvListRegionIdentity()));
}

qvBaseRegion* qvListRegion::clone() const { return new qvListRegion(*this); }
qvBaseRegion* qvListRegion::create() const { return new qvListRegion; }

// ---- the rectangle primitives ------------------------------------------------------

// Skips a rectangle that one of the three newest rectangles already holds.
qvBaseRegion& qvListRegion::add(Rect const& rect) {
    const Rect r = rect;  // may be our own bbox()
    if (qvRegionRectIsVoid(r)) return *this;
    int looked = 0;
    for (auto it = rects_.begin(); it != rects_.end() && looked < 3; ++it, ++looked)
        if (qvRegionRectContains(*it, r)) return *this;
    rects_.push_front(r);
    add_bbox(r);
    return *this;
}

qvBaseRegion& qvListRegion::subtract(Rect const& rect) {
    const Rect b = rect;
    if (qvRegionRectIsVoid(b) || empty()) return *this;
    subtract_each([&b](auto cut) { cut(b); });
    return *this;
}

// Overlapping rectangles shrink to their intersection and move to the
// front; the rest (touching ones included) are dropped.
qvBaseRegion& qvListRegion::intersect(Rect const& rect) {
    const Rect b = rect;
    if (empty()) return *this;
    if (qvRegionRectIsVoid(b)) return erase();
    for (auto it = rects_.begin(); it != rects_.end();) {
        const auto here = it++;
        if (qvRectsOverlap(*here, b)) {
            *here = *here * b;
            rects_.splice(rects_.begin(), rects_, here);
        } else {
            rects_.erase(here);
        }
    }
    update_bbox();
    return *this;
}

// Replaces every rectangle a by the pieces of a outside b: with c = a ∩ b,
// the band above c, the band below, the side left of c and the side right
// of c, each only where c leaves something; the sides span a's full height.
// The pieces go to the front in that order, so the last ends up first.
void qvListRegion::cut_out(Rect const& b) {
    for (auto it = rects_.begin(); it != rects_.end();) {
        const auto here = it++;
        const Rect a = *here;
        if (!qvRectsOverlap(a, b)) {
            rects_.splice(rects_.begin(), rects_, here);
            continue;
        }
        const Rect c = a * b;
        List pieces;
        if (c.y2 != a.y2) pieces.push_front(Rect(a.x1, c.y2, a.x2, a.y2));
        if (c.y1 != a.y1) pieces.push_front(Rect(a.x1, a.y1, a.x2, c.y1));
        if (c.x1 != a.x1) pieces.push_front(Rect(a.x1, a.y1, c.x1, a.y2));
        if (c.x2 != a.x2) pieces.push_front(Rect(c.x2, a.y1, a.x2, a.y2));
        rects_.splice(rects_.begin(), pieces);
        rects_.erase(here);
    }
}

// `for_each(cut)` calls cut(b) for every rectangle b to remove, in order.
template <class ForEachRect>
void qvListRegion::subtract_each(ForEachRect for_each) {
    try {
        for_each([this](Rect const& b) {
            if (!qvRegionRectIsVoid(b)) cut_out(b);
        });
    } catch (...) {
        update_bbox();
        throw;
    }
    update_bbox();
}

// `for_each(meet)` calls meet(b) for every rectangle b of the other region
// (outer loop); every overlapping rectangle a of the list (inner loop)
// contributes a ∩ b at the front of the new list.
template <class ForEachRect>
void qvListRegion::intersect_each(ForEachRect for_each) {
    List result;
    for_each([this, &result](Rect const& b) {
        for (Rect const& a : rects_)
            if (qvRectsOverlap(a, b)) result.push_front(a * b);
    });
    rects_.swap(result);
    update_bbox();
}

void qvListRegion::append(Rect const& rect) {
    if (qvRegionRectIsVoid(rect)) return;
    rects_.push_back(rect);
    add_bbox(rect);
}

// The other list's rectangles go to the front one by one, so they end up
// in reverse order before ours.
void qvListRegion::prepend_all(List const& others) {
    List reversed;
    for (Rect const& r : others) reversed.push_front(r);
    rects_.splice(rects_.begin(), reversed);
}

// ---- region-with-region operations ---------------------------------------------------

namespace {

// The walk over a foreign region: its enumeration, in order.
auto enumerated(qvBaseRegion const& region) {
    return [&region](auto visit) {
        for (qvIndirectRectIterator it = region.enumerate(); it; ++it) visit(*it);
    };
}

}  // namespace

// A foreign region's rectangles are appended in enumeration order.
qvBaseRegion& qvListRegion::operator=(qvBaseRegion const& other) {
    if (is_same_region(other)) return *this;
    if (qvListRegion const* list = as_list(other)) return *this = *list;
    if (!empty()) erase();
    if (other.empty()) return *this;
    if (other.simple()) return assign(other.bbox());
    enumerated(other)([this](Rect const& r) { append(r); });
    return *this;
}

qvBaseRegion& qvListRegion::operator+=(qvBaseRegion const& other) {
    if (is_same_region(other)) return *this;
    if (qvListRegion const* list = as_list(other)) return *this += *list;
    if (empty()) return *this = other;
    if (other.empty()) return *this;
    if (other.simple()) return add(other.bbox());
    enumerated(other)([this](Rect const& r) { append(r); });
    return *this;
}

qvBaseRegion& qvListRegion::operator-=(qvBaseRegion const& other) {
    if (is_same_region(other)) return erase();
    if (qvListRegion const* list = as_list(other)) return *this -= *list;
    if (empty() || other.empty()) return *this;
    if (other.simple()) return subtract(other.bbox());
    subtract_each(enumerated(other));
    return *this;
}

qvBaseRegion& qvListRegion::operator*=(qvBaseRegion const& other) {
    if (is_same_region(other)) return *this;
    if (qvListRegion const* list = as_list(other)) return *this *= *list;
    if (other.simple()) return intersect(other.bbox());
    if (empty()) return *this;
    intersect_each(enumerated(other));
    return *this;
}

qvListRegion& qvListRegion::operator+=(qvListRegion const& other) {
    if (&other == this || other.empty()) return *this;
    if (empty()) {
        copy_from(other);
    } else if (other.simple()) {
        add(other.bbox());
    } else {
        prepend_all(other.rects_);
        add_bbox(other.bbox());
    }
    return *this;
}

qvListRegion& qvListRegion::operator-=(qvListRegion const& other) {
    if (&other == this) {
        erase();
    } else if (empty() || other.empty()) {
    } else if (other.simple()) {
        subtract(other.bbox());
    } else {
        subtract_each([&other](auto cut) {
            for (Rect const& b : other.rects_) cut(b);
        });
    }
    return *this;
}

qvListRegion& qvListRegion::operator*=(qvListRegion const& other) {
    if (&other == this) return *this;
    if (other.simple()) {
        intersect(other.bbox());
    } else if (!empty()) {
        intersect_each([&other](auto meet) {
            for (Rect const& b : other.rects_) meet(b);
        });
    }
    return *this;
}

// ---- queries and whole-region changes -------------------------------------------------

qvIndirectRectIterator qvListRegion::enumerate() const {
    if (simple()) return qvIndirectRectIterator(bbox());
    return qvIndirectRectIterator(new InternalIterator(*this));
}

qvBaseRegion& qvListRegion::erase() {
    rects_.clear();
    erase_bbox();
    return *this;
}

// Images holding NaN (0 * inf, a NaN transformation) are dropped.
qvBaseRegion& qvListRegion::translate(qvRestrictedTransformation const& rt) {
    if (empty()) return *this;
    for (auto it = rects_.begin(); it != rects_.end();) {
        *it = qvTransformRect(*it, rt);
        if (qvRegionRectIsVoid(*it))
            it = rects_.erase(it);
        else
            ++it;
    }
    update_bbox();
    return *this;
}

void qvListRegion::update_bbox() {
    Rect box = Rect::make_empty();
    for (Rect const& r : rects_) qvRegionGrowBox(box, r);
    assign_bbox(box);
}

// ---- InternalIterator -------------------------------------------------------------------

qvListRegionInternalIterator::qvListRegionInternalIterator(qvListRegion const& region) noexcept
    : position_(region.rects_.begin()), end_(region.rects_.end()) {
    if (!done()) current_ = *position_;
}
