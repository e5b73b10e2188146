#pragma once
// qvConnectedCopyIndex: the connected copies of a paged scene's layers
// found by box, so that drawing an area (and every hit test, which draws
// through the same road) visits the copies near it rather than every copy
// of the layer.
//
// Per layer an in-memory quadtree over the bounds the layer had when its
// tree was started: level 0 is those bounds, every level halves the cells,
// down to the quadtree's deepest level. A copy sits in the deepest cell
// whose edges hold its box; a box with a NaN, outside the bounds or across
// the centre lines stays in the root. Edges are one function of (bounds,
// column, level), so the cell that took a box and the cell a query prunes
// have the same edges to the bit: a query skips a cell only when no box it
// holds can meet the area.
//
// Keeps true:
//  - entries are kept by node-table slot (the connected list's handle);
//    an entry is in no layer, in a cell, "pending" or "unplaced". Pending:
//    on its layer's pending chain, waiting to be placed by the layer's
//    next query, which places the whole chain before it looks at a cell;
//    a copy that comes and goes between two queries (a handle made,
//    edited and released while a scene is built) never touches a cell.
//    A query that finds one lone copy pending, not tested by a query
//    before, tests it where it waits and leaves it to the next query: a
//    graphic made for a hit and let go again before the next select
//    never makes a cell either.
//    Unplaced: on its layer's unplaced chain, which every query of the
//    layer scans. A copy under an open modification guard is unplaced
//    (its box may change at any step of the edit), and so is one whose
//    cell could not be made;
//  - a cell's count is the number of entries in its subtree, never 0: an
//    emptied cell is freed at once (an emptied root ends the layer's tree,
//    and the next copy starts it over the bounds of that time);
//  - the order key of an entry mirrors the connected list, which only
//    appends (create) and puts in front (moveto): a query sorts its finds
//    by key and gives them in list order, or reversed;
//  - only enter() raises, and only before it changes anything; every other
//    operation runs without allocating or falls back to the unplaced chain.
// Copies are tested with the connected list's own rule (qvRecordArea): the
// record's float box against the area rounded once to floats, strictly.
//
// The index also keeps, per copy, the bytes of the stored record it was
// connected from (when the scene asks it to): a copy let go still equal to
// them goes back without a write to its node. Kept only while the stored
// record is known to hold them: the scene forgets them when it changes the
// stored record of a connected shape, and leave() drops them. And it marks
// the copies that nobody owns: let go, but not written back.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include <cstdint>
#include <utility>
#include <vector>

class qvShapeNodeTable;
struct qvRecordArea;

class qvConnectedCopyIndex {
public:
    explicit qvConnectedCopyIndex(qvShapeNodeTable const& table) noexcept : table_(table) {}
    qvConnectedCopyIndex(qvConnectedCopyIndex const&) = delete;
    qvConnectedCopyIndex& operator=(qvConnectedCopyIndex const&) = delete;

    // Enters the copy of `slot` (a live node) into `layer`, after every copy
    // there (as the list's create appends it), to be placed by its box;
    // `bounds` start the layer's tree when it has none. Raises only before
    // any change.
    void enter(std::int32_t slot, int layer, qvMathRectOf<double> const& bounds);
    // Takes the copy out of the index; nothing for one that is not in it.
    void leave(std::int32_t slot) noexcept;
    // Room for `layer`, so that move() into it cannot fail; raises changing
    // nothing.
    void make_room(int layer);
    // The copy goes to the front of `layer` (the list's moveto), keeping
    // whether it is being edited. Needs make_room(layer) first.
    void move(std::int32_t slot, int layer, qvMathRectOf<double> const& bounds) noexcept;
    // An edit begins: the copy is unplaced until end_edit, which leaves it
    // to be placed by the box it then has. Nothing for a slot that is not
    // in the index.
    void begin_edit(std::int32_t slot) noexcept;
    void end_edit(std::int32_t slot, qvMathRectOf<double> const& bounds) noexcept;
    // Empties every layer.
    void clear() noexcept;

    // Keeps `stored`, the record the copy of `slot` was just made from.
    // Keeps nothing when there is no room for it (the copy is then written
    // back as any other), so that it never raises.
    void keep_stored(std::int32_t slot, qvShapeBase const& stored) noexcept;
    // Whether bytes are kept for `slot` and `copy` is equal to them in its
    // size and every byte.
    bool as_stored(std::int32_t slot, qvShapeBase const& copy) const noexcept;
    void forget_stored(std::int32_t slot) noexcept;

    // The copy's owner let go of it and its write-back failed: the scene
    // keeps it connected, and the next connect of its handle hands it out
    // again (claim). Its kept bytes are forgotten, since the failed write
    // may have taken the stored record away. Nothing for a slot that is
    // not in the index.
    void keep_unclaimed(std::int32_t slot) noexcept;
    // Whether the copy was unclaimed; from now on it is owned again.
    bool claim(std::int32_t slot) noexcept;
    // Whether the copy is unclaimed, changing nothing.
    bool unclaimed(std::int32_t slot) const noexcept;

    // Appends the copies of `layer` whose boxes meet `area`, in list order
    // (last first when `reverse`); places the layer's pending copies first
    // (a lone one not tested before is only tested).
    void query(int layer, qvMathRectOf<double> const& area, bool reverse, std::vector<qvShapeBase*>& found);

    // What tests look at: boxes tested by queries so far; copies in `layer`;
    // copies of `layer` on its unplaced chain; cells alive.
    std::uint64_t visited() const noexcept { return visited_; }
    std::size_t size(int layer) const noexcept;
    std::size_t unplaced(int layer) const noexcept;
    std::size_t cells() const noexcept { return cells_.size() - free_cells_; }

private:
    // Entry::cell of a copy on a chain rather than in a cell.
    static constexpr std::int32_t on_unplaced_chain = -1;
    static constexpr std::int32_t on_pending_chain = -2;

    struct Entry {
        std::int64_t order = 0;
        std::int32_t cell = on_unplaced_chain;   // a cell, or a chain
        std::int32_t next = 0;    // slots along the cell's or the chain's list
        std::int32_t previous = 0;
        std::int32_t layer = -1;  // -1: not in the index
        bool editing = false;
        bool tested = false;      // pending, and a query has tested it there
        bool unclaimed = false;   // no owner: its write-back failed
    };
    struct Cell {
        std::int32_t child[4] = {-1, -1, -1, -1};
        std::int32_t parent = -1;   // also the link of the free list
        std::int32_t first = 0;     // first entry slot held here
        std::int32_t count = 0;     // entries in the subtree
        std::int32_t x = 0, y = 0;  // column and row at its level
        std::int32_t level = 0;
    };
    struct Layer {
        std::int32_t root = -1;
        std::int32_t unplaced = 0;   // first slot of the unplaced chain
        std::int32_t unplaced_count = 0;
        std::int32_t pending = 0;    // first slot of the pending chain
        std::int32_t size = 0;
        std::int64_t front = 0, back = 0;
        qvMathRectOf<double> bounds;
        qvMathRectOf<double> next_bounds;   // for a tree started by a pending copy
    };

    // Links into the deepest cell that holds the box (unplaced chain when
    // no cell can be made). The entry's layer and order are set.
    void place(std::int32_t slot, qvMathRectOf<double> const& bounds) noexcept;
    // Unlinks from its cell or chain; the layer stays set.
    void unplace(std::int32_t slot) noexcept;
    void link_unplaced(std::int32_t slot) noexcept;
    // Onto the layer's pending chain; `bounds` start its tree if it has none
    // when the copy is placed.
    void link_pending(std::int32_t slot, qvMathRectOf<double> const& bounds) noexcept;
    void place_pending(int layer) noexcept;
    std::int32_t new_cell(std::int32_t parent, std::int32_t x, std::int32_t y, std::int32_t level);
    void free_cell(std::int32_t cell) noexcept;
    void test(std::int32_t slot, qvRecordArea const& area, std::vector<std::pair<std::int64_t, qvShapeBase*>>& hits);

    qvShapeNodeTable const& table_;
    std::vector<Entry> entries_;
    std::vector<Layer> layers_;
    std::vector<Cell> cells_;
    // By slot: the kept bytes, empty when none (capacity stays for the
    // slot's next copy, so a shape connected and let go again and again
    // allocates once).
    std::vector<std::vector<unsigned char>> stored_;
    std::vector<std::pair<std::int64_t, qvShapeBase*>> hits_;   // query scratch
    std::vector<std::int32_t> walk_;
    std::int32_t first_free_cell_ = -1;
    std::size_t free_cells_ = 0;
    std::uint64_t visited_ = 0;
};
