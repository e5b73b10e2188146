// The crossing accumulators on their own: winding, bands and discs.

#include <orvane/interaction/qvPolyMarkerXPoint.hpp>
#include <orvane/interaction/qvPolygonXPoint.hpp>
#include <orvane/interaction/qvPolylineXPoint.hpp>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

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

TEST(qvPolylineXPoint, Band_is_width_over_two_plus_tolerance_with_square_ends) {
    qvPolylineXPoint x({0, 3}, 2.0, 2.0);  // r = 3
    EXPECT_EQ(x.radius(), 3.0);
    feed(x, {{-10, 0}, {10, 0}});
    EXPECT_TRUE(x.is_hit());
    qvPolylineXPoint beyond({0, 3.01}, 2.0, 2.0);
    feed(beyond, {{-10, 0}, {10, 0}});
    EXPECT_FALSE(beyond.is_hit());
    qvPolylineXPoint corner({13, 3}, 2.0, 2.0);  // the band's corner
    feed(corner, {{-10, 0}, {10, 0}});
    EXPECT_TRUE(corner.is_hit());
    qvPolylineXPoint past({13.01, 0}, 2.0, 2.0);
    feed(past, {{-10, 0}, {10, 0}});
    EXPECT_FALSE(past.is_hit());
    // A zero-length segment is a disc; one vertex alone hits nothing.
    qvPolylineXPoint dot({3, 0}, 0.0, 3.0);
    feed(dot, {{0, 0}});
    EXPECT_FALSE(dot.is_hit());
    feed(dot, {{0, 0}});
    EXPECT_TRUE(dot.is_hit());
    dot.reset();
    EXPECT_FALSE(dot.is_hit());
}

TEST(qvPolyMarkerXPoint, Radius_is_the_whole_diameter_plus_tolerance) {
    qvPolyMarkerXPoint at({0, 0}, 4, 4, 5.0);
    feed(at, {{100, 100}, {0, 9}});
    EXPECT_TRUE(at.is_hit());
    EXPECT_EQ(at.style(), 4);
    qvPolyMarkerXPoint off({0, 0}, 1, 4, 5.0);
    feed(off, {{0, 9.01}, {6.4, 6.4}});
    EXPECT_FALSE(off.is_hit());
}
