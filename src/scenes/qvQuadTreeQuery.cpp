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

// The node's fill_no is read afresh at every step: an in-place modify of
// the node changes nothing of it, and the pin keeps the page where it is.
void qvQuadTreeQuery::advance() {
    current_ = nullptr;
    for (qvQuadTreeNode* node = nodes_.get(); node != nullptr; node = nodes_.get()) {
        if (!pin_) {
            pin_.emplace(*tree_.device(), node->page_number(), false, 1.0f / static_cast<float>(node->z + 1));
            index_ = -1;
            if (!node->checked()) {
                try {
                    node->check(pin_->bytes());
                } catch (...) {
                    pin_.reset();
                    throw;
                }
            }
        }
        while (++index_ < node->fill_no) {
            qvShapeBase* const record = node->record_in(pin_->bytes(), index_);
            if (wanted(*record)) {
                current_ = record;
                return;
            }
        }
        pin_.reset();
        nodes_.next();
    }
}
