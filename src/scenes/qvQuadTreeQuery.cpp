// qvQuadTreeQuery: node by node, record by record, one pin at a time.

#include "scenes/qvQuadTreeQuery.hpp"

#include <orvane/scenes/qvPageDevice.hpp>

#include <cmath>

qvQuadTreeQuery::qvQuadTreeQuery(qvQuadTree& tree, qvMathRectOf<double> const& area)
    : qvQuadTreeQuery(tree, area, false) {}

qvQuadTreeQuery::qvQuadTreeQuery(qvQuadTree& tree, qvMathRectOf<double> const& area, bool every)
    : tree_(tree), nodes_(*tree.directory(), area), area_(area), every_(every) {
    advance();
}

// Every node's cell meets the unbounded area.
qvQuadTreeQuery::qvQuadTreeQuery(qvQuadTree& tree)
    : qvQuadTreeQuery(tree, qvMathRectOf<double>(qvRectOf<double>(-HUGE_VAL, -HUGE_VAL, HUGE_VAL, HUGE_VAL)), true) {}

bool qvQuadTreeQuery::wanted(qvShapeBase const& record) const noexcept {
    if (every_) return !tree_.masked(record.shape_handle);
    return area_.met_by(record) && !tree_.masked(record.shape_handle);
}

bool qvQuadTreeQuery::pin(qvQuadTreeNode& node) {
    if (pin_)
        return true;
    pin_.emplace(*tree_.device(), node.page_number(), false, 1.0f / static_cast<float>(node.z + 1));
    if (!node.checked()) {
        try {
            node.check(pin_->bytes());
        } catch (...) {
            pin_.reset();
            throw;
        }
    }
    return true;
}

bool qvQuadTreeQuery::arrive() {
    parts_.clear();
    candidates_.clear();
    next_candidate_ = 0;
    if (every_)
        return true;
    const qvQuadTreeDirectory::CellNodes cell = nodes_.cell();
    // A cell the area covers a fair share of (most cells a large area
    // passes) is read whole, without making or asking its summary; each
    // record is still tested, so what is yielded is the same.
    if (qvQuadTreeCellSummary::read_whole(area_, cell[0]->bbox))
        return true;
    std::unique_ptr<qvQuadTreeCellSummary>& summary = cell.summary();
    const std::uint64_t node_writes = tree_.directory()->node_writes();
    if (!summary || !summary->current_at(node_writes)) {
        const float priority = 1.0f / static_cast<float>(cell[0]->z + 1);
        if (!qvQuadTreeCellSummary::refresh(summary, cell, node_writes, *tree_.device(), priority))
            return true;   // a node is being written: each is read whole
    }
    if (!summary->may_meet(area_))
        return false;
    summary->candidates(area_, candidates_);
    if (candidates_.empty())
        return false;
    parts_ = summary->parts;
    return true;
}

// Entered only once all of it succeeded: a query that an allocation
// failure left here enters the node again instead of reading another's
// candidates.
bool qvQuadTreeQuery::enter(qvQuadTreeNode& node) {
    entered_ = false;
    index_ = -1;
    const std::size_t p = nodes_.position();
    // The summary speaks for the node only if it is the node it read, as it
    // was then.
    walk_all_ = every_ || node.write_locked() || p >= parts_.size() || parts_[p].node != &node ||
                parts_[p].writes != node.writes() || parts_[p].records != node.fill_no;
    if (walk_all_) {
        pin(node);
        entered_ = true;
        return true;
    }
    node_first_ = parts_[p].first;
    node_end_ = node_first_ + static_cast<std::uint32_t>(parts_[p].records);
    while (next_candidate_ < candidates_.size() && candidates_[next_candidate_] < node_first_)
        ++next_candidate_;
    writes_ = node.writes();
    if (next_candidate_ == candidates_.size() || candidates_[next_candidate_] >= node_end_) {
        entered_ = true;
        return false;
    }
    pin(node);
    entered_ = true;
    return true;
}

// A write to the node while the query stands in it (a callback editing the
// scene) ends the summary's say: from the last index yielded on, every
// record is read, its fill_no afresh at every step.
int qvQuadTreeQuery::next_candidate(qvQuadTreeNode const& node) {
    if (node.writes() != writes_) {
        walk_all_ = true;
        return ++index_ < node.fill_no ? index_ : -1;
    }
    if (next_candidate_ >= candidates_.size() || candidates_[next_candidate_] >= node_end_)
        return -1;
    index_ = static_cast<int>(candidates_[next_candidate_++] - node_first_);
    return index_;
}

void qvQuadTreeQuery::advance() {
    current_ = nullptr;
    for (qvQuadTreeNode* node = nodes_.get(); node != nullptr; node = nodes_.get()) {
        if (!entered_) {
            // All nodes of a cell share its rectangle: the first one the
            // walk gives is where the query arrives at the cell.
            if (nodes_.position() == 0 && !arrive()) {
                pin_.reset();
                nodes_.pass_cell();
                continue;
            }
            if (!enter(*node)) {
                entered_ = false;
                pin_.reset();
                nodes_.next();
                continue;
            }
        }
        // A node entered, then let go of between two records.
        if (!pin_) pin(*node);
        // The walk of every record is the common road (a large area, most
        // of whose cells it covers): kept in this loop, not behind a call.
        for (;;) {
            int i = 0;
            if (walk_all_) {
                if (++index_ >= node->fill_no)
                    break;
                i = index_;
            } else if ((i = next_candidate(*node)) < 0) {
                break;
            }
            qvShapeBase* const record = node->record_in(pin_->bytes(), i);
            if (wanted(*record)) {
                current_ = record;
                tree_.yielded(node, i, record->shape_handle);
                return;
            }
        }
        entered_ = false;
        pin_.reset();
        nodes_.next();
    }
}
