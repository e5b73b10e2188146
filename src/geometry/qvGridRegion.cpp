// qvGridRegion: the region operations on the grid, and the cache of box and
// simple flag.
//
// Cache discipline: every grid change marks the cache stale first, so an
// exception from the grid (allocation) leaves a cache that is rebuilt from
// whatever the grid then holds. Only add, and a union with a grid whose box
// is known, bring a current cache forward by themselves; everything else
// leaves it stale for settle(), which the queries call. The shortcuts that
// read the box (no overlap, containment) are taken only while it is
// current: they never change a result, only save the grid walk.
//
// settle() is const and rebuilds the cache through a const_cast. That is
// sound because only non-const operations make the cache stale and every
// constructor ends with it current, so an object defined const is never
// rebuilt.

#include <orvane/geometry/qvGridRegion.hpp>

#include "geometry/qvRegionRectRules.hpp"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;

// Holds area: both extents positive. False for void rectangles (inverted or
// NaN) and for zero-area ones, which a grid never stores.
bool holds_area(Rect const& r) noexcept { return r.x1 < r.x2 && r.y1 < r.y2; }

// A foreign region's area collected into a grid. The rectangles are taken
// in batches, each built into a grid by one sweep (qvIRGrid::assign_union),
// and the batches' grids are then united pairwise, level by level, so each
// rectangle takes part in about log(n / batch) unions of grids near its own
// size rather than in one union with a grid that has grown to hold all the
// others (which made collecting quadratic). The batch bounds the sweep's
// own worst case, rectangles that all span the same keys.
qvIRGrid collected(qvBaseRegion const& region) {
    constexpr std::size_t grid_collect_batch = 4096;
    std::vector<qvIRGrid> level;
    std::vector<Rect> batch;
    const auto flush = [&] {
        level.emplace_back();
        level.back().assign_union(batch);
        batch.clear();
    };
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it) {
        batch.push_back(*it);
        if (batch.size() == grid_collect_batch) flush();
    }
    if (!batch.empty() || level.empty()) flush();
    while (level.size() > 1) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < level.size(); i += 2) {
            if (i + 1 < level.size())
                level[i].add(level[i + 1]);
            if (kept != i)
                level[kept] = std::move(level[i]);
            ++kept;
        }
        level.resize(kept);
    }
    return std::move(level.front());
}

}  // namespace

// ---- construction and copying ---------------------------------------------------

// The box comes from the grid: a rectangle holding no area leaves the
// region empty, with the empty box, and simple.
qvGridRegion::qvGridRegion(Rect const& rect) : simple_(true) { add(rect); }

qvGridRegion::qvGridRegion(qvBaseRegion const& other) {
    *this = other;
    settle();
}

qvGridRegion::qvGridRegion(qvGridRegion const& other)
    : qvGenericBBoxRegion(other), simple_(other.simple_), stale_(other.stale_), grid_(other.grid_) {
    settle();
}

qvGridRegion::qvGridRegion(qvGridRegion&& other) noexcept : qvGenericBBoxRegion(other) {
    take_state(other);
    settle();
}

qvGridRegion& qvGridRegion::operator=(qvGridRegion const& other) {
    if (&other != this) copy_state(other);
    return *this;
}

qvGridRegion& qvGridRegion::operator=(qvGridRegion&& other) noexcept {
    if (&other != this) take_state(other);
    return *this;
}

// The grid is copied first: if that fails, nothing has changed.
void qvGridRegion::copy_state(qvGridRegion const& other) {
    qvIRGrid copy(other.grid_);
    grid_ = std::move(copy);
    assign_bbox(other.cached_box());
    simple_ = other.simple_;
    stale_ = other.stale_;
}

void qvGridRegion::take_state(qvGridRegion& other) noexcept {
    grid_ = std::move(other.grid_);
    assign_bbox(other.cached_box());
    simple_ = other.simple_;
    stale_ = other.stale_;
    other.erase();
}

void* qvGridRegion::query_interface(qvInterfaceInfo const& info) {
    return &info == &qvGridRegionIdentity() ? this : nullptr;
}

qvGridRegion const* qvGridRegion::as_grid(qvBaseRegion const& other) {
    // query_interface only reads, but the interface declares it non-const.
    return static_cast<qvGridRegion const*>(
        const_cast<qvBaseRegion&>(other).query_interface(qvGridRegionIdentity()));
}

qvBaseRegion* qvGridRegion::clone() const { return new qvGridRegion(*this); }
qvBaseRegion* qvGridRegion::create() const { return new qvGridRegion; }

// ---- the cache ------------------------------------------------------------------------

void qvGridRegion::settle() const {
    if (stale_) const_cast<qvGridRegion*>(this)->update_bbox();
}

// A canonical grid holds one rectangle exactly when it has two rows (the
// band and its top) and the band one interval.
bool qvGridRegion::grid_is_one_rectangle() const noexcept {
    return grid_.row_count() == 2 && grid_.row(0).strip.size() == 1;
}

// Leading empty rows are skipped; the box runs from the first non-empty
// row's key to the last row's key, across the widest intervals; the region
// is simple when all rows together hold at most one interval.
void qvGridRegion::update_bbox() {
    const std::size_t rows = grid_.row_count();
    std::size_t first = 0;
    while (first < rows && grid_.row(first).strip.empty()) ++first;
    simple_ = true;
    stale_ = false;
    if (first == rows) {
        erase_bbox();
        return;
    }
    double x_min = grid_.row(first).strip.front().start;
    double x_max = grid_.row(first).strip.back().end;
    std::size_t intervals = 0;
    for (std::size_t i = first; i < rows; ++i) {
        const auto strip = grid_.row(i).strip;
        if (strip.empty()) continue;
        x_min = std::min(x_min, strip.front().start);
        x_max = std::max(x_max, strip.back().end);
        intervals += strip.size();
    }
    simple_ = intervals <= 1;
    assign_bbox(Rect(x_min, grid_.row(first).key, x_max, grid_.row(rows - 1).key));
}

qvMathRectOf<double> const& qvGridRegion::bbox() const {
    settle();
    return cached_box();
}

// Only a current box can tell; an unknown other box (null) tells nothing.
bool qvGridRegion::surely_apart(Rect const* other_box) const noexcept {
    return !stale_ && other_box != nullptr && !qvRectsOverlap(cached_box(), *other_box);
}

bool qvGridRegion::simple() const {
    settle();
    return simple_;
}

// ---- the rectangle primitives ------------------------------------------------------

qvBaseRegion& qvGridRegion::add(Rect const& rect) {
    const Rect r = rect;  // may be our own bbox()
    if (!holds_area(r)) return *this;
    const bool current = !stale_;
    stale_ = true;
    grid_.add(r);
    if (current) {
        add_bbox(r);
        simple_ = grid_is_one_rectangle();
        stale_ = false;
    }
    return *this;
}

qvBaseRegion& qvGridRegion::subtract(Rect const& rect) {
    const Rect r = rect;
    if (!holds_area(r) || empty() || surely_apart(&r)) return *this;
    if (!stale_ && qvRegionRectContains(r, cached_box())) return erase();
    stale_ = true;
    grid_.sub(r);
    return *this;
}

// A rectangle holding no area (void, NaN or zero extent) empties the region.
qvBaseRegion& qvGridRegion::intersect(Rect const& rect) {
    const Rect r = rect;
    if (empty()) return *this;
    if (!holds_area(r) || surely_apart(&r)) return erase();
    if (!stale_ && qvRegionRectContains(r, cached_box())) return *this;
    stale_ = true;
    grid_.mul(r);
    return *this;
}

// ---- grid with grid -------------------------------------------------------------------

void qvGridRegion::unite(qvIRGrid const& other, Rect const* other_box) {
    if (other.empty()) return;
    const bool was_empty = grid_.empty();
    const bool current = other_box != nullptr && (was_empty || !stale_);
    stale_ = true;
    if (was_empty)
        grid_ = other;
    else
        grid_.add(other);
    if (!current) return;
    // An empty box is replaced, never grown: (1, 1, 0, 0) is no corner.
    if (was_empty)
        assign_bbox(*other_box);
    else
        add_bbox(*other_box);
    simple_ = grid_is_one_rectangle();
    stale_ = false;
}

void qvGridRegion::unite(qvIRGrid&& other) {
    if (other.empty()) return;
    stale_ = true;
    if (grid_.empty())
        grid_ = std::move(other);
    else
        grid_.add(other);
}

void qvGridRegion::cut(qvIRGrid const& other, Rect const* other_box) {
    if (grid_.empty() || other.empty() || surely_apart(other_box)) return;
    stale_ = true;
    grid_.sub(other);
}

void qvGridRegion::meet(qvIRGrid const& other, Rect const* other_box) {
    if (grid_.empty()) return;
    if (other.empty() || surely_apart(other_box)) {
        erase();
        return;
    }
    stale_ = true;
    grid_.mul(other);
}

// ---- region-with-region operations ---------------------------------------------------
//
// Three roads, in this order: a simple other is its box; a grid region
// (also behind a handle) is combined grid with grid; any other region is
// first collected into a temporary grid, whose own box counts (never the
// other's bbox(), which may take in rectangles holding no area).

qvBaseRegion& qvGridRegion::operator=(qvBaseRegion const& other) {
    if (is_same_region(other)) return *this;
    if (qvGridRegion const* grid = as_grid(other)) {
        copy_state(*grid);
        return *this;
    }
    if (!empty()) erase();
    return *this += other;
}

qvBaseRegion& qvGridRegion::operator+=(qvBaseRegion const& other) {
    if (is_same_region(other)) return *this;
    if (other.simple()) return add(other.bbox());
    if (qvGridRegion const* grid = as_grid(other))
        unite(grid->grid_, &grid->bbox());
    else
        unite(collected(other));
    return *this;
}

qvBaseRegion& qvGridRegion::operator-=(qvBaseRegion const& other) {
    if (is_same_region(other)) return erase();
    if (other.simple()) return subtract(other.bbox());
    if (qvGridRegion const* grid = as_grid(other))
        cut(grid->grid_, &grid->bbox());
    else if (!empty())
        cut(collected(other), nullptr);
    return *this;
}

qvBaseRegion& qvGridRegion::operator*=(qvBaseRegion const& other) {
    if (is_same_region(other)) return *this;
    if (other.simple()) return intersect(other.bbox());
    if (qvGridRegion const* grid = as_grid(other))
        meet(grid->grid_, &grid->bbox());
    else if (!empty())
        meet(collected(other), nullptr);
    return *this;
}

// ---- queries and whole-region changes -------------------------------------------------

qvIndirectRectIterator qvGridRegion::enumerate() const {
    settle();
    if (simple_) return qvIndirectRectIterator(cached_box());
    return qvIndirectRectIterator(new qvGridRegionInternalIterator(*this));
}

qvBaseRegion& qvGridRegion::erase() {
    grid_.erase();
    erase_bbox();
    simple_ = true;
    stale_ = false;
    return *this;
}

// A plain move shifts the grid in place; when rounding merged or dropped
// nothing, the box moves by the same offsets exactly (the move is monotone,
// so the least start moves to the least start) and the simple flag stays.
// Scaled and mirrored maps rebuild the grid. An image holding no area
// leaves the region as assigning a new region would: empty, with simple()
// false.
qvBaseRegion& qvGridRegion::translate(qvRestrictedTransformation const& rt) {
    if (empty()) return *this;
    const qvRTComponent x = rt.get_x(), y = rt.get_y();
    if (x.scale == 1 && y.scale == 1) {
        const bool whole = grid_.shift(x.offset, y.offset);
        if (whole) {
            if (!stale_) {
                Rect const& box = cached_box();
                assign_bbox(Rect(box.x1 + x.offset, box.y1 + y.offset, box.x2 + x.offset, box.y2 + y.offset));
            }
            return *this;
        }
    } else {
        qvIRGrid image = grid_.mapped(x, y);
        grid_ = std::move(image);
    }
    if (grid_.empty()) {
        erase_bbox();
        simple_ = false;
        stale_ = false;
    } else {
        stale_ = true;
    }
    return *this;
}

qvBaseRegion& qvGridRegion::normalize() {
    Rect box;
    grid_.optimize(box);
    assign_bbox(box);
    simple_ = grid_.empty() || grid_is_one_rectangle();
    stale_ = false;
    return *this;
}

// ---- comparisons --------------------------------------------------------------------------

bool qvGridRegion::operator==(Rect const& rect) const {
    if (empty()) return qvRegionRectIsVoid(rect);
    if (qvRegionRectIsVoid(rect) || !grid_is_one_rectangle()) return false;
    const qvIRRow band = grid_.row(0);
    return band.key == rect.y1 && grid_.row(1).key == rect.y2 && band.strip.front().start == rect.x1 &&
           band.strip.front().end == rect.x2;
}

// Canonical grids are equal exactly when their sets are; equal grids have
// equal boxes, so the boxes only serve as a quick rejection.
bool qvGridRegion::operator==(qvGridRegion const& other) const {
    if (&other == this) return true;
    if (!stale_ && !other.stale_ && cached_box() != other.cached_box()) return false;
    return grid_ == other.grid_;
}

bool qvGridRegion::operator==(qvBaseRegion const& other) const {
    if (qvGridRegion const* grid = as_grid(other)) return *this == *grid;
    settle();
    return qvGenericBBoxRegion::operator==(other);
}

bool qvGridRegion::operator!=(qvBaseRegion const& other) const { return !(*this == other); }

bool qvGridRegion::operator<(Rect const& rect) const {
    settle();
    return qvGenericBBoxRegion::operator<(rect);
}

bool qvGridRegion::operator<(qvBaseRegion const& other) const {
    settle();
    return qvGenericBBoxRegion::operator<(other);
}

bool qvGridRegion::operator>(Rect const& rect) const {
    settle();
    return qvGenericBBoxRegion::operator>(rect);
}
