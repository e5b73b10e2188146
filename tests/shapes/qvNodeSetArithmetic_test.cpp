// The arithmetic under every compact record: quantisation to 16-bit words
// and back (golden values pin the operation order, since stored words and
// so files depend on it), values that cannot be represented, the frame
// rule, the growing box, and the ring walk behind the neighbourhood reports.

#include <orvane/shapes/qvRelativeNodeSetProxyBase.hpp>

#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace {

using Word = qvCrdOf<std::uint16_t>;
using Q = qvRelativeNodeSetProxyBase;
using shape_test::raw;

std::uint32_t packed(Word w) { return std::uint32_t{w.x} | std::uint32_t{w.y} << 16; }

}  // namespace

TEST(qvNodeSetArithmetic, Quantisation_truncates_65535_times_the_offset_divided_by_the_extent) {
    const qvMathRectOf<double> box(0, 0, 10, 10);
    EXPECT_EQ(packed(Q::ext_to_int({10, 10}, box)), 0xFFFFFFFFu);
    EXPECT_EQ(packed(Q::ext_to_int({0, 0}, box)), 0u);
    EXPECT_EQ(Q::ext_to_int({5, 5}, box), (Word{32767, 32767}));   // 32767.5 truncated
    EXPECT_EQ(Q::int_to_ext({32767, 32767}, box), (qvCrdOf<double>(4.9999237048905165, 4.9999237048905165)));
    EXPECT_EQ(Q::ext_to_int({0.5, 0}, raw(0, 0, 100.5, 100)).x, 326);
    // Multiplied before it is divided: word 31 read back quantises to 31
    // again; dividing first would give 30.
    EXPECT_EQ(Q::ext_to_int(Q::int_to_ext({31, 31}, box), box), (Word{31, 31}));
    // x is read as x1 + extent * w / 65535, y as y1 + w * extent / 65535.
    const qvMathRectOf<double> odd(-3.1, 7.7, 1234.567, 89.01);
    const Word w{12345, 54321};
    EXPECT_EQ(Q::int_to_ext(w, odd).x, -3.1 + (1234.567 - -3.1) * 12345 / 65535.0);
    EXPECT_EQ(Q::int_to_ext(w, odd).y, 7.7 + 54321 * (89.01 - 7.7) / 65535.0);
}

TEST(qvNodeSetArithmetic, A_flat_axis_stores_fraction_0_and_reads_its_lower_edge) {
    const qvMathRectOf<double> flat = raw(3, 1, 3, 9);
    const Word w = Q::ext_to_int({3, 5}, flat);
    EXPECT_EQ(w.x, 0);
    EXPECT_EQ(w.y, 32767);
    EXPECT_EQ(Q::int_to_ext({40000, 0}, flat).x, 3.0);
    // An extent within DBL_EPSILON counts as flat; one just above it does not.
    EXPECT_EQ(Q::ext_to_int({1e-16, 0}, raw(0, 0, 2e-16, 1)).x, 0);
    EXPECT_EQ(Q::ext_to_int({2.3e-16, 0}, raw(0, 0, 2.3e-16, 1)).x, 65535);
    EXPECT_EQ(Q::ext_to_int({0, 4}, raw(0, 0, 1, -2e-16)).y, 0);
}

TEST(qvNodeSetArithmetic, Values_that_cannot_be_represented_quantise_to_0) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const qvMathRectOf<double> box(0, 0, 10, 10);
    EXPECT_EQ(packed(Q::ext_to_int({nan, nan}, box)), 0u);
    EXPECT_EQ(packed(Q::ext_to_int({inf, -inf}, box)), 0u);
    EXPECT_EQ(packed(Q::ext_to_int({1e300, -1e300}, box)), 0u);
    EXPECT_EQ(packed(Q::ext_to_int({1, 1}, raw(nan, nan, 10, 10))), 0u);
    EXPECT_EQ(packed(Q::ext_to_int({1, 1}, raw(0, 0, inf, inf))), 0u);
    // Beyond 16 bits but inside int32: the low 16 bits of the truncation.
    EXPECT_EQ(Q::ext_to_int({20, 0}, box).x, 65534);            // 131070 = 0x1FFFE
    EXPECT_EQ(Q::ext_to_int({-10, 0}, box).x, 1);                // -65535 = ...0001
}

TEST(qvNodeSetArithmetic, The_frame_rule_adds_100_to_an_extent_below_1_and_keeps_exactly_1) {
    qvMathRectOf<double> thin = raw(0, 0, 0.5, 0);
    Q::apply_minimum_extent(thin);
    EXPECT_EQ(thin, raw(0, 0, 100.5, 100));
    qvMathRectOf<double> unit = raw(0, 0, 1, 1);
    Q::apply_minimum_extent(unit);
    EXPECT_EQ(unit, raw(0, 0, 1, 1));
    // An inverted axis far below 100 stays inverted by less than the step:
    // x2 + 100 is still below x1, and the two are exchanged.
    qvMathRectOf<double> inverted = raw(500, 3, 10, 3.5);
    Q::apply_minimum_extent(inverted);
    EXPECT_EQ(inverted, raw(110, 3, 500, 103.5));
}

TEST(qvNodeSetArithmetic, The_box_starts_at_the_first_point_and_only_grows) {
    qvMathRectOf<double> box = raw(7, 7, 7, 7);
    bool started = false;
    Q::expand_bbox({3, 4}, box, started);
    EXPECT_TRUE(started);
    EXPECT_EQ(box, raw(3, 4, 3, 4));
    Q::expand_bbox({1, 9}, box, started);
    Q::expand_bbox({2, 5}, box, started);
    EXPECT_EQ(box, raw(1, 4, 3, 9));
    // An edge moved past its opposite one is exchanged with it (a compact
    // frame set inverted through its rectangle starts so).
    qvMathRectOf<double> reversed = raw(5, 5, 0, 0);
    Q::expand_bbox({3, -2}, reversed, started);
    EXPECT_EQ(reversed, raw(0, -2, 3, 0));
}

TEST(qvNodeSetArithmetic, The_ring_walk_visits_the_points_and_one_neighbour_each_side_going_round) {
    auto visits = [](std::int64_t from, std::int64_t n, std::int64_t count) {
        std::vector<std::int64_t> seen;
        Q::ring_box(from, n, count, [&](std::int64_t j) {
            seen.push_back(j);
            return qvCrdOf<double>(static_cast<double>(j), 0);
        });
        return seen;
    };
    using V = std::vector<std::int64_t>;
    EXPECT_EQ(visits(0, 1, 5), (V{4, 0, 1}));
    EXPECT_EQ(visits(2, 1, 5), (V{1, 2, 3}));
    EXPECT_EQ(visits(4, 1, 5), (V{3, 4, 0}));
    EXPECT_EQ(visits(0, 3, 5), (V{4, 0, 1, 2, 3}));
    EXPECT_EQ(visits(0, 5, 5), (V{4, 0, 1, 2, 3}));
    EXPECT_EQ(visits(5, 0, 5), (V{4, 0}));
    EXPECT_EQ(visits(0, 1, 0), V{});
    // Arguments a later check refuses stay inside the set.
    EXPECT_EQ(visits(0, -1, 5), (V{4}));
    EXPECT_EQ(visits(9, 1, 5), (V{0, 1, 2}));
    EXPECT_EQ(visits(1, 0x7FFFFFFF, 3), (V{0, 1, 2}));
    EXPECT_EQ(visits(INT32_MIN, 2, 3), (V{2, 0, 1}));
    EXPECT_EQ(Q::ring_box(0, 1, 0, [](std::int64_t) { return qvCrdOf<double>(5, 5); }), raw(0, 0, 0, 0));
}

TEST(qvNodeSetArithmetic, A_word_read_back_is_within_one_step_of_the_point) {
    std::mt19937 rng(20240927);
    std::uniform_real_distribution<double> any(-1e6, 1e6), unit(0, 1);
    for (int round = 0; round < 20000; ++round) {
        const qvMathRectOf<double> box(any(rng), any(rng), any(rng), any(rng));
        const qvCrdOf<double> p(box.x1 + unit(rng) * (box.x2 - box.x1), box.y1 + unit(rng) * (box.y2 - box.y1));
        const qvCrdOf<double> back = Q::int_to_ext(Q::ext_to_int(p, box), box);
        // Truncation moves towards the lower edge by less than one step;
        // rounding adds a few units in the last place of the coordinates.
        const double step_x = std::fabs(box.x2 - box.x1) / 65535.0, step_y = std::fabs(box.y2 - box.y1) / 65535.0;
        const double ulps = 1e-15 * 4e6;
        ASSERT_LE(std::fabs(back.x - p.x), step_x + ulps) << round;
        ASSERT_LE(std::fabs(back.y - p.y), step_y + ulps) << round;
    }
}
