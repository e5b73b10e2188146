// Tests of the banded storage of grid regions: the exact print of the
// canonical form, the input the grid ignores, aliasing, copies, and a
// property test against a cell bitmap.

#include <orvane/geometry/qvIRGrid.hpp>

#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;

const double not_a_number = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

// Stores the values as given, so inverted and NaN rectangles can be made.
Rect raw(double x1, double y1, double x2, double y2) {
    return Rect(qvRectOf<double>(x1, y1, x2, y2));
}

std::string printed(qvIRGrid const& g) {
    std::ostringstream os;
    g.print(os);
    return os.str();
}

qvIRGrid grid(std::initializer_list<Rect> rects) {
    qvIRGrid g;
    for (Rect const& r : rects) g.add(r);
    return g;
}

const std::string square = "0: 0:10 \n10: STRIP IS EMPTY\n";

}  // namespace

// --- the print of the canonical form ------------------------------------------

TEST(qvIRGrid, Prints_the_canonical_form_byte_for_byte) {
    // Each case starts from an empty grid: '+', '-', '*' are add, sub and mul
    // with a rectangle, 'A', 'S', 'M' the same with the grid of the rectangle.
    struct Step {
        char op;
        Rect r;
    };
    struct Case {
        std::vector<Step> steps;
        std::string expected;
    };
    const Rect sq(0, 0, 10, 10);
    const Case cases[] = {
        {{}, "GRID IS EMPTY\n"},
        {{{'+', sq}}, square},
        {{{'+', sq}, {'+', Rect(10, 0, 20, 10)}}, "0: 0:20 \n10: STRIP IS EMPTY\n"},
        {{{'+', sq}, {'+', Rect(0, 10, 10, 20)}}, "0: 0:10 \n20: STRIP IS EMPTY\n"},
        {{{'+', sq}, {'-', Rect(4, 0, 6, 10)}}, "0: 0:4 6:10 \n10: STRIP IS EMPTY\n"},
        {{{'+', sq}, {'-', Rect(4, 4, 6, 6)}},
         "0: 0:10 \n4: 0:4 6:10 \n6: 0:10 \n10: STRIP IS EMPTY\n"},
        {{{'+', sq}, {'-', sq}}, "GRID IS EMPTY\n"},
        {{{'+', sq}, {'*', Rect(5, 5, 20, 20)}}, "5: 5:10 \n10: STRIP IS EMPTY\n"},
        {{{'+', Rect(0, 0, 2, 1)}, {'+', Rect(4, 0, 5, 1)}, {'+', Rect(8, 0, 9, 1)},
          {'-', Rect(3, 0, 7, 1)}},
         "0: 0:2 8:9 \n1: STRIP IS EMPTY\n"},
        {{{'A', sq}, {'A', Rect(5, 5, 15, 15)}},
         "0: 0:10 \n5: 0:15 \n10: 5:15 \n15: STRIP IS EMPTY\n"},
        {{{'A', sq}, {'S', Rect(5, 5, 15, 15)}}, "0: 0:10 \n5: 0:5 \n10: STRIP IS EMPTY\n"},
        {{{'A', sq}, {'M', Rect(5, 5, 15, 15)}}, "5: 5:10 \n10: STRIP IS EMPTY\n"},
    };
    for (Case const& c : cases) {
        qvIRGrid g;
        for (Step const& s : c.steps) {
            const qvIRGrid other = grid({s.r});
            switch (s.op) {
            case '+': g.add(s.r); break;
            case '-': g.sub(s.r); break;
            case '*': g.mul(s.r); break;
            case 'A': g.add(other); break;
            case 'S': g.sub(other); break;
            case 'M': g.mul(other); break;
            }
        }
        EXPECT_EQ(printed(g), c.expected);
    }
}

TEST(qvIRGrid, Print_without_a_stream_writes_to_standard_output) {
    const qvIRGrid g = grid({Rect(0, 0, 10, 10)});
    testing::internal::CaptureStdout();
    g.print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), square);
}

TEST(qvIRGrid, Keys_and_ends_print_with_default_double_formatting) {
    qvIRGrid g = grid({Rect(-inf, 0, inf, 1e6)});
    g.sub(Rect(0, 0, 1, 1e6));
    EXPECT_EQ(printed(g), "0: -inf:0 1:inf \n1e+06: STRIP IS EMPTY\n");

    const qvIRGrid everything = grid({Rect(-DBL_MAX, -DBL_MAX, DBL_MAX, DBL_MAX)});
    EXPECT_EQ(printed(everything),
              "-1.79769e+308: -1.79769e+308:1.79769e+308 \n1.79769e+308: STRIP IS EMPTY\n");
}

TEST(qvIRGrid, Negative_zero_is_the_same_key_and_keeps_its_sign) {
    qvIRGrid g = grid({Rect(0, -0.0, 10, 10)});
    g.add(Rect(0, 0.0, 20, 5));
    EXPECT_EQ(printed(g), "-0: 0:20 \n5: 0:10 \n10: STRIP IS EMPTY\n");
    EXPECT_EQ(g, grid({Rect(0, 0, 20, 5), Rect(0, 5, 10, 10)}));
}

// --- normalisation -------------------------------------------------------------

TEST(qvIRGrid, Optimize_gives_the_bounding_box_and_keeps_the_canonical_grid) {
    qvIRGrid g;
    Rect box(7, 7, 8, 8);
    g.optimize(box);
    EXPECT_EQ(box, Rect::make_empty());

    g = grid({Rect(0, 0, 10, 10), Rect(20, 0, 30, 5)});
    const std::string before = printed(g);
    g.optimize(box);
    EXPECT_EQ(box, Rect(0, 0, 30, 10));
    EXPECT_EQ(printed(g), before);
}

TEST(qvIRGrid, Simple_only_when_empty_in_canonical_form) {
    qvIRGrid g;
    EXPECT_TRUE(g.empty());
    EXPECT_TRUE(g.simple());
    g.add(Rect(0, 0, 1, 1));
    EXPECT_FALSE(g.empty());
    EXPECT_FALSE(g.simple());
    g.erase();
    EXPECT_EQ(printed(g), "GRID IS EMPTY\n");
}

// --- input that holds no area --------------------------------------------------

TEST(qvIRGrid, Zero_extent_rectangles_change_nothing) {
    for (Rect const& r : {Rect(5, 0, 5, 10), Rect(0, 5, 10, 5)}) {
        qvIRGrid g = grid({Rect(0, 0, 10, 10)});
        g.sub(r);
        EXPECT_EQ(printed(g), square) << "sub";
        g.add(r);
        EXPECT_EQ(printed(g), square) << "add";
    }
    qvIRGrid g = grid({Rect(0, 0, 10, 10)});
    g.add(Rect(5, 0, 5, 20));   // zero width sticking out above
    EXPECT_EQ(printed(g), square);
}

TEST(qvIRGrid, Intersection_with_nothing_in_common_leaves_an_empty_grid) {
    for (Rect const& r : {Rect(0, -20, 10, -10), Rect(0, -20, 10, 0), Rect(5, 0, 5, 10),
                          Rect(0, 5, 10, 5), Rect(20, 0, 30, 10)}) {
        qvIRGrid g = grid({Rect(0, 0, 10, 10)});
        g.mul(r);
        EXPECT_EQ(printed(g), "GRID IS EMPTY\n");
    }
}

TEST(qvIRGrid, Inverted_and_NaN_rectangles_are_ignored_by_add_and_sub_and_erase_in_mul) {
    const double n = not_a_number;
    for (Rect const& r : {raw(5, 5, 1, 1), raw(0, 5, 10, 1), raw(n, 0, 5, 5), raw(0, 0, 5, n),
                          raw(n, n, n, n)}) {
        qvIRGrid g = grid({Rect(0, 0, 10, 10)});
        g.add(r);
        EXPECT_EQ(printed(g), square);
        g.sub(r);
        EXPECT_EQ(printed(g), square);
        g.mul(r);
        EXPECT_TRUE(g.empty());
        g.add(r);   // into an empty grid, too
        EXPECT_TRUE(g.empty());
    }
}

// --- aliasing and copies ------------------------------------------------------

TEST(qvIRGrid, Operations_with_itself) {
    const qvIRGrid original = grid({Rect(0, 0, 10, 10), Rect(5, 5, 15, 15), Rect(20, 0, 30, 3)});
    qvIRGrid g = original;
    g.add(g);
    EXPECT_EQ(printed(g), printed(original));
    g.mul(g);
    EXPECT_EQ(printed(g), printed(original));
    qvIRGrid& alias = g;
    g = alias;
    EXPECT_EQ(printed(g), printed(original));
    g.sub(g);
    EXPECT_TRUE(g.empty());
}

TEST(qvIRGrid, Copies_are_deep) {
    const qvIRGrid original = grid({Rect(0, 0, 10, 10), Rect(20, 0, 30, 3)});
    const std::string before = printed(original);
    qvIRGrid copy(original);
    copy.sub(Rect(1, 1, 2, 2));
    qvIRGrid assigned;
    assigned = original;
    assigned.add(Rect(0, 0, 40, 40));
    EXPECT_EQ(printed(original), before);
    EXPECT_EQ(original, grid({Rect(0, 0, 10, 10), Rect(20, 0, 30, 3)}));
    EXPECT_NE(copy, original);
    EXPECT_NE(assigned, original);
}

TEST(qvIRGrid, Equal_sets_built_differently_compare_equal) {
    const qvIRGrid a = grid({Rect(0, 0, 10, 5), Rect(0, 5, 5, 10)});
    qvIRGrid b = grid({Rect(0, 0, 10, 10)});
    b.sub(Rect(5, 5, 10, 10));
    qvIRGrid c = grid({Rect(0, 0, 5, 10), Rect(3, 0, 10, 5), Rect(2, 2, 4, 4)});
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    EXPECT_EQ(a, c);
    c.sub(Rect(9, 0, 10, 1));
    EXPECT_TRUE(a != c);
    EXPECT_FALSE(a == c);
}

// --- strips on their own ---------------------------------------------------------

TEST(qvIRStrip, Strip_operations_merge_touching_and_drop_empty_pieces) {
    qvIRStrip s, t;
    s.add(0, 2);
    s.add(4, 6);
    s.add(2, 4);   // touches both: one interval
    t.add(1, 3);
    t.add(5, 9);
    qvIRStrip u = s;
    u.add(t);
    qvIRStrip d = s;
    d.sub(t);
    qvIRStrip m = s;
    m.mul(t);
    auto text = [](qvIRStrip const& x) {
        std::ostringstream os;
        x.print(os);
        return os.str();
    };
    EXPECT_EQ(text(s), "0:6 ");
    EXPECT_EQ(text(u), "0:9 ");
    EXPECT_EQ(text(d), "0:1 3:5 ");
    EXPECT_EQ(text(m), "1:3 5:6 ");
    u.add(u);
    EXPECT_EQ(text(u), "0:9 ");
    m.mul(m);
    EXPECT_EQ(text(m), "1:3 5:6 ");
    d.sub(d);
    EXPECT_EQ(text(d), "STRIP IS EMPTY");
}

// --- property test ---------------------------------------------------------------

namespace {

constexpr int lattice = 16;
using Cells = std::array<std::array<bool, lattice>, lattice>;   // [y][x]

// Coordinates 0..16, drawn independently: about half the rectangles are
// inverted on some axis, and zero extents are common. A few hold NaN.
Rect random_rect(std::mt19937& rng) {
    std::uniform_int_distribution<int> coord(0, lattice);
    double v[4];
    for (double& x : v) x = coord(rng);
    if (std::uniform_int_distribution<int>(0, 40)(rng) == 0) v[rng() % 4] = not_a_number;
    return raw(v[0], v[1], v[2], v[3]);
}

bool holds_area(Rect const& r) { return r.x1 < r.x2 && r.y1 < r.y2; }

void paint(Cells& cells, Rect const& r, bool value) {
    for (int y = static_cast<int>(r.y1); y < static_cast<int>(r.y2); ++y)
        for (int x = static_cast<int>(r.x1); x < static_cast<int>(r.x2); ++x) cells[y][x] = value;
}

Cells cells_of(qvIRGrid const& g) {
    Cells cells{};
    auto const& rows = g.rows();
    for (auto i = rows.begin(); i != rows.end() && std::next(i) != rows.end(); ++i)
        for (qvIRInterval const& iv : i->second)
            paint(cells, Rect(iv.start, i->first, iv.end, std::next(i)->first), true);
    return cells;
}

// The canonical grid of a cell set, built one lattice row at a time.
qvIRGrid grid_of(Cells const& cells) {
    qvIRGrid g;
    for (int y = 0; y < lattice; ++y)
        for (int x = 0; x < lattice;) {
            if (!cells[y][x]) {
                ++x;
                continue;
            }
            int end = x;
            while (end < lattice && cells[y][end]) ++end;
            g.add(Rect(x, y, end, y + 1));
            x = end;
        }
    return g;
}

testing::AssertionResult is_canonical(qvIRGrid const& g) {
    auto const& rows = g.rows();
    if (rows.empty()) return testing::AssertionSuccess();
    if (rows.size() == 1) return testing::AssertionFailure() << "exactly one row";
    if (rows.begin()->second.empty()) return testing::AssertionFailure() << "first row empty";
    if (!std::prev(rows.end())->second.empty())
        return testing::AssertionFailure() << "last row not empty";
    const qvIRStrip* below = nullptr;
    for (auto const& [key, strip] : rows) {
        if (below && *below == strip)
            return testing::AssertionFailure() << "row " << key << " equals the row below";
        below = &strip;
        const qvIRInterval* left = nullptr;
        for (qvIRInterval const& iv : strip) {
            if (!(iv.start < iv.end))
                return testing::AssertionFailure() << "row " << key << ": no length";
            if (left && !(left->end < iv.start))
                return testing::AssertionFailure() << "row " << key << ": unsorted or touching";
            left = &iv;
        }
    }
    return testing::AssertionSuccess();
}

void apply_to_cells(Cells& cells, int op, Rect const& r) {
    if (op == 2 && !holds_area(r)) cells = Cells{};
    if (!holds_area(r)) return;
    if (op == 0) paint(cells, r, true);
    if (op == 1) paint(cells, r, false);
    if (op == 2) {
        Cells kept{};
        for (int y = 0; y < lattice; ++y)
            for (int x = 0; x < lattice; ++x)
                kept[y][x] = cells[y][x] && x >= r.x1 && x < r.x2 && y >= r.y1 && y < r.y2;
        cells = kept;
    }
}

void apply_to_cells(Cells& cells, int op, Cells const& other) {
    for (int y = 0; y < lattice; ++y)
        for (int x = 0; x < lattice; ++x) {
            if (op == 0) cells[y][x] = cells[y][x] || other[y][x];
            if (op == 1) cells[y][x] = cells[y][x] && !other[y][x];
            if (op == 2) cells[y][x] = cells[y][x] && other[y][x];
        }
}

void apply(qvIRGrid& g, int op, Rect const& r) {
    if (op == 0) g.add(r);
    if (op == 1) g.sub(r);
    if (op == 2) g.mul(r);
}

void apply(qvIRGrid& g, int op, qvIRGrid const& other) {
    if (op == 0) g.add(other);
    if (op == 1) g.sub(other);
    if (op == 2) g.mul(other);
}

qvIRGrid random_grid(std::mt19937& rng, Cells& cells) {
    qvIRGrid g;
    cells = Cells{};
    const int steps = std::uniform_int_distribution<int>(0, 5)(rng);
    for (int i = 0; i < steps; ++i) {
        const Rect r = random_rect(rng);
        const int op = i < 2 ? 0 : static_cast<int>(rng() % 2);
        apply(g, op, r);
        apply_to_cells(cells, op, r);
    }
    return g;
}

}  // namespace

TEST(qvIRGridProperty, Every_operation_agrees_with_a_cell_bitmap_and_stays_canonical) {
    std::mt19937 rng(20240617);   // fixed seed: failures reproduce
    for (int sequence = 0; sequence < 400; ++sequence) {
        qvIRGrid g;
        Cells expected{};
        for (int step = 0; step < 40; ++step) {
            const int op = static_cast<int>(rng() % 3);
            const int operand = static_cast<int>(rng() % 8);
            std::string what;
            if (operand < 4) {
                const Rect r = random_rect(rng);
                apply(g, op, r);
                apply_to_cells(expected, op, r);
                what = "rect";
            } else if (operand < 7) {
                Cells other_cells;
                const qvIRGrid other = random_grid(rng, other_cells);
                apply(g, op, other);
                apply_to_cells(expected, op, other_cells);
                what = "grid";
            } else {
                apply(g, op, g);
                if (op == 1) expected = Cells{};
                what = "itself";
            }
            const std::string where = "sequence " + std::to_string(sequence) + " step " +
                                      std::to_string(step) + " op " + std::to_string(op) +
                                      " with " + what + "\n" + printed(g);
            ASSERT_TRUE(is_canonical(g)) << where;
            ASSERT_EQ(cells_of(g), expected) << where;
            const qvIRGrid canonical = grid_of(expected);
            ASSERT_TRUE(g == canonical) << where;
            ASSERT_FALSE(g != canonical) << where;
            ASSERT_EQ(printed(g), printed(canonical)) << where;
        }
        Rect box;
        const std::string before = printed(g);
        g.optimize(box);
        ASSERT_EQ(printed(g), before) << "sequence " << sequence;
    }
}
