// qvListRegion: the list algorithms.
//
// Every difference and intersection walks the list front to back and puts
// what it keeps back at the front, so a walk never meets its own output.
// Moving a kept rectangle is a splice (no allocation); new pieces are built
// in a local list first and spliced in, so a failed allocation leaves the
// rectangle it was cutting in place. The box is recomputed after every
// difference and intersection, also when an exception passes.

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
// out in ascending (j, i) order and the list is built from the back.
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
    void overlapping(SweepRect const& b, std::vector<std::uint32_t>& found) const {
        const std::size_t from = found.size();
        const int c0 = x_.of(b.x1), c1 = x_.of(b.x2), r0 = y_.of(b.y1), r1 = y_.of(b.y2);
        for (int row = r0; row <= r1; ++row)
            for (int col = c0; col <= c1; ++col) {
                // Beyond b's first column only rectangles that start in this
                // column have their pair's corner here; likewise for rows.
                const std::size_t key = cell_of(col, row) * groups;
                const std::size_t lo = row == r0 ? 0 : 1;
                const std::size_t hi = col == c0 ? (row == r0 ? 4 : 3) : 2;
                for (std::uint32_t k = start_[key + lo]; k < start_[key + hi]; ++k)
                    if (qvRectsOverlap(filed_[k].rect, b)) found.push_back(filed_[k].index);
            }
        // Runs are mostly a handful long, where an insertion sort wins.
        if (found.size() - from > 16) {
            std::sort(found.begin() + static_cast<std::ptrdiff_t>(from), found.end());
            return;
        }
        for (std::size_t k = from + 1; k < found.size(); ++k) {
            const std::uint32_t v = found[k];
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
        for_each_filing([this](std::size_t key, std::uint32_t) { ++start_[key + 1]; });
        for (std::size_t k = 1; k < start_.size(); ++k) start_[k] += start_[k - 1];
        filed_.resize(start_.back());
        std::vector<std::uint32_t> next(start_.begin(), start_.end() - 1);
        for_each_filing(
            [&](std::size_t key, std::uint32_t i) { filed_[next[key]++] = Filed{ours_[i], i}; });
    }

    template <class Visit>
    void for_each_filing(Visit visit) const {
        for (std::size_t i = 0; i < ours_.size(); ++i) {
            SweepRect const& a = ours_[i];
            const int c0 = x_.of(a.x1), c1 = x_.of(a.x2), r0 = y_.of(a.y1), r1 = y_.of(a.y2);
            for (int row = r0; row <= r1; ++row)
                for (int col = c0; col <= c1; ++col) {
                    const std::size_t group = col == c0 ? (row == r0 ? 1 : 0) : (row == r0 ? 2 : 3);
                    visit(cell_of(col, row) * groups + group, static_cast<std::uint32_t>(i));
                }
        }
    }

    std::vector<SweepRect> const& ours_;
    GridAxis x_, y_;
    // A copy of the rectangle beside its index keeps a cell's scan in one
    // stretch of memory.
    struct Filed {
        SweepRect rect;
        std::uint32_t index;
    };
    // Group g of cell c is filed_[start_[4c + g] .. start_[4c + g + 1]).
    std::vector<std::uint32_t> start_;
    std::vector<Filed> filed_;
};

}  // namespace

// Our old nodes are reused for the pieces, and the surplus is allocated
// before anything changes: a failed allocation leaves the region as it was.
void qvListRegion::intersect_with(std::vector<Rect> const& others) {
    const std::vector<Rect> ours(rects_.begin(), rects_.end());
    std::vector<std::uint32_t> found;      // i of every pair, in (j, i) order
    std::vector<std::uint32_t> found_end;  // where the pairs of each j end
    found_end.reserve(others.size());
    {
        const OverlapGrid grid(ours, others);
        for (Rect const& b : others) {
            grid.overlapping(b, found);
            found_end.push_back(static_cast<std::uint32_t>(found.size()));
        }
    }
    List result(found.size() > rects_.size() ? found.size() - rects_.size() : 0);
    if (found.size() >= rects_.size())
        result.splice(result.begin(), rects_);
    else
        result.splice(result.begin(), rects_, rects_.begin(),
                      std::next(rects_.begin(), static_cast<std::ptrdiff_t>(found.size())));
    auto out = result.begin();
    for (std::size_t j = others.size(); j-- > 0;) {
        const std::uint32_t first = j == 0 ? 0 : found_end[j - 1];
        for (std::uint32_t k = found_end[j]; k-- > first;) *out++ = ours[found[k]] * others[j];
    }
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
        intersect_with(std::vector<Rect>(other.rects_.begin(), other.rects_.end()));
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
