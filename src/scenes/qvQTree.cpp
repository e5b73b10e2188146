// qvQTree: the cell grid over the base rectangle and the split of a full
// node. The arithmetic itself lives in qvQuadTreeCells.

#include <orvane/scenes/qvQTree.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include "scenes/qvQuadTreeCells.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace {

constexpr int deepest = 15;
constexpr float kept_parent = 1.0f;   // the split node stays wanted
constexpr float new_child = 0.5f;

// One child cell of a split, in the order (x−, y−), (x+, y−), (x−, y+),
// (x+, y+) (position 0 … 3); a fill of −1 marks a child that has nodes.
struct Child {
    qvQuadTreeHandleData cell;
    int fill;
    int position;
    qvQuadTreeNode* node;
};

// The position of `cell` among the children of (x, y), or −1.
int child_position(qvQuadTreeHandleData const& cell, int x, int y, int z) noexcept {
    if (cell.z != z + 1) return -1;
    const bool right = cell.x == 2 * x + 1, up = cell.y == 2 * y + 1;
    if (!right && cell.x != 2 * x - 1) return -1;
    if (!up && cell.y != 2 * y - 1) return -1;
    return int{right} + 2 * int{up};
}

}  // namespace

qvQTree::qvQTree(qvPageDevice* device) noexcept : qvQuadTree(device) {}

qvQTree::qvQTree(qvPageDevice* device, qvMathRectOf<double> const& base) : qvQuadTree(device, base) {}

qvMathRectOf<float> qvQTree::handle_to_rect(qvQuadTreeHandleData const& h) {
    QV_ASSERT_TEXT(directory() != nullptr, "directory");
    return qvCellRect(directory()->base(), h);
}

qvQuadTreeHandleData qvQTree::rect_to_handle(qvMathRectOf<float> const& r) {
    QV_ASSERT_TEXT(directory() != nullptr, "directory");
    return qvCellOf(directory()->base(), r, deepest);
}

void qvQTree::rebalance(qvQuadTreeNode*) {}

// Two passes over the node's records: first the child cell of each and
// the fill each child would take, then, once every new node exists, the
// moves from the last record to the first. Nothing moves before the
// nodes are made, so a failing allocation leaves the records in place.
void qvQTree::split(qvQuadTreeNode* node, int size) {
    QV_ASSERT(node != nullptr);
    qvQuadTreeDirectory& dir = *directory();
    const int x = node->x, y = node->y, z = node->z;
    if (z < deepest) {
        std::array<Child, 4> children{};
        for (int c = 0; c < 4; ++c)
            children[static_cast<std::size_t>(c)] = {{static_cast<std::int16_t>(2 * x + (c & 1 ? 1 : -1)),
                                                      static_cast<std::int16_t>(2 * y + (c & 2 ? 1 : -1)),
                                                      static_cast<std::int16_t>(z + 1)},
                                                     0,
                                                     c,
                                                     nullptr};
        for (qvQuadTreeDirectory::ChildIterator it(dir, z + 1, 2 * x - 1, 2 * y - 1, 2 * x + 1, 2 * y + 1);
             it.get() != nullptr; it.next()) {
            qvQuadTreeNode const& n = *it.get();
            children[static_cast<std::size_t>(child_position({n.x, n.y, n.z}, x, y, z))].fill = -1;
        }

        node->lock(true);
        std::array<int, qvQuadTreeNode::slot_count> goes_to{};   // position, or −1 to stay
        int total = 0;
        bool damaged = false;
        try {
            for (int i = 0; i < node->fill_no; ++i) {
                const qvMathRectOf<float> box = (*node)[i].box;
                const int c = child_position(qvCellOf(dir.base(), box, z + 1), x, y, z);
                goes_to[static_cast<std::size_t>(i)] = c;
                if (c < 0) continue;
                Child& child = children[static_cast<std::size_t>(c)];
                if (child.fill < 0) {
                    damaged = true;   // records that fit a child with nodes are stored there
                    continue;
                }
                const int padded = node->size(i);
                child.fill += padded;
                total += padded;
            }
        } catch (...) {
            node->unlock(kept_parent);
            throw;
        }
        if (damaged) {
            node->unlock(kept_parent);
            qvRaise(qvErrorFrom<qvQuadTree>("Invalid or corrupt Orvane pagefile"));
        }

        if (total > 0) {
            std::array<Child, 4> order = children;
            std::stable_sort(order.begin(), order.end(), [](Child const& a, Child const& b) { return a.fill < b.fill; });
            int first_taken = 4, freed = 0;
            while (first_taken > 0 && freed < size && order[static_cast<std::size_t>(first_taken - 1)].fill > 0)
                freed += order[static_cast<std::size_t>(--first_taken)].fill;

            std::array<qvQuadTreeNode*, 4> made{};
            int made_count = 0;
            try {
                for (int k = first_taken; k < 4; ++k) {
                    Child& child = order[static_cast<std::size_t>(k)];
                    auto fresh = std::make_unique<qvQuadTreeNode>(device(), child.cell.x, child.cell.y, child.cell.z);
                    fresh->bbox = handle_to_rect(child.cell);
                    qvQuadTreeNode* const added = fresh.get();
                    dir.add(fresh.release());
                    added->lock(true);
                    made[static_cast<std::size_t>(made_count++)] = added;
                    children[static_cast<std::size_t>(child.position)].node = added;
                }
            } catch (...) {
                for (int k = 0; k < made_count; ++k) made[static_cast<std::size_t>(k)]->unlock(new_child);
                node->unlock(kept_parent);
                throw;
            }

            for (int i = node->fill_no - 1; i >= 0; --i) {
                const int c = goes_to[static_cast<std::size_t>(i)];
                if (c < 0) continue;
                qvQuadTreeNode* const target = children[static_cast<std::size_t>(c)].node;
                if (target == nullptr) continue;   // a child not taken
                const int padded = node->size(i);
                const int index = target->add(padded);
                std::memcpy(&(*target)[index], &(*node)[i], static_cast<std::size_t>(padded));
                node->fast_remove(i);
            }
            node->compress();
            for (int k = 0; k < made_count; ++k) made[static_cast<std::size_t>(k)]->unlock(new_child);
            node->unlock(kept_parent);
            return;
        }
    }

    try {
        auto extra = std::make_unique<qvQuadTreeNode>(device(), x, y, z);
        extra->bbox = handle_to_rect({static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                                      static_cast<std::int16_t>(z)});
        dir.add(extra.release());
    } catch (...) {
        node->unlock(kept_parent);
        throw;
    }
    node->unlock(kept_parent);
}
