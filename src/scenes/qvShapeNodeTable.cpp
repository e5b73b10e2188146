// The node table of a scene's shape lists (see qvShapeNodeTable.hpp).

#include "scenes/qvShapeNodeTable.hpp"

#include <orvane/core/qvNumericConversion.hpp>

#include <algorithm>

namespace {

// Slots 0 .. 0x7FFFFFFF: the array never needs more elements than that.
constexpr std::size_t max_nodes = std::size_t{0x7FFFFFFF} + 1;

}  // namespace

qvShapeNodeTable::qvShapeNodeTable() : nodes_(1) {}

void qvShapeNodeTable::reserve(std::size_t more) {
    if (more <= free_count_)
        return;
    const std::size_t needed = nodes_.size() + (more - free_count_);
    // The highest slot the request could issue must fit a header's field.
    if (needed > max_nodes)
        qvCheckedInt32(static_cast<long long>(needed) - 1);
    if (needed <= nodes_.capacity())
        return;
    // Doubling keeps a run of single issues linear.
    nodes_.reserve(std::min(std::max(needed, 2 * nodes_.capacity()), max_nodes));
}

std::int32_t qvShapeNodeTable::issue(qvShapeBase* record, int list, int capacity) {
    std::int32_t slot = first_free_;
    if (slot != 0) {
        first_free_ = nodes_[static_cast<std::size_t>(slot)].next;
        --free_count_;
    } else {
        reserve(1);
        slot = static_cast<std::int32_t>(nodes_.size());
        nodes_.emplace_back();
    }
    Node& node = nodes_[static_cast<std::size_t>(slot)];
    node = Node{record, 0, 0, list, capacity};
    return slot;
}

void qvShapeNodeTable::release(std::int32_t slot) noexcept {
    Node& node = nodes_[static_cast<std::size_t>(slot)];
    node = Node{nullptr, first_free_, 0, -1, 0};
    first_free_ = slot;
    ++free_count_;
}
