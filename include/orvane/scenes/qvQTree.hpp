#pragma once
// qvQTree: the quadtree of a paged scene layer: the cell grid over the
// base rectangle (level 0 the whole rectangle, each level halving the
// cells, down to level 15) and the split of a full node.
//
// split(node, size) frees room for a record of size bytes in node's cell.
// Below level 15 it moves records of node into child cells that have no
// nodes yet (of the next node of the cell that has such records, when
// node has none: records across the centre lines fill a cell's first node
// for good, and the records of its children must not pile up behind it):
// the children are taken fullest first (equal fills in the order
// (x−, y−), (x+, y−), (x−, y+), (x+, y+)) until they free at least size
// bytes, each gets a new node (made in ascending order of fill), and the
// records move from the last to the first, so they land in reverse order.
// In a cell's first node, a record that belongs to a child that already
// has nodes only occurs in a damaged file: "Invalid or corrupt Orvane
// pagefile", before anything changes (later nodes keep such records
// rightly: they were stored before the child had nodes). At level 15, or
// when nothing can move, the cell gets one more node instead. New children are unlocked at priority 0.5, node at 1.0.
// A split that raises (a full disk refuses a page it must lock) leaves the
// cell's nodes and records as they were, its new nodes taken out again.
// Records whose box is NaN or outside the base have the root cell and
// stay where they are.
//
// rebalance does nothing: nodes are never merged.

#include <orvane/scenes/qvQuadTree.hpp>

class qvQTree : public qvQuadTree {
public:
    explicit qvQTree(qvPageDevice* device) noexcept;
    qvQTree(qvPageDevice* device, qvMathRectOf<double> const& base);

    void split(qvQuadTreeNode* node, int size) override;
    void rebalance(qvQuadTreeNode* node) override;
    qvMathRectOf<float> handle_to_rect(qvQuadTreeHandleData const& h) override;
    // The smallest cell that holds r; the root for a NaN box or one whose
    // part in the base is no box of cells.
    qvQuadTreeHandleData rect_to_handle(qvMathRectOf<float> const& r) override;
};
