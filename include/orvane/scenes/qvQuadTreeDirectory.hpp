#pragma once
// qvQuadTreeDirectory: the in-memory index of one quadtree: a tree of cells
// that mirrors the quadtree's cell grid and holds, per cell, the nodes that
// store that cell's records. It is rebuilt from the quadtree's stream form
// and never stored itself.
//
// Keeps true:
//  - a cell's handle follows from its path: the root is (0, 0, 0) and
//    child c of (x, y, z) is (2x − 1, 2y − 1), (2x − 1, 2y + 1),
//    (2x + 1, 2y − 1), (2x + 1, 2y + 1) for c = 0 … 3, at z + 1;
//  - add creates the cells on the way to a node's cell, so a cell may have
//    no nodes; remove deletes the cells it leaves with neither nodes nor
//    children, the root too;
//  - a cell's nodes stay in the order they were added, and the walk (nodes
//    of a cell first, then children 0 … 3, each with its subtree) is the
//    order in which the quadtree saves and yields them;
//  - the directory owns its cells and nodes; count() is the node count;
//  - a cell's reach holds the bbox of every node in its subtree (it is
//    inverted, so that nothing meets it, when the subtree has none);
//  - every cell has one entry in links_ that names it, its children's
//    entries (0: no child) and whether it has nodes; the remembered path
//    names the entries on the last key's path from the root, as deep as
//    that walk went; a remove forgets it;
//  - once a cell of the express level exists, express_ names, per column
//    and row of that level, the entry of its cell (0: none);
//  - a cell's entry names the node at the cell's open place (null past
//    its last node), so that a new record whose node has room reads no
//    cell;
//  - with express_, served_ names per place of the express level the
//    deepest cell on its path, at that level or above, that has nodes:
//    a deep key that no cell below the express level serves is served
//    without a walk from the root.
//
// The iterators walk on one explicit stack of at most 16 frames and keep
// positions as indexes, so nodes and cells added during a walk (a split
// while a query runs) never leave them dangling; removing nodes does.
// Each is positioned on its first node, or at its end, once constructed.
//
// The deep levels of a large tree are where following child pointers
// misses the processor's cache, once per level. So path and serving follow
// the links_ table, whose entries are small and packed, rather than the
// cells, and start from the deepest cell the last key's path shares with
// the new key (records often arrive in runs over nearby cells) instead of
// from the root. For a deep key, serving first goes straight to the key's
// cell of the express level (the table costs 256 KiB once the tree is that
// deep) and walks down from there; when no cell below that level serves
// the key, a second table of the same size names the cell above that does
// (a uniform load's nodes sit around that level, and a walk from the root
// missed the cache at every level for most records). A query passes a
// child whose reach it does not meet, which skips exactly the nodes it
// would have tested and dropped one by one.

#include <orvane/core/qvIterator.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/scenes/qvQuadTreeHandle.hpp>
#include <orvane/scenes/qvQuadTreeNode.hpp>

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <unordered_map>
#include <vector>

struct qvQuadTreeCellSummary;

class qvQuadTreeDirectory {
    static constexpr float inf = std::numeric_limits<float>::infinity();
    struct Cell {
        Cell() noexcept;
        ~Cell();
        std::array<std::unique_ptr<Cell>, 4> children;
        qvRectOf<float> reach{inf, inf, -inf, -inf};   // as given: may be inverted
        std::uint8_t present = 0;                       // bit c: children[c] is set
        std::uint32_t link = 0;                         // its entry in links_
        std::vector<std::unique_ptr<qvQuadTreeNode>> nodes;
        std::size_t open = 0;   // nodes before it can take no record
        std::unique_ptr<std::unordered_map<std::int32_t, qvQuadTreeNode*>> handles;
        std::unique_ptr<qvQuadTreeCellSummary> summary;   // dropped when nodes come or go
    };

public:
    explicit qvQuadTreeDirectory(qvMathRectOf<double> const& base) noexcept : base_(base) {}
    qvQuadTreeDirectory(qvQuadTreeDirectory const&) = delete;
    qvQuadTreeDirectory& operator=(qvQuadTreeDirectory const&) = delete;
    // Deletes every cell and node (a node still locked takes the
    // qvError::abort way).
    ~qvQuadTreeDirectory() = default;

    // Takes the node (it is deleted if add fails); its handle must name a
    // cell (assertion "c.x == key.x && c.y == key.y").
    void add(qvQuadTreeNode* node);
    // Unlinks and deletes the node, then every cell left empty above it.
    void remove(qvQuadTreeNode* node);

    // One cell's nodes in order, with what the quadtree keeps about them in
    // memory: the index of the first node that may have room for a record
    // (the nodes before it are full), and, once the quadtree makes one, an
    // index of the node where each shape handle was last seen. Valid until
    // the next remove.
    class CellNodes {
    public:
        using HandleIndex = std::unordered_map<std::int32_t, qvQuadTreeNode*>;

        CellNodes() noexcept = default;
        explicit operator bool() const noexcept { return cell_ != nullptr; }
        std::size_t size() const noexcept { return cell_ ? cell_->nodes.size() : 0; }
        qvQuadTreeNode* operator[](std::size_t i) const noexcept { return cell_->nodes[i].get(); }
        std::size_t open() const noexcept { return cell_->open; }
        HandleIndex* handles() const noexcept { return cell_->handles.get(); }
        HandleIndex& make_handles() const;
        // What queries keep of the records of the cell's nodes (null until
        // a query makes it).
        std::unique_ptr<qvQuadTreeCellSummary>& summary() const noexcept { return cell_->summary; }

    private:
        friend class qvQuadTreeDirectory;
        explicit CellNodes(Cell* cell) noexcept : cell_(cell) {}
        Cell* cell_ = nullptr;
    };

    // The cell that serves key: the deepest cell on key's path that has
    // nodes (an empty view when there is no root cell).
    CellNodes serving(qvQuadTreeHandleData const& key) const;
    // The serving cell's node at its open place (null when the cell has
    // none there), found without reading the cell: the node a new record
    // of key tries first.
    qvQuadTreeNode* open_node(qvQuadTreeHandleData const& key) const;
    // Moves the serving cell's open place (every node before it is full).
    void set_open(CellNodes const& cell, std::size_t open) noexcept;
    // The cells with nodes on the path from the root to key, deepest
    // first; returns how many.
    int path(qvQuadTreeHandleData const& key, std::array<CellNodes, 16>& cells) const;
    // A record left node: its cell's first node that may have room is at
    // node's place or before.
    void reopen(qvQuadTreeNode const& node);
    // The record of `handle` left node: its cell's handle index no longer
    // sends lookups there.
    void forget(qvQuadTreeNode const& node, std::int32_t handle);

    int count() const noexcept { return count_; }
    // Advances whenever the writes() stamp of one of its nodes does.
    std::uint64_t node_writes() const noexcept { return node_writes_; }
    qvMathRectOf<double> const& base() const noexcept { return base_; }

    // The walk over cells shared by the four iterators.
    class IteratorBase : public qvIterator<qvQuadTreeNode> {
    public:
        qvQuadTreeNode* get() override;
        void next() override;
        bool at_end() const override { return depth_ == 0; }

    protected:
        struct Frame {
            Cell* cell;
            std::size_t position;   // in cell->nodes
            std::int16_t x, y, z;
            std::int8_t next_child; // 0 … 3 to visit, 4 = do not descend
            bool first_visit;       // the position has not been yielded yet
        };

        IteratorBase() noexcept = default;
        void push(Cell* cell, int x, int y, int z, int next_child) noexcept;
        void pop() noexcept { --depth_; }
        Frame& top() noexcept { return frames_[static_cast<std::size_t>(depth_ - 1)]; }
        // One step of the walk, entering the children that admit(child,
        // x, y, z) lets in; false at the end.
        template <class Admit>
        bool step(Admit const& admit);
        bool step();

        std::array<Frame, 16> frames_{};
        int depth_ = 0;
    };

    // Every node.
    class EnumerateIterator : public IteratorBase {
    public:
        explicit EnumerateIterator(qvQuadTreeDirectory const& directory);
    };

    // The nodes whose cell rectangle (their bbox) overlaps r strictly; a
    // cell that fails is skipped with its subtree.
    class QueryIterator : public IteratorBase {
    public:
        QueryIterator(qvQuadTreeDirectory const& directory, qvMathRectOf<double> const& r);
        void next() override;
        // The current node's cell and its place among the cell's nodes.
        CellNodes cell() const noexcept { return CellNodes(frames_[static_cast<std::size_t>(depth_ - 1)].cell); }
        std::size_t position() const noexcept { return frames_[static_cast<std::size_t>(depth_ - 1)].position; }
        // Passes the rest of the current cell's nodes; its children follow.
        void pass_cell();

    private:
        bool meets(qvRectOf<float> const& b) const noexcept {
            return b.x2 > x1_ && x2_ > b.x1 && b.y2 > y1_ && y2_ > b.y1;
        }
        bool step_in();
        void settle();
        float x1_, y1_, x2_, y2_;
    };

    // The nodes on the path from the root to key, deepest cell first; key
    // must name a cell.
    class FindIterator : public IteratorBase {
    public:
        FindIterator(qvQuadTreeDirectory const& directory, qvQuadTreeHandleData const& key);
    };

    // The nodes of level z with x in x1 … x2 and y in y1 … y2; the walk
    // goes no deeper than level z and only where the range lies.
    class ChildIterator : public IteratorBase {
    public:
        ChildIterator(qvQuadTreeDirectory const& directory, int z, int x1, int y1, int x2, int y2);
        void next() override;

    private:
        bool covers(int x, int y, int z) const noexcept;
        bool step_in();
        void settle();
        int z_, x1_, y1_, x2_, y2_;
    };

private:
    // Fills the remembered path for key from the deepest level it shares
    // with the last key; returns the deepest level walked.
    int walk_to(qvQuadTreeHandleData const& key) const;
    // The entry of the cell that serves key (0: none).
    std::uint32_t serving_entry(qvQuadTreeHandleData const& key) const;
    // The entry's open node, after the cell's open place or nodes changed.
    void refresh_open(Cell const& cell) noexcept;
    // A cell's entry in links_; room was made for it beforehand.
    std::uint32_t make_link(Cell* cell, int z) noexcept;
    // The express level's places (column << express_level | row) under the
    // cell (x, y, z) of that level or above, as a range of columns and rows.
    struct Region {
        std::size_t column, row, side;
    };
    static Region region_of(int x, int y, int z) noexcept;
    // A cell of the express level or above got its first node: it serves
    // every place below it that no deeper cell serves.
    void serve_below(Cell const& cell, int x, int y, int z) noexcept;
    // Marks, when express_ is made, what the cells that have nodes serve.
    void serve_existing(Cell const& cell, int x, int y, int z) noexcept;
    static void widen(qvRectOf<float>& reach, qvRectOf<float> const& box) noexcept;
    static qvRectOf<float> reach_of(Cell const& cell) noexcept;

    int count_ = 0;
    std::uint64_t node_writes_ = 0;
    qvMathRectOf<double> base_;
    std::unique_ptr<Cell> root_;
    struct Link {
        std::array<std::uint32_t, 4> child{};
        Cell* cell = nullptr;
        qvQuadTreeNode* open_node = nullptr;   // cell->nodes[cell->open], or null
        bool has_nodes = false;
        std::int8_t z = 0;
    };
    std::vector<Link> links_;   // [0] stands for no cell
    std::vector<std::uint32_t> free_links_;
    static constexpr int express_level = 8;
    std::vector<std::uint32_t> express_;   // 4^8 entries, or none
    // Made with express_: per place of the express level, the entry of the
    // deepest cell at that level or above on its path that has nodes (0:
    // none), what serves a key there when no deeper cell does.
    std::vector<std::uint32_t> served_;
    // The last key's path: path_[z] is the entry of its cell of level z for
    // z up to path_depth_ (-1: nothing remembered).
    mutable std::array<std::uint32_t, 16> path_{};
    mutable qvQuadTreeHandleData path_key_{0, 0, 0};
    mutable int path_depth_ = -1;
};
