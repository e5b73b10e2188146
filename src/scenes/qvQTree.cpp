// qvQTree: the cell grid over the base rectangle and the split of a full
// node. The arithmetic itself lives in qvQuadTreeCells.

#include <orvane/scenes/qvQTree.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/scenes/qvPageDevice.hpp>

#include "scenes/qvQuadTreeCells.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace {

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

// Which child each record of a locked node would move to, and the fill
// each child would take. Records of a child that already has nodes stay:
// `blocked` counts them.
struct Plan {
    std::array<int, qvQuadTreeNode::slot_count> goes_to{};   // position, or −1 to stay
    std::array<Child, 4> children{};
    int total = 0;
    int blocked = 0;
};

Plan plan_for(qvQuadTreeNode& node, std::array<Child, 4> const& children, qvMathRectOf<double> const& base) {
    Plan plan;
    plan.children = children;
    const int x = node.x, y = node.y, z = node.z;
    for (int i = 0; i < node.fill_no; ++i) {
        const qvMathRectOf<float> box = node[i].box;
        int c = child_position(qvCellOf(base, box, z + 1), x, y, z);
        if (c >= 0 && plan.children[static_cast<std::size_t>(c)].fill < 0) {
            ++plan.blocked;
            c = -1;
        }
        plan.goes_to[static_cast<std::size_t>(i)] = c;
        if (c < 0) continue;
        const int padded = node.size(i);
        plan.children[static_cast<std::size_t>(c)].fill += padded;
        plan.total += padded;
    }
    return plan;
}

// A split that cannot finish (a full disk refuses a page it must lock)
// takes its new, still empty children out again: a child left with nodes
// while the parent keeps the records that belong there is what the next
// split of the cell refuses as a corrupt file. Their pages go back to the
// allocator when it can still have them; else they stay marked used, lost
// space but never a page named twice.
void take_back(qvQTree& tree, std::array<qvQuadTreeNode*, 4> const& made, int made_count) {
    qvQuadTreeDirectory& dir = *tree.directory();
    for (int k = made_count - 1; k >= 0; --k) {
        qvQuadTreeNode* const node = made[static_cast<std::size_t>(k)];
        const long page = node->page_number();
        dir.remove(node);
        try {
            tree.device()->free(page);
        } catch (qvError const&) {
        }
    }
}

// The fullest children, until they free at least size bytes, get new nodes
// (made in ascending order of fill, equal fills by position); their records
// move from the last to the first. The nodes are made while no page is
// locked (from's read lock ends first): over a mapped file the view grows
// only then, and a split may take more new pages than it keeps spare.
// Nothing changed in from meanwhile, so the plan still holds once it is
// locked again.
void move_down(qvQTree& tree, qvQuadTreeNode& from, Plan const& plan, int size) {
    qvQuadTreeDirectory& dir = *tree.directory();
    std::array<Child, 4> order = plan.children;
    std::stable_sort(order.begin(), order.end(), [](Child const& a, Child const& b) { return a.fill < b.fill; });
    int first_taken = 4, freed = 0;
    while (first_taken > 0 && freed < size && order[static_cast<std::size_t>(first_taken - 1)].fill > 0)
        freed += order[static_cast<std::size_t>(--first_taken)].fill;

    std::array<qvQuadTreeNode*, 4> made{};
    std::array<qvQuadTreeNode*, 4> target{};   // by position
    int made_count = 0;
    from.unlock(kept_parent);
    try {
        for (int k = first_taken; k < 4; ++k) {
            Child const& child = order[static_cast<std::size_t>(k)];
            auto fresh = std::make_unique<qvQuadTreeNode>(tree.device(), child.cell.x, child.cell.y, child.cell.z);
            fresh->bbox = tree.handle_to_rect(child.cell);
            qvQuadTreeNode* const added = fresh.get();
            dir.add(fresh.release());
            made[static_cast<std::size_t>(made_count++)] = added;
            target[static_cast<std::size_t>(child.position)] = added;
        }
        from.lock(true);
        for (int k = 0; k < made_count; ++k) made[static_cast<std::size_t>(k)]->lock(true);
    } catch (...) {
        for (int k = 0; k < made_count; ++k) made[static_cast<std::size_t>(k)]->unlock(new_child);
        from.unlock(kept_parent);
        take_back(tree, made, made_count);
        throw;
    }

    // Moved records leave from's cell: its handle index must not send
    // lookups to from for them.
    auto* const handles = dir.serving({from.x, from.y, from.z}).handles();
    for (int i = from.fill_no - 1; i >= 0; --i) {
        const int c = plan.goes_to[static_cast<std::size_t>(i)];
        if (c < 0) continue;
        qvQuadTreeNode* const to = target[static_cast<std::size_t>(c)];
        if (to == nullptr) continue;   // a child not taken
        const int padded = from.size(i);
        const int index = to->add(padded);
        std::memcpy(&(*to)[index], &from[i], static_cast<std::size_t>(padded));
        if (handles != nullptr) {
            const auto entry = handles->find(from[i].shape_handle);
            if (entry != handles->end() && entry->second == &from) handles->erase(entry);
        }
        from.fast_remove(i);
    }
    from.compress();
    for (int k = 0; k < made_count; ++k) made[static_cast<std::size_t>(k)]->unlock(new_child);
    from.unlock(kept_parent);
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
    return qvCellOf(directory()->base(), r, qvQuadTreeDeepest);
}

void qvQTree::rebalance(qvQuadTreeNode*) {}

// The node to split is `node` (the first of its cell, when create calls)
// or, when none of its records can move, the next node of the cell that
// has records to move: a cell whose first node holds only records across
// its centre lines would otherwise grow a new node at every split, and
// records of children without nodes would pile up in its later nodes for
// good (a bulk load in Morton order meets that in every cell). Nodes
// found with nothing to move are settled and not read again until a
// record is added to them.
//
// Moving is two passes over the chosen node's records: the plan (the child
// of each, the fill of each child), then, once every new node exists, the
// moves from the last record to the first. Nothing moves before the nodes
// are made and locked, so a failing allocation or lock leaves the records
// in place and the nodes made so far are taken out again; and no
// page of the tree is locked while one is made, so a mapped file's view can
// grow for each (node and candidates are let go once read).
void qvQTree::split(qvQuadTreeNode* node, int size) {
    QV_ASSERT(node != nullptr);
    qvQuadTreeDirectory& dir = *directory();
    const int x = node->x, y = node->y, z = node->z;
    const qvQuadTreeHandleData own{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                                   static_cast<std::int16_t>(z)};
    if (z < qvQuadTreeDeepest) {
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

        const qvQuadTreeDirectory::CellNodes cell = dir.serving(own);
        const bool first_of_cell = cell.size() > 0 && cell[0] == node;
        std::size_t next = 0;
        while (next < cell.size() && cell[next] != node) ++next;
        qvQuadTreeNode* candidate = node;
        Plan plan;
        try {
            while (candidate != nullptr) {
                if (!candidate->settled()) {
                    candidate->lock(false);
                    plan = plan_for(*candidate, children, dir.base());
                    // A cell's first node never keeps a record that fits a
                    // child with nodes: create would have stored it there.
                    if (candidate == node && first_of_cell && plan.blocked > 0)
                        qvRaise(qvErrorFrom<qvQuadTree>("Invalid or corrupt Orvane pagefile"));
                    if (plan.total > 0) break;
                    candidate->settle();
                    candidate->unlock(kept_parent);
                }
                ++next;
                candidate = next < cell.size() ? cell[next] : nullptr;
            }
            if (candidate != nullptr) move_down(*this, *candidate, plan, size);
        } catch (...) {
            if (candidate != nullptr) candidate->unlock(kept_parent);
            node->unlock(kept_parent);
            throw;
        }
        if (candidate != nullptr) {
            node->unlock(kept_parent);
            dir.reopen(*candidate);
            return;
        }
    }

    node->unlock(kept_parent);
    auto extra = std::make_unique<qvQuadTreeNode>(device(), x, y, z);
    extra->bbox = handle_to_rect(own);
    dir.add(extra.release());
}

