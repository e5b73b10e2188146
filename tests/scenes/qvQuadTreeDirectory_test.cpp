// The cell directory: where add puts nodes, the order of the walk, what
// each iterator yields, and the pruning of empty cells on remove.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/scenes/qvQuadTreeDirectory.hpp>

#include "scenes/qvQuadTreeCells.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const qvMathRectOf<double> hundred(0.0, 0.0, 100.0, 100.0);

// A node object of cell (x, y, z) with its cell rectangle; `tag` tells
// nodes of one cell apart. No page: the directory never touches one.
qvQuadTreeNode* node(int x, int y, int z, int tag = 0) {
    auto* n = new qvQuadTreeNode(nullptr);
    n->x = static_cast<std::int16_t>(x);
    n->y = static_cast<std::int16_t>(y);
    n->z = static_cast<std::int16_t>(z);
    n->page = tag;
    if (qvIsQuadTreeCell({n->x, n->y, n->z})) n->bbox = qvCellRect(hundred, {n->x, n->y, n->z});
    return n;
}

std::string name(qvQuadTreeNode const* n) {
    std::string s = "(" + std::to_string(n->x) + "," + std::to_string(n->y) + "," + std::to_string(n->z) + ")";
    if (n->page != 0) s += "#" + std::to_string(n->page);
    return s;
}

template <class Iterator>
std::string walk(Iterator it) {
    std::string out;
    for (; it.get() != nullptr; it.next()) out += (out.empty() ? "" : " ") + name(it.get());
    EXPECT_TRUE(it.at_end());
    return out;
}

std::string all(qvQuadTreeDirectory const& d) { return walk(qvQuadTreeDirectory::EnumerateIterator(d)); }

std::string find(qvQuadTreeDirectory const& d, int x, int y, int z) {
    return walk(qvQuadTreeDirectory::FindIterator(d, {static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                                                      static_cast<std::int16_t>(z)}));
}

std::string query(qvQuadTreeDirectory const& d, double x1, double y1, double x2, double y2) {
    return walk(qvQuadTreeDirectory::QueryIterator(d, qvMathRectOf<double>(x1, y1, x2, y2)));
}

}  // namespace

TEST(qvQuadTreeDirectory, A_root_alone_is_found_for_every_cell_and_enumerated_once) {
    qvQuadTreeDirectory d(hundred);
    EXPECT_EQ(all(d), "");
    EXPECT_EQ(find(d, 0, 0, 0), "");
    d.add(node(0, 0, 0));
    EXPECT_EQ(d.count(), 1);
    EXPECT_EQ(all(d), "(0,0,0)");
    EXPECT_EQ(find(d, 0, 0, 0), "(0,0,0)");
    EXPECT_EQ(find(d, 32767, -32767, 15), "(0,0,0)");
}

TEST(qvQuadTreeDirectory, A_find_yields_the_path_deepest_cell_first) {
    qvQuadTreeDirectory d(hundred);
    d.add(node(0, 0, 0));
    d.add(node(-3, -3, 2));
    // (-1, -1, 1) was made on the way but has no nodes.
    EXPECT_EQ(find(d, -1, -1, 1), "(0,0,0)");
    EXPECT_EQ(find(d, -5, -5, 3), "(-3,-3,2) (0,0,0)");
    EXPECT_EQ(find(d, -3, -3, 2), "(-3,-3,2) (0,0,0)");
    EXPECT_EQ(find(d, -1, -3, 2), "(0,0,0)");
    EXPECT_EQ(find(d, 1, 1, 1), "(0,0,0)");
}

TEST(qvQuadTreeDirectory, Nodes_of_a_cell_keep_the_order_they_were_added_in) {
    qvQuadTreeDirectory d(hundred);
    d.add(node(1, 1, 1, 1));
    d.add(node(0, 0, 0, 1));
    d.add(node(1, 1, 1, 2));
    d.add(node(0, 0, 0, 2));
    EXPECT_EQ(all(d), "(0,0,0)#1 (0,0,0)#2 (1,1,1)#1 (1,1,1)#2");
    EXPECT_EQ(find(d, 3, 3, 2), "(1,1,1)#1 (1,1,1)#2 (0,0,0)#1 (0,0,0)#2");
}

// Pre-order: a cell's nodes, then its children (x-, y-), (x-, y+), (x+, y-),
// (x+, y+) with their subtrees.
TEST(qvQuadTreeDirectory, The_walk_visits_children_in_directory_order) {
    qvQuadTreeDirectory d(hundred);
    for (auto [x, y, z] : {std::tuple{1, 1, 1}, {3, -3, 2}, {-1, 1, 1}, {1, -1, 1}, {-1, -1, 1}, {-3, 1, 2}})
        d.add(node(x, y, z));
    d.add(node(0, 0, 0));
    EXPECT_EQ(all(d), "(0,0,0) (-1,-1,1) (-1,1,1) (-3,1,2) (1,-1,1) (3,-3,2) (1,1,1)");
    EXPECT_EQ(d.count(), 7);
}

TEST(qvQuadTreeDirectory, A_query_skips_cells_that_miss_or_only_touch_the_rectangle) {
    qvQuadTreeDirectory d(hundred);
    d.add(node(0, 0, 0));
    d.add(node(-1, -1, 1));
    d.add(node(-3, -3, 2));
    d.add(node(1, 1, 1));
    d.add(node(3, 3, 2));
    EXPECT_EQ(query(d, 10, 10, 20, 20), "(0,0,0) (-1,-1,1) (-3,-3,2)");
    // Touching the quarter's edge at x = 50 reaches neither of its nodes.
    EXPECT_EQ(query(d, 50, 60, 60, 70), "(0,0,0) (1,1,1)");
    EXPECT_EQ(query(d, 40, 40, 50, 50), "(0,0,0) (-1,-1,1)");
    EXPECT_EQ(query(d, 100, 100, 200, 200), "");
    EXPECT_EQ(query(d, -10, -10, 200, 200), "(0,0,0) (-1,-1,1) (-3,-3,2) (1,1,1) (3,3,2)");
}

TEST(qvQuadTreeDirectory, A_query_passes_through_cells_without_nodes) {
    qvQuadTreeDirectory d(hundred);
    d.add(node(-3, -3, 2));   // the root and (-1, -1, 1) have no nodes
    EXPECT_EQ(query(d, 10, 10, 20, 20), "(-3,-3,2)");
    EXPECT_EQ(query(d, 30, 30, 40, 40), "");
}

TEST(qvQuadTreeDirectory, The_child_iterator_yields_one_level_within_its_range) {
    qvQuadTreeDirectory d(hundred);
    for (auto [x, y, z] : {std::tuple{0, 0, 0}, {-1, -1, 2}, {1, 1, 2}, {-1, -1, 3}, {1, -1, 3}, {-1, 1, 3},
                           {1, 1, 3}, {3, 1, 3}, {-3, -1, 3}, {1, 1, 4}, {-1, -1, 4}})
        d.add(node(x, y, z));
    EXPECT_EQ(walk(qvQuadTreeDirectory::ChildIterator(d, 3, -1, -1, 1, 1)), "(-1,-1,3) (-1,1,3) (1,-1,3) (1,1,3)");
    EXPECT_EQ(walk(qvQuadTreeDirectory::ChildIterator(d, 3, 1, 1, 3, 1)), "(1,1,3) (3,1,3)");
    EXPECT_EQ(walk(qvQuadTreeDirectory::ChildIterator(d, 0, 0, 0, 0, 0)), "(0,0,0)");
    EXPECT_EQ(walk(qvQuadTreeDirectory::ChildIterator(d, 5, -31, -31, 31, 31)), "");
}

TEST(qvQuadTreeDirectory, Remove_prunes_empty_cells_up_to_the_root) {
    qvQuadTreeDirectory d(hundred);
    qvQuadTreeNode* const root = node(0, 0, 0);
    qvQuadTreeNode* const deep = node(-5, -5, 3);
    qvQuadTreeNode* const mid = node(-1, -1, 1);
    d.add(root);
    d.add(deep);
    d.add(mid);
    d.remove(deep);
    EXPECT_EQ(d.count(), 2);
    EXPECT_EQ(find(d, -5, -5, 3), "(-1,-1,1) (0,0,0)");
    d.remove(root);
    d.remove(mid);
    EXPECT_EQ(d.count(), 0);
    EXPECT_EQ(all(d), "");
    EXPECT_EQ(find(d, -1, -1, 1), "");
    // A new root cell comes with the next node.
    d.add(node(3, 3, 2));
    EXPECT_EQ(find(d, 7, 7, 3), "(3,3,2)");
    EXPECT_EQ(all(d), "(3,3,2)");
}

TEST(qvQuadTreeDirectory, Nodes_of_no_cell_and_strangers_are_refused) {
    qvQuadTreeDirectory d(hundred);
    EXPECT_THROW(d.add(node(2, 1, 3)), qvAssertionError);
    EXPECT_THROW(d.add(node(0, 0, 16)), qvAssertionError);
    qvQuadTreeNode* const root = node(0, 0, 0);
    d.add(root);
    qvQuadTreeNode stranger(nullptr);
    EXPECT_THROW(d.remove(&stranger), qvAssertionError);
    EXPECT_EQ(d.count(), 1);
}

// Walks keep indexes: a node added to a cell the walk stands on is no
// dangling position (a split while a query runs).
TEST(qvQuadTreeDirectory, A_walk_survives_nodes_added_meanwhile) {
    qvQuadTreeDirectory d(hundred);
    d.add(node(0, 0, 0, 1));
    qvQuadTreeDirectory::EnumerateIterator it(d);
    for (int k = 2; k < 40; ++k) d.add(node(0, 0, 0, k));
    d.add(node(1, 1, 1));
    int seen = 0;
    for (; it.get() != nullptr; it.next()) ++seen;
    EXPECT_EQ(seen, 40);
}
