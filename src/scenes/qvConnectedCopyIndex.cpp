// qvConnectedCopyIndex: connected copies by box (see qvConnectedCopyIndex.hpp).
//
// A query walks a layer's tree from the root, testing every entry of a
// cell it reaches and descending into the children whose edges the area
// meets; its cost is the cells and copies near the area, plus the root's
// straddlers and the copies being edited. The finds are sorted by order
// key at the end, which gives the list's order without walking the list.
// Placing waits for a query: building a scene through typed handles enters,
// edits and removes every copy once, and placing each one on the way (with
// its cells made and freed again) was half of such a build.
#include "scenes/qvConnectedCopyIndex.hpp"

#include <orvane/core/qvAssertionError.hpp>

#include "scenes/qvQuadTreeCells.hpp"
#include "scenes/qvRecordArea.hpp"
#include "scenes/qvShapeNodeTable.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace {

std::size_t copy_index_at(std::int32_t index) noexcept { return static_cast<std::size_t>(index); }

// 2^-level for every level a cell can have: exact powers of two.
constexpr auto copy_cell_scales = [] {
    std::array<double, qvQuadTreeDeepest + 1> scales{};
    double s = 1.0;
    for (double& scale : scales) {
        scale = s;
        s /= 2;
    }
    return scales;
}();

// The edge k of the cells of `level` on one axis of the bounds [lo, hi]:
// one formula for placing and pruning. k / 2^level is exact (a product by
// an exact power of two, what ldexp gives without its call), so a child's
// outer edges are its parent's to the bit.
double copy_cell_edge(double lo, double hi, std::int32_t k, std::int32_t level) noexcept {
    return lo + (hi - lo) * (static_cast<double>(k) * copy_cell_scales[static_cast<std::size_t>(level)]);
}

}  // namespace

// ---------------------------------------------------------------------------
// Entering and leaving

void qvConnectedCopyIndex::enter(std::int32_t slot, int layer, qvMathRectOf<double> const& bounds) {
    QV_ASSERT(slot > 0 && layer >= 0);
    // Everything that can fail first: the entry's and the layer's room.
    if (entries_.size() <= copy_index_at(slot)) entries_.resize(copy_index_at(slot) + 1);
    make_room(layer);
    leave(slot);
    Entry& e = entries_[copy_index_at(slot)];
    Layer& l = layers_[static_cast<std::size_t>(layer)];
    e.layer = layer;
    e.order = ++l.back;
    e.editing = false;
    ++l.size;
    link_pending(slot, bounds);
}

void qvConnectedCopyIndex::leave(std::int32_t slot) noexcept {
    if (slot <= 0 || copy_index_at(slot) >= entries_.size() || entries_[copy_index_at(slot)].layer < 0) return;
    unplace(slot);
    Entry& e = entries_[copy_index_at(slot)];
    --layers_[copy_index_at(e.layer)].size;
    e = Entry{};
    forget_stored(slot);
}

void qvConnectedCopyIndex::make_room(int layer) {
    if (layers_.size() <= static_cast<std::size_t>(layer)) layers_.resize(static_cast<std::size_t>(layer) + 1);
}

void qvConnectedCopyIndex::move(std::int32_t slot, int layer, qvMathRectOf<double> const& bounds) noexcept {
    if (slot <= 0 || copy_index_at(slot) >= entries_.size() || entries_[copy_index_at(slot)].layer < 0) return;
    QV_ASSERT_TEXT(static_cast<std::size_t>(layer) < layers_.size(), "make_room(layer)");
    unplace(slot);
    Entry& e = entries_[copy_index_at(slot)];
    --layers_[copy_index_at(e.layer)].size;
    Layer& l = layers_[static_cast<std::size_t>(layer)];
    e.layer = layer;
    e.order = --l.front;
    ++l.size;
    if (e.editing)
        link_unplaced(slot);
    else
        link_pending(slot, bounds);
}

void qvConnectedCopyIndex::begin_edit(std::int32_t slot) noexcept {
    if (slot <= 0 || copy_index_at(slot) >= entries_.size()) return;
    Entry& e = entries_[copy_index_at(slot)];
    if (e.layer < 0 || e.editing) return;
    unplace(slot);
    e.editing = true;
    link_unplaced(slot);
}

void qvConnectedCopyIndex::end_edit(std::int32_t slot, qvMathRectOf<double> const& bounds) noexcept {
    if (slot <= 0 || copy_index_at(slot) >= entries_.size()) return;
    Entry& e = entries_[copy_index_at(slot)];
    if (e.layer < 0) return;
    // Also for a copy that was not unplaced (made inside the guard's scope
    // by a nested guard): its box is taken afresh either way.
    unplace(slot);
    e.editing = false;
    link_pending(slot, bounds);
}

void qvConnectedCopyIndex::clear() noexcept {
    entries_.clear();
    stored_.clear();
    layers_.clear();
    cells_.clear();
    first_free_cell_ = -1;
    free_cells_ = 0;
    std::vector<std::pair<std::int64_t, qvShapeBase*>>().swap(hits_);
}

// ---------------------------------------------------------------------------
// The stored records copies were made from

void qvConnectedCopyIndex::keep_stored(std::int32_t slot, qvShapeBase const& stored) noexcept {
    if (slot <= 0 || stored.size < static_cast<std::int32_t>(sizeof(qvShapeBase))) return;
    auto const* const bytes = reinterpret_cast<unsigned char const*>(&stored);
    try {
        if (stored_.size() <= copy_index_at(slot)) stored_.resize(copy_index_at(slot) + 1);
        stored_[copy_index_at(slot)].assign(bytes, bytes + stored.size);
    } catch (std::bad_alloc const&) {
        forget_stored(slot);
    }
}

bool qvConnectedCopyIndex::as_stored(std::int32_t slot, qvShapeBase const& copy) const noexcept {
    if (slot <= 0 || copy_index_at(slot) >= stored_.size()) return false;
    std::vector<unsigned char> const& kept = stored_[copy_index_at(slot)];
    return !kept.empty() && static_cast<std::size_t>(copy.size) == kept.size() &&
           std::memcmp(&copy, kept.data(), kept.size()) == 0;
}

void qvConnectedCopyIndex::forget_stored(std::int32_t slot) noexcept {
    if (slot > 0 && copy_index_at(slot) < stored_.size()) stored_[copy_index_at(slot)].clear();
}

void qvConnectedCopyIndex::keep_unclaimed(std::int32_t slot) noexcept {
    if (slot <= 0 || copy_index_at(slot) >= entries_.size() || entries_[copy_index_at(slot)].layer < 0) return;
    entries_[copy_index_at(slot)].unclaimed = true;
    forget_stored(slot);
}

bool qvConnectedCopyIndex::claim(std::int32_t slot) noexcept {
    if (slot <= 0 || copy_index_at(slot) >= entries_.size()) return false;
    return std::exchange(entries_[copy_index_at(slot)].unclaimed, false);
}

bool qvConnectedCopyIndex::unclaimed(std::int32_t slot) const noexcept {
    return slot > 0 && copy_index_at(slot) < entries_.size() && entries_[copy_index_at(slot)].unclaimed;
}

std::size_t qvConnectedCopyIndex::size(int layer) const noexcept {
    return layer >= 0 && static_cast<std::size_t>(layer) < layers_.size()
               ? copy_index_at(layers_[static_cast<std::size_t>(layer)].size)
               : 0;
}

std::size_t qvConnectedCopyIndex::unplaced(int layer) const noexcept {
    return layer >= 0 && static_cast<std::size_t>(layer) < layers_.size()
               ? copy_index_at(layers_[static_cast<std::size_t>(layer)].unplaced_count)
               : 0;
}

// ---------------------------------------------------------------------------
// Cells

std::int32_t qvConnectedCopyIndex::new_cell(std::int32_t parent, std::int32_t x, std::int32_t y, std::int32_t level) {
    std::int32_t cell = first_free_cell_;
    if (cell >= 0) {
        first_free_cell_ = cells_[copy_index_at(cell)].parent;
        --free_cells_;
    } else {
        cells_.emplace_back();
        cell = static_cast<std::int32_t>(cells_.size() - 1);
    }
    Cell& c = cells_[copy_index_at(cell)];
    c = Cell{};
    c.parent = parent;
    c.x = x;
    c.y = y;
    c.level = level;
    return cell;
}

void qvConnectedCopyIndex::free_cell(std::int32_t cell) noexcept {
    cells_[copy_index_at(cell)].parent = first_free_cell_;
    first_free_cell_ = cell;
    ++free_cells_;
}

// The descent stops where no child holds the box whole, at the deepest
// level, or where a child cannot be made: a cell higher up holds the box
// as well, only less tightly.
void qvConnectedCopyIndex::place(std::int32_t slot, qvMathRectOf<double> const& bounds) noexcept {
    Entry& e = entries_[copy_index_at(slot)];
    Layer& l = layers_[copy_index_at(e.layer)];
    qvMathRectOf<float> const& box = table_[slot].record->box;
    try {
        if (l.root < 0) {
            l.root = new_cell(-1, 0, 0, 0);
            l.bounds = bounds;
        }
    } catch (std::bad_alloc const&) {
        link_unplaced(slot);
        return;
    }
    qvMathRectOf<double> const& b = l.bounds;
    std::int32_t cell = l.root;
    while (cells_[copy_index_at(cell)].level < qvQuadTreeDeepest) {
        const Cell c = cells_[copy_index_at(cell)];
        const std::int32_t level = c.level + 1;
        const double mid_x = copy_cell_edge(b.x1, b.x2, 2 * c.x + 1, level);
        const double mid_y = copy_cell_edge(b.y1, b.y2, 2 * c.y + 1, level);
        const double lo_x = copy_cell_edge(b.x1, b.x2, 2 * c.x, level);
        const double hi_x = copy_cell_edge(b.x1, b.x2, 2 * c.x + 2, level);
        const double lo_y = copy_cell_edge(b.y1, b.y2, 2 * c.y, level);
        const double hi_y = copy_cell_edge(b.y1, b.y2, 2 * c.y + 2, level);
        int right = -1, up = -1;
        if (lo_x <= box.x1 && box.x2 <= mid_x) right = 0;
        else if (mid_x <= box.x1 && box.x2 <= hi_x) right = 1;
        if (lo_y <= box.y1 && box.y2 <= mid_y) up = 0;
        else if (mid_y <= box.y1 && box.y2 <= hi_y) up = 1;
        if (right < 0 || up < 0) break;
        const int quadrant = right + 2 * up;
        std::int32_t child = c.child[quadrant];
        if (child < 0) {
            try {
                child = new_cell(cell, 2 * c.x + right, 2 * c.y + up, level);
            } catch (std::bad_alloc const&) {
                break;
            }
            cells_[copy_index_at(cell)].child[quadrant] = child;
        }
        cell = child;
    }
    Cell& home = cells_[copy_index_at(cell)];
    e.cell = cell;
    e.previous = 0;
    e.next = home.first;
    if (home.first != 0) entries_[copy_index_at(home.first)].previous = slot;
    home.first = slot;
    for (std::int32_t up = cell; up >= 0; up = cells_[copy_index_at(up)].parent) ++cells_[copy_index_at(up)].count;
}

void qvConnectedCopyIndex::link_pending(std::int32_t slot, qvMathRectOf<double> const& bounds) noexcept {
    Entry& e = entries_[copy_index_at(slot)];
    Layer& l = layers_[copy_index_at(e.layer)];
    e.cell = on_pending_chain;
    e.tested = false;
    e.previous = 0;
    e.next = l.pending;
    if (l.pending != 0) entries_[copy_index_at(l.pending)].previous = slot;
    l.pending = slot;
    l.next_bounds = bounds;
}

void qvConnectedCopyIndex::place_pending(int layer) noexcept {
    Layer& l = layers_[static_cast<std::size_t>(layer)];
    while (l.pending != 0) {
        const std::int32_t slot = l.pending;
        unplace(slot);
        place(slot, l.next_bounds);
    }
}

void qvConnectedCopyIndex::link_unplaced(std::int32_t slot) noexcept {
    Entry& e = entries_[copy_index_at(slot)];
    Layer& l = layers_[copy_index_at(e.layer)];
    e.cell = on_unplaced_chain;
    e.previous = 0;
    e.next = l.unplaced;
    if (l.unplaced != 0) entries_[copy_index_at(l.unplaced)].previous = slot;
    l.unplaced = slot;
    ++l.unplaced_count;
}

// Cells emptied on the way up are freed, children before their parent.
void qvConnectedCopyIndex::unplace(std::int32_t slot) noexcept {
    Entry& e = entries_[copy_index_at(slot)];
    Layer& l = layers_[copy_index_at(e.layer)];
    std::int32_t& head = e.cell == on_unplaced_chain ? l.unplaced
                         : e.cell == on_pending_chain ? l.pending
                                                      : cells_[copy_index_at(e.cell)].first;
    if (e.previous != 0)
        entries_[copy_index_at(e.previous)].next = e.next;
    else
        head = e.next;
    if (e.next != 0) entries_[copy_index_at(e.next)].previous = e.previous;
    e.next = e.previous = 0;
    if (e.cell == on_pending_chain) {
        e.cell = on_unplaced_chain;
        return;
    }
    if (e.cell == on_unplaced_chain) {
        --l.unplaced_count;
        return;
    }
    for (std::int32_t cell = e.cell; cell >= 0;) {
        Cell& c = cells_[copy_index_at(cell)];
        const std::int32_t parent = c.parent;
        if (--c.count == 0) {
            if (parent < 0) {
                l.root = -1;
            } else {
                for (std::int32_t& child : cells_[copy_index_at(parent)].child)
                    if (child == cell) child = -1;
            }
            free_cell(cell);
        }
        cell = parent;
    }
    e.cell = on_unplaced_chain;
}

// ---------------------------------------------------------------------------
// Queries

void qvConnectedCopyIndex::test(std::int32_t slot, qvRecordArea const& area,
                                std::vector<std::pair<std::int64_t, qvShapeBase*>>& hits) {
    ++visited_;
    qvShapeBase* const record = table_[slot].record;
    if (area.met_by(*record)) hits.emplace_back(entries_[copy_index_at(slot)].order, record);
}

// The root holds what lies outside the bounds too, so it is never pruned;
// below it a cell whose edges the area misses holds no box the area meets
// (its boxes lie within those edges, and the test is strict).
void qvConnectedCopyIndex::query(int layer, qvMathRectOf<double> const& area, bool reverse,
                                 std::vector<qvShapeBase*>& found) {
    if (layer < 0 || static_cast<std::size_t>(layer) >= layers_.size()) return;
    Layer& l = layers_[static_cast<std::size_t>(layer)];
    if (l.size == 0) return;
    const qvRecordArea a(area);
    // Scratch kept between queries (a query calls nobody back).
    std::vector<std::pair<std::int64_t, qvShapeBase*>>& hits = hits_;
    hits.clear();
    Entry* const lone = l.pending != 0 ? &entries_[copy_index_at(l.pending)] : nullptr;
    if (lone != nullptr && lone->next == 0 && !lone->tested) {
        test(l.pending, a, hits);
        lone->tested = true;
    } else {
        place_pending(layer);
    }
    for (std::int32_t slot = l.unplaced; slot != 0; slot = entries_[copy_index_at(slot)].next) test(slot, a, hits);
    std::vector<std::int32_t>& pending = walk_;
    pending.clear();
    if (l.root >= 0) pending.push_back(l.root);
    qvMathRectOf<double> const& b = l.bounds;
    while (!pending.empty()) {
        const std::int32_t cell = pending.back();
        pending.pop_back();
        Cell const& c = cells_[copy_index_at(cell)];
        for (std::int32_t slot = c.first; slot != 0; slot = entries_[copy_index_at(slot)].next) test(slot, a, hits);
        for (std::int32_t child : c.child) {
            if (child < 0) continue;
            Cell const& k = cells_[copy_index_at(child)];
            if (copy_cell_edge(b.x1, b.x2, k.x, k.level) >= a.x2 || copy_cell_edge(b.x1, b.x2, k.x + 1, k.level) <= a.x1 ||
                copy_cell_edge(b.y1, b.y2, k.y, k.level) >= a.y2 || copy_cell_edge(b.y1, b.y2, k.y + 1, k.level) <= a.y1)
                continue;
            pending.push_back(child);
        }
    }
    if (reverse)
        std::sort(hits.begin(), hits.end(), [](auto const& p, auto const& q) { return p.first > q.first; });
    else
        std::sort(hits.begin(), hits.end(), [](auto const& p, auto const& q) { return p.first < q.first; });
    found.reserve(found.size() + hits.size());
    for (auto const& hit : hits) found.push_back(hit.second);
}
