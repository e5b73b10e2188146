// qvGenericRegion: the derived operations, from the primitives alone.

#include <orvane/geometry/qvGenericRegion.hpp>
#include <orvane/geometry/qvRegionIdentities.hpp>

#include "geometry/qvRegionRectRules.hpp"

#include <memory>
#include <utility>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;

// Calls `visit` with every rectangle of `region`, in enumeration order.
template <class Visit>
void for_each_rect(qvBaseRegion const& region, Visit visit) {
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it) visit(*it);
}

// True when removing `cut` from `area` leaves nothing.
template <class Operand>
bool nothing_left(std::unique_ptr<qvBaseRegion> area, Operand const& cut) {
    *area -= cut;
    return area->empty();
}

// Equal when neither difference leaves anything; one temporary serves both.
template <class Operand>
bool equal_by_differences(qvBaseRegion const& region, Operand const& operand) {
    const std::unique_ptr<qvBaseRegion> rest(region.clone());
    *rest -= operand;
    if (!rest->empty()) return false;
    *rest = operand;
    *rest -= region;
    return rest->empty();
}

}  // namespace

qvGenericRegion& qvGenericRegion::operator=(qvGenericRegion const& other) {
    *this = static_cast<qvBaseRegion const&>(other);
    return *this;
}

// ---- self-aliasing ----------------------------------------------------------

bool qvGenericRegion::is_same_region(qvBaseRegion const& other) const {
    if (&other == this) return true;
    // query_interface only reads, but the interface declares it non-const.
    auto& self = const_cast<qvGenericRegion&>(*this);
    auto& that = const_cast<qvBaseRegion&>(other);
    for (qvInterfaceInfo const* id :
         {&qvListRegionIdentity(), &qvGridRegionIdentity(), &qvRectRegionIdentity()}) {
        void* const mine = self.query_interface(*id);
        if (mine != nullptr && that.query_interface(*id) == mine) return true;
    }
    return false;
}

// ---- assignment and the rectangle and point forms ---------------------------

qvBaseRegion& qvGenericRegion::assign(Rect const& rect) {
    const Rect copy = rect;  // may be our own bbox()
    if (!empty()) erase();
    return add(copy);
}

qvBaseRegion& qvGenericRegion::operator=(qvBaseRegion const& other) {
    if (is_same_region(other)) return *this;
    if (!empty()) erase();
    return *this += other;
}

qvBaseRegion& qvGenericRegion::operator=(Rect const& rect) { return assign(rect); }
qvBaseRegion& qvGenericRegion::operator=(Point const& point) { return assign(point_rect(point)); }
qvBaseRegion& qvGenericRegion::operator+=(Rect const& rect) { return add(rect); }
qvBaseRegion& qvGenericRegion::operator+=(Point const& point) { return add(point_rect(point)); }
qvBaseRegion& qvGenericRegion::operator-=(Rect const& rect) { return subtract(rect); }
qvBaseRegion& qvGenericRegion::operator-=(Point const& point) { return subtract(point_rect(point)); }
qvBaseRegion& qvGenericRegion::operator*=(Rect const& rect) { return intersect(rect); }
qvBaseRegion& qvGenericRegion::operator*=(Point const& point) { return intersect(point_rect(point)); }

// ---- region-with-region operations ------------------------------------------

qvBaseRegion& qvGenericRegion::operator+=(qvBaseRegion const& other) {
    if (is_same_region(other) || other.empty()) return *this;
    if (other.simple()) return add(other.bbox());
    for_each_rect(other, [this](Rect const& r) { add(r); });
    return *this;
}

qvBaseRegion& qvGenericRegion::operator-=(qvBaseRegion const& other) {
    if (is_same_region(other)) return erase();
    if (empty() || other.empty()) return *this;
    if (other.simple()) return subtract(other.bbox());
    for_each_rect(other, [this](Rect const& r) { subtract(r); });
    return *this;
}

// Copies this region's rectangles, erases, then adds a ∩ b for every
// overlapping pair, the other region's rectangles in the outer loop.
qvBaseRegion& qvGenericRegion::operator*=(qvBaseRegion const& other) {
    if (is_same_region(other) || empty()) return *this;
    if (other.empty()) return erase();
    std::vector<Rect> mine;
    if (simple())
        mine.push_back(bbox());
    else
        for_each_rect(*this, [&mine](Rect const& r) { mine.push_back(r); });
    erase();
    for_each_rect(other, [&](Rect const& b) {
        for (Rect const& a : mine)
            if (qvRectsOverlap(a, b)) add(a * b);
    });
    return *this;
}

// Builds the image in a new region of the same class, then assigns it; the
// add of the new region drops images holding NaN.
qvBaseRegion& qvGenericRegion::translate(qvRestrictedTransformation const& rt) {
    if (empty()) return *this;
    const std::unique_ptr<qvBaseRegion> image(create());
    if (simple())
        image->add(qvTransformRect(bbox(), rt));
    else
        for_each_rect(*this, [&](Rect const& r) { image->add(qvTransformRect(r, rt)); });
    return *this = *image;
}

qvBaseRegion& qvGenericRegion::normalize() { return *this; }

// ---- comparisons --------------------------------------------------------------

bool qvGenericRegion::operator==(Rect const& rect) const {
    if (empty()) return qvRegionRectIsVoid(rect);
    if (qvRegionRectIsVoid(rect)) return false;
    return generic_equal(rect);
}

bool qvGenericRegion::operator==(qvBaseRegion const& other) const {
    if (empty()) return other.empty();
    if (other.empty()) return false;
    return generic_equal(other);
}

bool qvGenericRegion::operator!=(Rect const& rect) const { return !(*this == rect); }
bool qvGenericRegion::operator!=(qvBaseRegion const& other) const { return !(*this == other); }

bool qvGenericRegion::operator<(Rect const& rect) const {
    if (empty()) return true;
    if (qvRegionRectIsVoid(rect)) return false;
    return nothing_left(std::unique_ptr<qvBaseRegion>(clone()), rect);
}

bool qvGenericRegion::operator<(qvBaseRegion const& other) const {
    if (empty()) return true;
    if (other.empty()) return false;
    return generic_inside(other);
}

bool qvGenericRegion::operator>(Rect const& rect) const {
    if (qvRegionRectIsVoid(rect)) return true;
    if (empty()) return false;
    return generic_contains(rect);
}

bool qvGenericRegion::operator>(qvBaseRegion const& other) const { return other < *this; }

bool qvGenericRegion::generic_equal(Rect const& rect) const { return equal_by_differences(*this, rect); }

bool qvGenericRegion::generic_equal(qvBaseRegion const& other) const {
    return equal_by_differences(*this, other);
}

bool qvGenericRegion::generic_inside(qvBaseRegion const& other) const {
    return nothing_left(std::unique_ptr<qvBaseRegion>(clone()), other);
}

bool qvGenericRegion::generic_contains(Rect const& rect) const {
    std::unique_ptr<qvBaseRegion> area(create());
    *area = rect;
    return nothing_left(std::move(area), *this);
}
