// The polygon and box selectors' tests: containment and touch, the kinds
// judged by their points or by their box, the crossing primitives, and
// compact and exact copies answering alike.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/interaction/qvBoxSelector.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>

#include "qvSelectorTestRecords.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace selector_test;

struct PolygonTest : ::testing::Test {
    qvStandardPalette palette;
    qvRestrictedTransformation t = qvRestrictedTransformation::identity();
    qvBoxSelectorObject box{nullptr};

    bool in_box(Record const& r, Box const& b, bool touch) {
        box.setup(b, touch);
        return box.check_selection(r.get(), {&t, &palette});
    }
};

}  // namespace

TEST_F(PolygonTest, Containment_needs_every_point_inside) {
    const std::vector<Pt> inside = {{1, 1}, {5, 8}, {9, 2}};
    std::vector<Pt> one_out = inside;
    one_out[1] = {5, 11};
    for (bool is_compact : {true, false}) {
        const long kind = is_compact ? long{qvCompactPolylineKind} : long{qvExactPolylineKind};
        auto make_line = [&](std::vector<Pt> const& p) { return is_compact ? compact(kind, p) : exact(kind, p); };
        EXPECT_TRUE(in_box(make_line(inside), Box(0, 0, 10, 10), false));
        EXPECT_FALSE(in_box(make_line(one_out), Box(0, 0, 10, 10), false));
        EXPECT_TRUE(in_box(make_line(one_out), Box(0, 0, 10, 10), true));
        // A segment that meets the box's edge counts as crossing it, even
        // from a corner, so a line on the boundary is not contained...
        EXPECT_FALSE(in_box(make_line({{0, 0}, {10, 10}}), Box(0, 0, 10, 10), false));
    }
    // ... while points on the box's corners are inside it.
    EXPECT_TRUE(in_box(exact(qvExactPolyMarkerKind, {{0, 0}, {10, 10}}), Box(0, 0, 10, 10), false));
    EXPECT_TRUE(in_box(compact(qvCompactPolyMarkerKind, {{0, 0}, {10, 10}}), Box(0, 0, 10, 10), false));
    {
    }
}

TEST_F(PolygonTest, Touch_mode_selects_a_polygon_that_holds_the_whole_box) {
    const std::vector<Pt> big = {{-100, -100}, {100, -100}, {100, 100}, {-100, 100}};
    EXPECT_TRUE(in_box(exact(qvExactPolygonKind, big), Box(-1, -1, 1, 1), true));
    EXPECT_TRUE(in_box(compact(qvCompactPolygonKind, big), Box(-1, -1, 1, 1), true));
    EXPECT_FALSE(in_box(exact(qvExactPolygonKind, big), Box(-1, -1, 1, 1), false));
    // An open figure or markers around the box do not hold it.
    EXPECT_FALSE(in_box(exact(qvExactPolylineKind, big), Box(-1, -1, 1, 1), true));
    EXPECT_FALSE(in_box(exact(qvExactPolyMarkerKind, big), Box(-1, -1, 1, 1), true));
    // A segment crossing the box touches it though no point lies inside.
    EXPECT_TRUE(in_box(exact(qvExactPolylineKind, {{-5, 0}, {5, 0}}), Box(-1, -1, 1, 1), true));
    EXPECT_FALSE(in_box(exact(qvExactPolyMarkerKind, {{-5, 0}, {5, 0}}), Box(-1, -1, 1, 1), true));
}

TEST_F(PolygonTest, Exact_shapes_are_judged_by_their_points_not_their_box) {
    const std::vector<Pt> triangle = {{0, 0}, {10, 0}, {10, 10}};
    const Box above_diagonal(1, 8, 2, 9);  // inside the triangle's box, outside the triangle
    EXPECT_FALSE(in_box(exact(qvExactPolygonKind, triangle), above_diagonal, true));
    EXPECT_FALSE(in_box(compact(qvCompactPolygonKind, triangle), above_diagonal, true));
    EXPECT_FALSE(in_box(exact(qvExactPolylineKind, triangle), above_diagonal, true));
    EXPECT_TRUE(in_box(exact(qvExactPolygonKind, triangle), Box(8, 1, 9, 2), true));
    // Rectangles and arcs keep their box's corners.
    EXPECT_TRUE(in_box(make(qvArcKind, Box(0, 0, 10, 10)), above_diagonal, true));
    EXPECT_TRUE(in_box(make(qvRectangleKind, Box(2, 2, 3, 3)), Box(0, 0, 10, 10), false));
    EXPECT_FALSE(in_box(make(qvRectangleKind, Box(2, 2, 30, 3)), Box(0, 0, 10, 10), false));
    EXPECT_TRUE(in_box(make(5, Box(2, 2, 30, 3)), Box(0, 0, 10, 10), true));
}

TEST_F(PolygonTest, Bezier_figures_are_judged_one_by_one) {
    const std::vector<Node> two_figures = {{{1, 1}, qvPointOnCurve},
                                           {{2, 1}, qvPointOpenEnd},
                                           {{50, 50}, qvPointOnCurve},
                                           {{60, 50}, qvPointOnCurve},
                                           {{60, 60}, qvPointClosedEnd}};
    for (bool is_compact : {true, false}) {
        EXPECT_TRUE(in_box(bezier(is_compact, two_figures), Box(0, 0, 10, 10), true));
        EXPECT_FALSE(in_box(bezier(is_compact, two_figures), Box(0, 0, 10, 10), false));
        EXPECT_TRUE(in_box(bezier(is_compact, two_figures), Box(0, 0, 70, 70), false));
        // The closed figure holds the box; an open one would not.
        EXPECT_TRUE(in_box(bezier(is_compact, two_figures), Box(58, 51, 59, 52), true));
    }
    // A curve bulging out of the box fails containment though its nodes are in.
    const std::vector<Node> bulge = {
        {{1, 1}, qvPointOnCurve}, {{1, 30}, qvPointControl}, {{9, 30}, qvPointControl}, {{9, 1}, qvPointOpenEnd}};
    EXPECT_FALSE(in_box(bezier(false, bulge), Box(0, 0, 10, 10), false));
    EXPECT_TRUE(in_box(bezier(false, bulge), Box(0, 0, 10, 30), false));
    EXPECT_FALSE(in_box(bezier(false, {}), Box(0, 0, 10, 10), false));
}

TEST_F(PolygonTest, Ellipses_texts_and_images_are_judged_by_their_outlines) {
    EXPECT_TRUE(in_box(make(qvEllipseKind, Box(1, 1, 9, 9)), Box(0, 0, 10, 10), false));
    // The box's corner lies outside the ellipse's outline: no touch.
    EXPECT_FALSE(in_box(make(qvEllipseKind, Box(0, 0, 10, 10)), Box(0, 0, 0.5, 0.5), true));
    EXPECT_TRUE(in_box(make(qvEllipseKind, Box(0, 0, 10, 10)), Box(4, 4, 6, 6), true));
    const Record scaled = text(qvScaledTextKind, {0, 0}, "t", {20, 2, 8}, 6);  // device (0, -10, 20, 0)
    EXPECT_TRUE(in_box(scaled, Box(-1, -11, 21, 1), false));
    EXPECT_FALSE(in_box(scaled, Box(-1, -9, 21, 1), false));
    EXPECT_TRUE(in_box(scaled, Box(5, -5, 6, -4), true));
    const Record image = scaled_image({0, 0}, {10, 0}, {0, 10});
    EXPECT_TRUE(in_box(image, Box(-1, -1, 11, 11), false));
    EXPECT_FALSE(in_box(image, Box(0, 0, 10, 10), false));  // its edges lie on the box's
    EXPECT_TRUE(in_box(image, Box(5, 5, 6, 6), true));
    EXPECT_FALSE(in_box(restricted_image({0, 0}, 30, 10, 4 | 1), Box(0, 0, 10, 10), false));
}

TEST_F(PolygonTest, Non_convex_selection_polygon) {
    // A U shape: the notch (4..6, 4..10) is outside.
    Pt u[8] = {{0, 0}, {10, 0}, {10, 10}, {6, 10}, {6, 4}, {4, 4}, {4, 10}, {0, 10}};
    qvPolygonSelectorObject polygon(8, u, nullptr, false);
    auto sel = [&](Record const& r) { return polygon.check_selection(r.get(), {&t, &palette}); };
    EXPECT_TRUE(sel(exact(qvExactPolylineKind, {{1, 1}, {9, 1}, {9, 9}})));
    // Both ends in the arms, the segment across the notch: not contained.
    EXPECT_FALSE(sel(exact(qvExactPolylineKind, {{2, 8}, {8, 8}})));
    EXPECT_TRUE(sel(exact(qvExactPolyMarkerKind, {{2, 8}, {8, 8}})));
    polygon.setup(8, u, true);
    EXPECT_TRUE(sel(exact(qvExactPolylineKind, {{5, 20}, {5, 2}})));
    EXPECT_FALSE(sel(exact(qvExactPolylineKind, {{5, 20}, {5, 6}})));
}

TEST(qvPolygonSelectorPrimitives, Crossing_and_side) {
    using S = qvPolygonSelectorObject;
    EXPECT_EQ(S::side({0, 1}, {0, 0}, {1, 0}), 1);
    EXPECT_EQ(S::side({0, -1}, {0, 0}, {1, 0}), -1);
    EXPECT_EQ(S::side({5, 0}, {0, 0}, {1, 0}), 0);
    EXPECT_TRUE(S::intersection({0, -1}, {0, 1}, {-1, 0}, {1, 0}));
    EXPECT_FALSE(S::intersection({0, 1}, {0, 2}, {-1, 0}, {1, 0}));
    // An end point on the other segment's line counts as crossing.
    EXPECT_TRUE(S::intersection({0, 0}, {0, 1}, {-1, 0}, {1, 0}));
    // Collinear segments never cross, overlapping or not.
    EXPECT_FALSE(S::intersection({0, 0}, {2, 0}, {1, 0}, {3, 0}));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(S::intersection({nan, 0}, {0, 1}, {-1, 0}, {1, 0}));
    EXPECT_EQ(S::side({nan, 0}, {0, 0}, {1, 0}), 0);
}

TEST_F(PolygonTest, Non_finite_selection_or_shape_points_miss) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Record line = exact(qvExactPolylineKind, {{1, 1}, {2, 2}});
    const Record gon = exact(qvExactPolygonKind, {{-10, -10}, {10, -10}, {10, 10}});
    for (bool touch : {false, true}) {
        EXPECT_FALSE(in_box(line, Box(nan, 0, 10, 10), touch));
        EXPECT_FALSE(in_box(line, Box(0, 0, inf, nan), touch));
    }
    EXPECT_FALSE(in_box(exact(qvExactPolylineKind, {{nan, 1}, {2, 2}}), Box(0, 0, 10, 10), false));
    EXPECT_FALSE(in_box(exact(qvExactPolyMarkerKind, {{nan, 1}}), Box(0, 0, 10, 10), true));
    Pt nan_polygon[3] = {{nan, 0}, {10, 0}, {10, nan}};
    qvPolygonSelectorObject polygon(3, nan_polygon, nullptr, true);
    EXPECT_FALSE(polygon.check_selection(line.get(), {&t, &palette}));
    (void)gon;
}

TEST_F(PolygonTest, Compact_and_exact_copies_on_box_corners_answer_alike) {
    // Shapes whose points all lie on their box's corners decode exactly.
    const std::vector<std::vector<Pt>> shapes = {
        {{0, 0}, {10, 10}}, {{0, 0}, {10, 0}, {10, 10}}, {{0, 10}, {10, 10}, {10, 0}, {0, 0}}, {{3, 3}, {7, 9}}};
    const std::pair<long, long> kinds[] = {{qvCompactPolyMarkerKind, qvExactPolyMarkerKind},
                                           {qvCompactPolylineKind, qvExactPolylineKind},
                                           {qvCompactPolygonKind, qvExactPolygonKind}};
    const Box boxes[] = {Box(-1, -1, 11, 11), Box(1, 1, 9, 9), Box(4, 2, 6, 4), Box(-5, 4, 15, 6), Box(20, 20, 30, 30)};
    const Pt spots[] = {{0, 0}, {5, 5}, {5, 0}, {10, 4}, {3, 8}, {20, 20}};
    qvSpotSelectorObject spot(nullptr);
    const long marker = attribute(palette, {.marker_diameter = 2});
    for (auto const& pts : shapes)
        for (auto const& [c, e] : kinds) {
            const Record rc = compact(c, pts, marker), re = exact(e, pts, marker);
            for (Box const& b : boxes)
                for (bool touch : {false, true})
                    EXPECT_EQ(in_box(rc, b, touch), in_box(re, b, touch)) << c << " " << b.x1 << " " << touch;
            for (Pt const& p : spots)
                for (unsigned options : {0u, qvSelector::whole_area}) {
                    spot.setup(p, 1.0);
                    spot.options(options);
                    EXPECT_EQ(spot.check_selection(rc.get(), {&t, &palette}),
                              spot.check_selection(re.get(), {&t, &palette}))
                        << c << " " << p.x << "," << p.y << " " << options;
                }
        }
}
