// The winding accumulator on its own (the band and disc accumulators are
// pinned through the spot tests).

#include <orvane/interaction/qvPolygonXPoint.hpp>

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

using Pt = qvCrdOf<double>;

void feed(qvPolyXPoint& x, std::initializer_list<Pt> points) {
    for (Pt const& p : points) x.add_vertex(p.x, p.y);
}

}  // namespace

TEST(qvPolygonXPoint, Winding_decides_inside_without_repeating_the_first_vertex) {
    qvPolygonXPoint in({5, 5});
    feed(in, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    EXPECT_TRUE(in.is_hit());
    qvPolygonXPoint out({15, 5});
    feed(out, {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    EXPECT_FALSE(out.is_hit());
    qvPolygonXPoint nothing({0, 0});
    EXPECT_FALSE(nothing.is_hit());
    // Non-zero winding: the twice-wound centre of a pentagram is inside.
    qvPolygonXPoint star({0, 0});
    feed(star, {{0, 10}, {6, -8}, {-9.5, 3}, {9.5, 3}, {-6, -8}, {0, 10}});
    EXPECT_TRUE(star.is_hit());
}

TEST(qvPolygonXPoint, A_vertex_on_the_point_makes_it_inside) {
    qvPolygonXPoint p({10, 0});
    feed(p, {{0, 0}, {10, 0}, {20, 50}});
    EXPECT_TRUE(p.is_hit());
    qvPolygonXPoint single({3, 4});
    feed(single, {{3, 4}});
    EXPECT_TRUE(single.is_hit());
}

TEST(qvPolygonXPoint, Reset_forgets_an_open_figure_s_turns) {
    qvPolygonXPoint p({0, 0});
    feed(p, {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}});  // three quarters around
    EXPECT_TRUE(p.is_hit());
    p.reset();
    EXPECT_EQ(p.winding_sum(), 0.0);
    EXPECT_FALSE(p.is_hit());
    feed(p, {{100, 100}, {110, 100}, {110, 110}, {100, 110}, {100, 100}});
    EXPECT_FALSE(p.is_hit());
}
