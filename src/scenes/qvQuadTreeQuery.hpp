#pragma once
// qvQuadTreeQuery: the iterator behind qvQuadTree::query: the records of
// the nodes whose cells meet the query rectangle, in query order, that
// overlap it strictly and are not masked (or every unmasked record).
//
// Keeps true: while a record is current, the iterator holds its own read
// pin on the node's page through the device (until let_go), at priority
// 1 / (z + 1), so the few nodes near the root that every query passes stay
// cached longest.
// The pin is the iterator's, not the node's lock: an examine or modify of
// the same node (which locks and unlocks the node) cannot unlock the page
// under the query, and the query never unlocks a lock a record lock holds.
// Each record is reached through its checked slot, and a loaded node's page
// is checked before its first record is read.
//
// An area query reads only the records of a cell that the cell's summary
// (see qvQuadTreeCellSummary) names as possible, node by node in index
// order; it pins a node's page only to read the boxes of a node written
// since the summary was made, or when some record of the node may meet the
// area, and passes a cell none of whose records may without looking at its
// nodes. A cell the area covers a thirty-second of or more is read record
// by record without a summary: enough of its records meet that naming
// them costs more than the walk's own test of each.
// While a node of the cell is write-locked, every node of the cell is read
// record by record, as without a summary; so is a node written while the
// query stands in it, from there on. The records yielded and their order
// are the same either way.

#include <orvane/core/qvIterator.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/scenes/qvQuadTree.hpp>
#include <orvane/scenes/qvQuadTreeDirectory.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include "scenes/qvPageLock.hpp"
#include "scenes/qvQuadTreeCellSummary.hpp"
#include "scenes/qvRecordArea.hpp"

#include <cstdint>
#include <optional>
#include <vector>

class qvQuadTreeQuery : public qvIterator<qvShapeBase> {
public:
    qvQuadTreeQuery(qvQuadTree& tree, qvMathRectOf<double> const& area);
    // Every unmasked record, boxes not looked at.
    explicit qvQuadTreeQuery(qvQuadTree& tree);

    qvShapeBase* get() override { return current_; }
    void next() override { advance(); }
    bool at_end() const override { return current_ == nullptr; }
    // Lets go of the current record's page, for a holder that keeps only
    // what it read of the record until it moves on: the record get() gave
    // must not be read any more, and next() locks the page again and goes
    // on from there. Over a mapped file the view can grow only while no
    // page is locked, so a walk whose steps change the scene (write-backs
    // that split nodes) holds none between them.
    void let_go() noexcept { pin_.reset(); }

private:
    qvQuadTreeQuery(qvQuadTree& tree, qvMathRectOf<double> const& area, bool every);
    void advance();
    bool wanted(qvShapeBase const& record) const noexcept;
    // Makes the current cell's candidate list; false when no record of the
    // cell can meet the area.
    bool arrive();
    // Finds the current node's run of the cell's candidates (or chooses the
    // full walk); false when the node can be passed without reading a
    // record.
    bool enter(qvQuadTreeNode& node);
    bool pin(qvQuadTreeNode& node);
    // The next record index of the current node to test when the cell's
    // candidates are followed, or -1.
    int next_candidate(qvQuadTreeNode const& node);

    qvQuadTree& tree_;
    qvQuadTreeDirectory::QueryIterator nodes_;
    std::optional<qvPageLock> pin_;
    int index_ = -1;
    qvRecordArea area_;
    bool every_ = false;
    qvShapeBase* current_ = nullptr;
    bool entered_ = false;
    bool walk_all_ = true;        // every record of the node, by index
    std::uint64_t writes_ = 0;    // the node's stamp the cell's summary holds
    // What the cell's summary said of its nodes when the query arrived (the
    // summary itself may be remade under a standing query): each node's
    // part, and the places of the candidates, ascending.
    std::vector<qvQuadTreeCellSummary::Part> parts_;
    std::vector<std::uint32_t> candidates_;
    std::size_t next_candidate_ = 0;
    std::uint32_t node_end_ = 0;  // the current node's places end here
    std::uint32_t node_first_ = 0;
};
