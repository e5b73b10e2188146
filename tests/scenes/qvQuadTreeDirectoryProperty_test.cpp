// The directory's query and path against slow models built from the plain
// enumeration: random trees grown and pruned, nodes whose boxes leave their
// cell, keys that follow each other closely and keys that jump.

#include <orvane/scenes/qvQuadTreeDirectory.hpp>

#include "scenes/qvQuadTreeCells.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

const qvMathRectOf<double> base(0.0, 0.0, 1000.0, 600.0);

using Key = qvQuadTreeHandleData;

Key parent(Key k) {
    if (k.z == 1) return {0, 0, 0};
    // Child c of (px, py) is (2px ± 1, 2py ± 1), and px is odd below the root.
    const auto up = [](int v) { return static_cast<std::int16_t>(((v + 1) / 2) % 2 != 0 ? (v + 1) / 2 : (v - 1) / 2); };
    return {up(k.x), up(k.y), static_cast<std::int16_t>(k.z - 1)};
}

bool on_path(Key cell, Key key) {
    while (key.z > cell.z) key = parent(key);
    return key == cell;
}

Key key_of(qvQuadTreeNode const* n) { return {n->x, n->y, n->z}; }

Key random_cell(std::mt19937& rng) {
    const int z = std::uniform_int_distribution<int>(0, 15)(rng);
    const int columns = 1 << z;
    std::uniform_int_distribution<int> column(0, columns - 1);
    const auto at = [&] { return static_cast<std::int16_t>(2 * column(rng) + 1 - columns); };
    const std::int16_t x = at(), y = at();
    return {x, y, static_cast<std::int16_t>(z)};
}

// Mostly the cell's rectangle; now and then any box, even one the cell
// does not hold or an inverted one.
qvQuadTreeNode* random_node(std::mt19937& rng, Key cell) {
    auto* n = new qvQuadTreeNode(nullptr);
    n->x = cell.x;
    n->y = cell.y;
    n->z = cell.z;
    n->bbox = qvCellRect(base, cell);
    if (std::uniform_int_distribution<int>(0, 9)(rng) == 0) {
        std::uniform_real_distribution<float> v(-50.0f, 1050.0f);
        n->bbox = qvMathRectOf<float>(qvRectOf<float>(v(rng), v(rng), v(rng), v(rng)));   // as drawn
    }
    return n;
}

bool meets(qvMathRectOf<float> const& b, qvMathRectOf<float> const& r) {
    return b.x2 > r.x1 && r.x2 > b.x1 && b.y2 > r.y1 && r.y2 > b.y1;
}

// A query yields a node that meets r unless a node before it in its own
// cell, or any node of a cell above it, does not.
std::vector<qvQuadTreeNode*> query_model(std::vector<qvQuadTreeNode*> const& all, qvMathRectOf<float> const& r) {
    std::vector<qvQuadTreeNode*> out;
    for (std::size_t i = 0; i < all.size(); ++i) {
        bool yielded = meets(all[i]->bbox, r);
        for (std::size_t j = 0; j < i && yielded; ++j)
            if (!meets(all[j]->bbox, r) && on_path(key_of(all[j]), key_of(all[i]))) yielded = false;
        if (yielded) out.push_back(all[i]);
    }
    return out;
}

std::vector<qvQuadTreeNode*> enumerated(qvQuadTreeDirectory const& d) {
    std::vector<qvQuadTreeNode*> out;
    for (qvQuadTreeDirectory::EnumerateIterator it(d); it.get() != nullptr; it.next()) out.push_back(it.get());
    return out;
}

}  // namespace

TEST(qvQuadTreeDirectoryProperty, Query_and_path_agree_with_the_enumeration_on_random_trees) {
    std::mt19937 rng(20261207);   // fixed seed: failures reproduce
    for (int tree = 0; tree < 40; ++tree) {
        qvQuadTreeDirectory d(base);
        std::vector<qvQuadTreeNode*> held;
        Key key{0, 0, 0};
        for (int round = 0; round < 300; ++round) {
            const int what = std::uniform_int_distribution<int>(0, 9)(rng);
            if (what < 5 || held.empty()) {
                held.push_back(random_node(rng, random_cell(rng)));
                d.add(held.back());
            } else if (what < 7) {
                const auto at = std::uniform_int_distribution<std::size_t>(0, held.size() - 1)(rng);
                d.remove(held[at]);
                held.erase(held.begin() + static_cast<std::ptrdiff_t>(at));
            }
            const std::vector<qvQuadTreeNode*> all = enumerated(d);
            // A neighbour of the last key (its cell's child or parent), a cell
            // at or below a node's, or any cell.
            const int pick = std::uniform_int_distribution<int>(0, 3)(rng);
            if (pick == 3 && !held.empty()) {
                key = key_of(held[std::uniform_int_distribution<std::size_t>(0, held.size() - 1)(rng)]);
                for (int down = std::uniform_int_distribution<int>(0, 15 - key.z)(rng); down > 0; --down)
                    key = {static_cast<std::int16_t>(2 * key.x - 1), static_cast<std::int16_t>(2 * key.y + 1),
                           static_cast<std::int16_t>(key.z + 1)};
            } else if (pick == 0 && key.z < 15)
                key = {static_cast<std::int16_t>(2 * key.x + 1), static_cast<std::int16_t>(2 * key.y - 1),
                       static_cast<std::int16_t>(key.z + 1)};
            else if (pick == 1 && key.z > 0)
                key = parent(key);
            else
                key = random_cell(rng);
            std::array<qvQuadTreeDirectory::CellNodes, 16> cells;
            const int n = d.path(key, cells);
            std::vector<qvQuadTreeNode*> expected, got;
            for (auto it = all.rbegin(); it != all.rend(); ++it)
                if (on_path(key_of(*it), key)) expected.insert(expected.begin(), *it);
            // The model lists cells shallow first, nodes in order; the path deepest first.
            for (int c = n - 1; c >= 0; --c)
                for (std::size_t i = 0; i < cells[static_cast<std::size_t>(c)].size(); ++i)
                    got.push_back(cells[static_cast<std::size_t>(c)][i]);
            ASSERT_EQ(got, expected) << "tree " << tree << " round " << round;
            const qvQuadTreeDirectory::CellNodes serving = d.serving(key);
            ASSERT_EQ(serving ? serving[0] : nullptr, n > 0 ? cells[0][0] : nullptr);

            std::uniform_real_distribution<double> v(-20.0, 1020.0);
            const double x = v(rng), y = v(rng);
            const qvMathRectOf<double> r(x, y, x + std::uniform_real_distribution<double>(0.0, 300.0)(rng),
                                         y + std::uniform_real_distribution<double>(0.0, 200.0)(rng));
            std::vector<qvQuadTreeNode*> walked;
            for (qvQuadTreeDirectory::QueryIterator it(d, r); it.get() != nullptr; it.next()) walked.push_back(it.get());
            const qvMathRectOf<float> rf(static_cast<float>(r.x1), static_cast<float>(r.y1), static_cast<float>(r.x2),
                                         static_cast<float>(r.y2));
            ASSERT_EQ(walked, query_model(all, rf)) << "tree " << tree << " round " << round;
        }
    }
}

// Trees whose nodes sit around the express level, the way a large load
// grows them, with deep keys: the cell that serves a key is the deepest on
// its path with nodes, also once cells above the express level lose their
// last node, and the open node is always the serving cell's node at its
// open place.
TEST(qvQuadTreeDirectoryProperty, Serving_and_the_open_node_agree_with_the_enumeration) {
    std::mt19937 rng(20261208);
    const auto cell_at = [&rng](int z) {
        const int columns = 1 << z;
        std::uniform_int_distribution<int> column(0, columns - 1);
        const auto at = [&] { return static_cast<std::int16_t>(2 * column(rng) + 1 - columns); };
        const std::int16_t x = at(), y = at();
        return Key{x, y, static_cast<std::int16_t>(z)};
    };
    for (int tree = 0; tree < 30; ++tree) {
        qvQuadTreeDirectory d(base);
        std::vector<qvQuadTreeNode*> held;
        for (int round = 0; round < 400; ++round) {
            const int what = std::uniform_int_distribution<int>(0, 9)(rng);
            if (what < 6 || held.empty()) {
                // Levels 0 to 3 sparse (whole regions change hands), 6 to 10 where loads put nodes.
                const int z = what == 0 ? std::uniform_int_distribution<int>(0, 3)(rng)
                                        : std::uniform_int_distribution<int>(6, 10)(rng);
                held.push_back(random_node(rng, cell_at(z)));
                d.add(held.back());
            } else if (what < 9) {
                const auto at = std::uniform_int_distribution<std::size_t>(0, held.size() - 1)(rng);
                d.remove(held[at]);
                held.erase(held.begin() + static_cast<std::ptrdiff_t>(at));
            }
            const std::vector<qvQuadTreeNode*> all = enumerated(d);
            for (int probe = 0; probe < 20; ++probe) {
                const Key key = cell_at(std::uniform_int_distribution<int>(9, 15)(rng));
                qvQuadTreeNode* expected = nullptr;   // the first node of the deepest cell with nodes
                for (qvQuadTreeNode* n : all)
                    if (on_path(key_of(n), key) && (expected == nullptr || n->z > expected->z)) expected = n;
                const qvQuadTreeDirectory::CellNodes serving = d.serving(key);
                ASSERT_EQ(serving ? serving[0] : nullptr, expected) << "tree " << tree << " round " << round;
                if (!serving) continue;
                const auto open = std::uniform_int_distribution<std::size_t>(0, serving.size())(rng);
                if (probe % 3 == 0) d.set_open(serving, open);
                ASSERT_EQ(d.open_node(key), serving.open() < serving.size() ? serving[serving.open()] : nullptr);
            }
        }
        for (qvQuadTreeNode* n : held) d.remove(n);
    }
}
