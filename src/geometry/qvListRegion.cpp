// qvListRegion: the list algorithms.
//
// The list is stored back to front (rects_.back() is its front). Every
// difference and intersection walks the list front to back and puts what
// it keeps back at the front, so the kept rectangles come out in reverse
// walk order: in storage, in the order the walk meets them, each cut
// rectangle's pieces in the order they are made. A difference of one
// rectangle writes the new list into scratch storage and swaps it in, so a
// failed allocation leaves the list as it was before that rectangle. The
// box is recomputed after every difference and intersection, also when an
// exception passes.

#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvRegionIdentities.hpp>

#include "geometry/qvRegionRectRules.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

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
    List copy(other.rects_);   // a failed copy leaves the list as it was
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
    for (auto it = rects_.rbegin(); it != rects_.rend() && looked < 3; ++it, ++looked)
        if (qvRegionRectContains(*it, r)) return *this;
    rects_.push_back(r);
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
    // Walked front to back (storage backwards) and kept in reverse walk
    // order: the survivors in storage order, reversed.
    std::size_t kept = 0;
    for (Rect const& a : rects_)
        if (qvRectsOverlap(a, b)) rects_[kept++] = a * b;
    rects_.shrink_to(kept);
    std::reverse(rects_.begin(), rects_.end());
    update_bbox();
    return *this;
}

// Replaces every rectangle a by the pieces of a outside b: with c = a ∩ b,
// the band above c, the band below, the side left of c and the side right
// of c, each only where c leaves something; the sides span a's full height.
// The pieces go to the front in that order, so the last ends up first.
// `scratch` is storage to build the new list in; it takes the old one.
void qvListRegion::cut_out(Rect const& b, List& scratch) {
    scratch.clear();
    scratch.reserve(rects_.size() + 3);
    for (auto it = rects_.rbegin(); it != rects_.rend(); ++it) {
        const Rect a = *it;
        if (!qvRectsOverlap(a, b)) {
            scratch.push_back(a);
            continue;
        }
        const Rect c = a * b;
        if (c.y2 != a.y2) scratch.push_back(Rect(a.x1, c.y2, a.x2, a.y2));
        if (c.y1 != a.y1) scratch.push_back(Rect(a.x1, a.y1, a.x2, c.y1));
        if (c.x1 != a.x1) scratch.push_back(Rect(a.x1, a.y1, c.x1, a.y2));
        if (c.x2 != a.x2) scratch.push_back(Rect(c.x2, a.y1, a.x2, a.y2));
    }
    rects_.swap(scratch);
}

// `for_each(cut)` calls cut(b) for every rectangle b to remove, in order.
template <class ForEachRect>
void qvListRegion::subtract_each(ForEachRect for_each) {
    List scratch;
    try {
        for_each([this, &scratch](Rect const& b) {
            if (!qvRegionRectIsVoid(b)) cut_out(b, scratch);
        });
    } catch (...) {
        update_bbox();
        throw;
    }
    update_bbox();
}

// ---- intersection of two regions ----------------------------------------------------
//
// The result is what the obvious double loop gives: for every rectangle b_j
// of the other region (outer loop) and every rectangle a_i of the list
// (inner loop), a_i ∩ b_j inserted at the front when the two overlap. So
// the new list holds the overlapping pairs in descending (j, i) order.
//
// Instead of testing all n*m pairs, our rectangles are filed once in a
// uniform grid whose cells are about one average rectangle in size (at most
// as many cells as rectangles), each in every cell it reaches. Then every
// b_j, in order, tests only the rectangles filed in the cells it reaches. A
// pair is reported only in the cell holding the corner (larger left edge,
// larger top edge) of its intersection, which both rectangles reach: once.
// Beyond b's first row and column that corner can only be in the cell where
// a starts, so there b reads only the rectangles that start in the cell.
// The i found for one j are few and sorted on the spot, so the pairs come
// out in ascending (j, i) order, which is the storage order (back to
// front) of the new list.
//
// Cost: the rectangles of both sides, the cells they reach, the pairs that
// share a cell, and the pieces returned. Rectangles far larger than the
// average reach many cells; only many of them overlapping one another make
// it quadratic, as the result then is.

namespace {

using SweepRect = qvMathRectOf<double>;

// One axis of the grid: `count` equal cells from `low`; coordinates outside
// (infinities included) fall into the edge cells.
class GridAxis {
public:
    GridAxis() = default;
    GridAxis(double low, double high, double mean, double most) {
        const double span = high - low;
        if (!(span > 0) || !std::isfinite(span)) return;
        const double wanted = mean > 0 ? std::floor(span / mean) : most;
        count_ = qvTruncToInt(std::clamp(wanted, 1.0, std::max(most, 1.0)));
        low_ = low;
        scale_ = count_ / span;
    }
    int count() const noexcept { return count_; }
    int of(double v) const noexcept {
        const double t = (v - low_) * scale_;
        if (!(t > 0)) return 0;
        if (t >= count_) return count_ - 1;
        return qvTruncToInt(t);
    }

private:
    double low_ = 0, scale_ = 0;
    int count_ = 1;
};

class OverlapGrid {
public:
    OverlapGrid(std::vector<SweepRect> const& ours, std::vector<SweepRect> const& others)
        : ours_(ours) {
        measure(ours, others);
        file();
    }

    // Appends to `found` every i whose rectangle overlaps b, ascending.
    void overlapping(SweepRect const& b, std::vector<std::size_t>& found) const {
        const std::size_t from = found.size();
        const int c0 = x_.of(b.x1), c1 = x_.of(b.x2), r0 = y_.of(b.y1), r1 = y_.of(b.y2);
        for (int row = r0; row <= r1; ++row)
            for (int col = c0; col <= c1; ++col) {
                // Beyond b's first column only rectangles that start in this
                // column have their pair's corner here; likewise for rows.
                const std::size_t key = cell_of(col, row) * groups;
                const std::size_t lo = row == r0 ? 0 : 1;
                const std::size_t hi = col == c0 ? (row == r0 ? 4 : 3) : 2;
                for (std::size_t k = start_[key + lo]; k < start_[key + hi]; ++k)
                    if (qvRectsOverlap(filed_[k].rect, b)) found.push_back(filed_[k].index);
            }
        // Runs are mostly a handful long, where an insertion sort wins.
        if (found.size() - from > 16) {
            std::sort(found.begin() + static_cast<std::ptrdiff_t>(from), found.end());
            return;
        }
        for (std::size_t k = from + 1; k < found.size(); ++k) {
            const std::size_t v = found[k];
            std::size_t at = k;
            for (; at > from && found[at - 1] > v; --at) found[at] = found[at - 1];
            found[at] = v;
        }
    }

private:
    std::size_t cell_of(int col, int row) const noexcept {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(x_.count()) +
               static_cast<std::size_t>(col);
    }

    // Cells of about the average rectangle's size over our finite extent,
    // no more cells than rectangles.
    void measure(std::vector<SweepRect> const& ours, std::vector<SweepRect> const& others) {
        const double inf = std::numeric_limits<double>::infinity();
        double x1 = inf, y1 = inf, x2 = -inf, y2 = -inf, widths = 0, heights = 0;
        std::size_t counted = 0;
        for (SweepRect const& r : ours) {
            if (std::isfinite(r.x1)) x1 = std::min(x1, r.x1);
            if (std::isfinite(r.y1)) y1 = std::min(y1, r.y1);
            if (std::isfinite(r.x2)) x2 = std::max(x2, r.x2);
            if (std::isfinite(r.y2)) y2 = std::max(y2, r.y2);
        }
        for (auto const* side : {&ours, &others})
            for (SweepRect const& r : *side)
                if (std::isfinite(r.x2 - r.x1) && std::isfinite(r.y2 - r.y1)) {
                    widths += r.x2 - r.x1;
                    heights += r.y2 - r.y1;
                    ++counted;
                }
        if (counted == 0) return;
        const double most = std::floor(std::sqrt(static_cast<double>(ours.size() + others.size())));
        x_ = GridAxis(x1, x2, widths / static_cast<double>(counted), most);
        y_ = GridAxis(y1, y2, heights / static_cast<double>(counted), most);
    }

    // Every rectangle into every cell it reaches, as one array per cell in
    // four groups by where the rectangle starts:
    //   0  in this column, in an earlier row     2  in an earlier column, in this row
    //   1  in this column and row                3  in an earlier column and row
    // so that each test above reads one stretch of a cell.
    static constexpr std::size_t groups = 4;

    void file() {
        start_.assign(static_cast<std::size_t>(x_.count()) * static_cast<std::size_t>(y_.count()) * groups + 1, 0);
        for_each_filing([this](std::size_t key, std::size_t) { ++start_[key + 1]; });
        for (std::size_t k = 1; k < start_.size(); ++k) start_[k] += start_[k - 1];
        filed_.resize(start_.back());
        std::vector<std::size_t> next(start_.begin(), start_.end() - 1);
        for_each_filing([&](std::size_t key, std::size_t i) { filed_[next[key]++] = Filed{ours_[i], i}; });
    }

    template <class Visit>
    void for_each_filing(Visit visit) const {
        for (std::size_t i = 0; i < ours_.size(); ++i) {
            SweepRect const& a = ours_[i];
            const int c0 = x_.of(a.x1), c1 = x_.of(a.x2), r0 = y_.of(a.y1), r1 = y_.of(a.y2);
            for (int row = r0; row <= r1; ++row)
                for (int col = c0; col <= c1; ++col) {
                    const std::size_t group = col == c0 ? (row == r0 ? 1 : 0) : (row == r0 ? 2 : 3);
                    visit(cell_of(col, row) * groups + group, i);
                }
        }
    }

    std::vector<SweepRect> const& ours_;
    GridAxis x_, y_;
    // A copy of the rectangle beside its index keeps a cell's scan in one
    // stretch of memory.
    struct Filed {
        SweepRect rect;
        std::size_t index;
    };
    // Group g of cell c is filed_[start_[4c + g] .. start_[4c + g + 1]).
    // Counts are sizes: a few huge rectangles among millions file more
    // times than 32 bits count.
    std::vector<std::size_t> start_;
    std::vector<Filed> filed_;
};

}  // namespace

// `others` in list order (front first). The new list is built aside and
// swapped in: a failed allocation leaves the region as it was.
void qvListRegion::intersect_with(std::vector<Rect> const& others) {
    // Few pairs: the double loop itself, with no grid to build.
    constexpr std::size_t few_pairs = 1024;
    if (rects_.size() <= few_pairs / std::max<std::size_t>(others.size(), 1)) {
        List result;
        for (Rect const& b : others)
            for (auto a = rects_.rbegin(); a != rects_.rend(); ++a)
                if (qvRectsOverlap(*a, b)) result.push_back(*a * b);
        rects_.swap(result);
        update_bbox();
        return;
    }
    const std::vector<Rect> ours(rects_.rbegin(), rects_.rend());
    std::vector<std::size_t> found;      // i of every pair, in (j, i) order
    std::vector<std::size_t> found_end;  // where the pairs of each j end
    found_end.reserve(others.size());
    {
        const OverlapGrid grid(ours, others);
        for (Rect const& b : others) {
            grid.overlapping(b, found);
            found_end.push_back(found.size());
        }
    }
    List result;
    result.reserve(found.size());
    std::size_t first = 0;
    for (std::size_t j = 0; j < others.size(); ++j) {
        for (std::size_t k = first; k < found_end[j]; ++k) result.push_back(ours[found[k]] * others[j]);
        first = found_end[j];
    }
    rects_.swap(result);
    update_bbox();
}

// `for_each(visit)` calls visit(r) for every rectangle to put at the back
// of the list, in order; void ones are skipped. The back of the list is the
// start of the storage, so they are gathered first and put there in one
// move, reversed.
template <class ForEachRect>
void qvListRegion::append_all(ForEachRect for_each) {
    List tail;
    for_each([&tail](Rect const& r) {
        if (!qvRegionRectIsVoid(r)) tail.push_back(r);
    });
    rects_.insert_front(tail.rbegin(), tail.rend());
    for (Rect const& r : tail) add_bbox(r);
}

// The other list's rectangles go to the front one by one, so they end up
// in reverse order before ours: in storage, the other's storage reversed,
// after ours.
void qvListRegion::prepend_all(List const& others) {
    rects_.append(others.rbegin(), others.rend());
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
    append_all(enumerated(other));
    return *this;
}

qvBaseRegion& qvListRegion::operator+=(qvBaseRegion const& other) {
    if (is_same_region(other)) return *this;
    if (qvListRegion const* list = as_list(other)) return *this += *list;
    if (empty()) return *this = other;
    if (other.empty()) return *this;
    if (other.simple()) return add(other.bbox());
    append_all(enumerated(other));
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
    std::vector<Rect> others;
    enumerated(other)([&others](Rect const& r) { others.push_back(r); });
    intersect_with(others);
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
            for (auto it = other.rects_.rbegin(); it != other.rects_.rend(); ++it) cut(*it);
        });
    }
    return *this;
}

qvListRegion& qvListRegion::operator*=(qvListRegion const& other) {
    if (&other == this) return *this;
    if (other.simple()) {
        intersect(other.bbox());
    } else if (!empty()) {
        intersect_with(std::vector<Rect>(other.rects_.rbegin(), other.rects_.rend()));
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
    std::size_t kept = 0;
    for (Rect const& r : rects_) {
        const Rect image = qvTransformRect(r, rt);
        if (!qvRegionRectIsVoid(image)) rects_[kept++] = image;
    }
    rects_.shrink_to(kept);
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
    : position_(region.rects_.rbegin()), end_(region.rects_.rend()) {
    if (!done()) current_ = *position_;
}
