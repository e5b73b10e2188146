// qvGenericBBoxRegion: the cached box and the shortcuts it allows. Every
// shortcut settles a comparison from the boxes alone where it can, and
// otherwise falls back on the generic test.

#include <orvane/geometry/qvGenericBBoxRegion.hpp>

#include "geometry/qvRegionRectRules.hpp"

qvGenericBBoxRegion& qvGenericBBoxRegion::operator=(qvGenericBBoxRegion const& other) {
    *this = static_cast<qvBaseRegion const&>(other);
    box_ = other.box_;
    return *this;
}

qvBaseRegion& qvGenericBBoxRegion::operator=(qvBaseRegion const& other) {
    return qvGenericRegion::operator=(other);
}

qvBaseRegion& qvGenericBBoxRegion::operator=(Rect const& rect) { return assign(rect); }

qvBaseRegion& qvGenericBBoxRegion::operator=(Point const& point) {
    return assign(point_rect(point));
}

bool qvGenericBBoxRegion::empty() const { return qvRegionRectIsVoid(box_); }

// ---- comparisons --------------------------------------------------------------

bool qvGenericBBoxRegion::operator==(Rect const& rect) const {
    if (empty()) return qvRegionRectIsVoid(rect);
    if (box_ != rect) return false;
    return generic_equal(rect);
}

bool qvGenericBBoxRegion::operator==(qvBaseRegion const& other) const {
    if (box_ != other.bbox()) return false;
    if (empty()) return other.empty();
    return generic_equal(other);
}

bool qvGenericBBoxRegion::operator<(Rect const& rect) const {
    if (empty()) return true;
    if (qvRegionRectIsVoid(rect)) return false;
    return qvRegionRectContains(rect, box_);
}

bool qvGenericBBoxRegion::operator<(qvBaseRegion const& other) const {
    if (empty()) return true;
    if (other.empty()) return false;
    if (!qvRegionRectContains(other.bbox(), box_)) return false;
    return generic_inside(other);
}

bool qvGenericBBoxRegion::operator>(Rect const& rect) const {
    if (qvRegionRectIsVoid(rect)) return true;
    if (empty()) return false;
    if (!qvRegionRectContains(box_, rect)) return false;
    return generic_contains(rect);
}

// ---- the box ------------------------------------------------------------------

void qvGenericBBoxRegion::add_bbox(Rect const& rect) noexcept { qvRegionGrowBox(box_, rect); }

void qvGenericBBoxRegion::intersect_bbox(Rect const& rect) noexcept {
    if (qvRectsOverlap(box_, rect))
        box_ = box_ * rect;
    else
        erase_bbox();
}

// Void rectangles from a foreign enumeration never reach the box.
void qvGenericBBoxRegion::update_bbox() {
    Rect box = Rect::make_empty();
    for (qvIndirectRectIterator it = enumerate(); it; ++it)
        if (!qvRegionRectIsVoid(*it)) qvRegionGrowBox(box, *it);
    box_ = box;
}
