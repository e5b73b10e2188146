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
//  - the directory owns its cells and nodes; count() is the node count.
//
// The iterators walk on one explicit stack of at most 16 frames and keep
// positions as indexes, so nodes and cells added during a walk (a split
// while a query runs) never leave them dangling; removing nodes does.
// Each is positioned on its first node, or at its end, once constructed.

#include <orvane/core/qvIterator.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/scenes/qvQuadTreeHandle.hpp>
#include <orvane/scenes/qvQuadTreeNode.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class qvQuadTreeDirectory {
    struct Cell {
        std::array<std::unique_ptr<Cell>, 4> children;
        std::vector<std::unique_ptr<qvQuadTreeNode>> nodes;
        std::size_t open = 0;   // nodes before it can take no record
        std::unique_ptr<std::unordered_map<std::int32_t, qvQuadTreeNode*>> handles;
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
        std::size_t& open() const noexcept { return cell_->open; }
        HandleIndex* handles() const noexcept { return cell_->handles.get(); }
        HandleIndex& make_handles() const;

    private:
        friend class qvQuadTreeDirectory;
        explicit CellNodes(Cell* cell) noexcept : cell_(cell) {}
        Cell* cell_ = nullptr;
    };

    // The cell that serves key: the deepest cell on key's path that has
    // nodes (an empty view when there is no root cell).
    CellNodes serving(qvQuadTreeHandleData const& key) const;
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
        // One step of the walk; false at the end.
        bool step();
        // Whether a child of the top frame's cell is worth a visit.
        virtual bool descend(int x, int y, int z) const noexcept;

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

    private:
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
        bool descend(int x, int y, int z) const noexcept override;
        void settle();
        int z_, x1_, y1_, x2_, y2_;
    };

private:
    int count_ = 0;
    qvMathRectOf<double> base_;
    std::unique_ptr<Cell> root_;
};
