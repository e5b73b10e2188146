// The scale interaction's default bodies, seen through the rectangle
// adapter: the nine anchors, the refused codes, the edge and corner moves
// and resize.

#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

namespace {

using palette_test::expect_raises;

using Box = qvMathRectOf<double>;

// The point of `b` that anchor `code` names.
qvCrdOf<double> anchor_point(Box const& b, unsigned code) {
    const unsigned h = (code >> 2) & 3u, v = code & 3u;
    const double x = h == 1 ? b.x1 : h == 2 ? b.x2 : (b.x1 + b.x2) / 2;
    const double y = v == 1 ? b.y2 : v == 2 ? b.y1 : (b.y1 + b.y2) / 2;
    return {x, y};
}

class ScaleInteraction : public ::testing::Test {
protected:
    qvMemoryScene scene;
    qvRectangle rect{scene, 0, 0, 10, 10};
    qvAdapter<qvScaleInteraction> scaling{rect};
};

}  // namespace

TEST_F(ScaleInteraction, The_anchor_point_stays_for_each_of_the_nine_codes) {
    ASSERT_NE(scaling.get(), nullptr);
    for (unsigned code : {5u, 6u, 7u, 9u, 10u, 11u, 13u, 14u, 15u}) {
        SCOPED_TRACE(code);
        rect->rectangle(Box(0, 0, 10, 10));
        scaling->scale(code, 2, 3);
        const Box after = rect->rectangle();
        EXPECT_EQ(anchor_point(after, code), anchor_point(Box(0, 0, 10, 10), code));
        EXPECT_EQ(after.x2 - after.x1, 20);
        EXPECT_EQ(after.y2 - after.y1, 30);
    }
}

TEST_F(ScaleInteraction, Anchors_read_their_low_four_bits_and_refuse_the_rest_unchanged) {
    scaling->scale(5, 2, 2);
    EXPECT_EQ(rect->rectangle(), Box(0, -10, 20, 10));
    rect->rectangle(Box(0, 0, 10, 10));
    scaling->scale(15, 0.5);
    EXPECT_EQ(rect->rectangle(), Box(2.5, 2.5, 7.5, 7.5));
    rect->rectangle(Box(0, 0, 10, 10));
    scaling->scale(21, 2, 2);
    EXPECT_EQ(rect->rectangle(), Box(0, -10, 20, 10));
    for (unsigned bad : {0u, 8u, 1u, 4u, 12u, 16u}) {
        SCOPED_TRACE(bad);
        expect_raises<qvErrorFrom<qvScaleInteraction>>([&] { scaling->scale(bad, 2, 2); },
                                                       "Incorrect anchor point specified for scaling");
        EXPECT_EQ(rect->rectangle(), Box(0, -10, 20, 10));
    }
}

TEST_F(ScaleInteraction, Rectangle_corners_and_edges_move_and_swap_passed_edges) {
    scaling->move_lb(15, 0);
    EXPECT_EQ(rect->rectangle(), Box(10, 0, 15, 10));
    rect->rectangle(Box(0, 0, 10, 10));
    scaling->move_rb(2, 3);
    EXPECT_EQ(rect->rectangle(), Box(0, 3, 12, 10));
    scaling->move_lt(-1, -20);
    EXPECT_EQ(rect->rectangle(), Box(-1, -10, 12, 3));
    scaling->move_top(1);
    scaling->move_right(-13);
    EXPECT_EQ(rect->rectangle(), Box(-1, -10, -1, 4));
    scaling->move(qvCrdOf<double>(1, 10));
    EXPECT_EQ(rect->rectangle(), Box(0, 0, 0, 14));
    EXPECT_EQ(scaling->bbox(), rect->rectangle());
}

TEST_F(ScaleInteraction, Resize_gives_a_rectangle_the_request_and_a_compact_set_its_corner_and_size) {
    scaling->resize(Box(-3, 4, 5, 6.5));
    EXPECT_EQ(rect->rectangle(), Box(-3, 4, 5, 6.5));

    const qvCrdOf<double> outline[] = {{0, 0}, {8, 0}, {8, 4}, {0, 4}};
    const qvPolygon compact(scene, 4, outline);
    qvAdapter<qvScaleInteraction> frame(compact);
    ASSERT_NE(frame.get(), nullptr);
    frame->resize(Box(2, 2, 6, 10));
    EXPECT_EQ(frame->bbox(), Box(2, 2, 6, 10));
    EXPECT_EQ(compact->point(2), qvCrdOf<double>(6, 10));
}
