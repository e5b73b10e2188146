// The spot selector's test of each kind of record, called directly with a
// transformation and a palette (tolerance 5 unless stated).

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>

#include "interaction/qvSelectorFlatness.hpp"
#include "qvSelectorTestRecords.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace selector_test;

constexpr unsigned area_flag = qvSelector::whole_area;

// A spot selector whose corner computations and axis flags tests reach.
class OpenSpot : public qvSpotSelectorObject {
public:
    OpenSpot() : qvSpotSelectorObject(Pt{0, 0}, nullptr) {}
    using qvSelector::axes;
    using qvSelector::image_corners;
    using qvSelector::text_corners;
};

struct SpotTest : ::testing::Test {
    qvStandardPalette palette;
    qvRestrictedTransformation t = qvRestrictedTransformation::identity();
    qvSpotSelectorObject spot{Pt{0, 0}, nullptr};

    bool hit(Record const& r, Pt p, unsigned options = 0, double tolerance = 5.0) {
        spot.setup(p, tolerance);
        spot.options(options);
        return spot.check_selection(r.get(), {&t, &palette});
    }
    long style(Style const& s) { return attribute(palette, s); }
};

}  // namespace

TEST_F(SpotTest, Arcs_pie_slices_and_other_kinds_are_hit_by_strict_box_overlap) {
    for (long kind : {long{qvArcKind}, long{qvPieSliceKind}, 3L}) {
        const Record overlapping = make(kind, Box(4.5, -1, 10, 1));
        const Record touching = make(kind, Box(5, -1, 10, 1));
        EXPECT_TRUE(hit(overlapping, {0, 0})) << kind;
        EXPECT_FALSE(hit(touching, {0, 0})) << kind;
        EXPECT_FALSE(hit(overlapping, {0, 0}, area_flag, 4.5)) << kind;
    }
    // Mapped first: the record box (1, 0, 2, 1) lands on (10, 0, 20, 10).
    t = qvRestrictedTransformation(10, 10, 0, 0);
    EXPECT_TRUE(hit(make(qvArcKind, Box(1, 0, 2, 1)), {5.5, 5}));
    EXPECT_FALSE(hit(make(qvArcKind, Box(1, 0, 2, 1)), {5, 5}));
}

TEST_F(SpotTest, Hollow_rectangle_is_hit_along_its_outline_only) {
    const Record hollow = make(qvRectangleKind, Box(0, 0, 100, 100), 0, style({.line_width = 0}));
    EXPECT_FALSE(hit(hollow, {50, 50}));
    EXPECT_TRUE(hit(hollow, {4.9, 50}));
    EXPECT_TRUE(hit(hollow, {50, 105}));
    EXPECT_FALSE(hit(hollow, {50, 105.1}));
    EXPECT_TRUE(hit(hollow, {-5, -5}));  // the band's ends are square
    EXPECT_TRUE(hit(hollow, {50, 50}, area_flag));
    EXPECT_TRUE(hit(hollow, {-5, 50}, area_flag));
    EXPECT_FALSE(hit(hollow, {-5.1, 50}, area_flag));

    const Record wide = make(qvRectangleKind, Box(0, 0, 100, 100), 0, style({.line_width = 4}));
    EXPECT_TRUE(hit(wide, {7, 50}));
    EXPECT_FALSE(hit(wide, {7.1, 50}));

    const Record filled =
        make(qvRectangleKind, Box(0, 0, 100, 100), 0, style({.line_width = 2, .fill_style = 0, .fill_color = true}));
    EXPECT_TRUE(hit(filled, {50, 50}));
    EXPECT_TRUE(hit(filled, {106, 50}));
    EXPECT_FALSE(hit(filled, {106.1, 50}));
}

TEST_F(SpotTest, Ellipse_outline_is_hit_and_its_centre_only_when_filled) {
    const Record e = make(qvEllipseKind, Box(0, 0, 100, 50));
    EXPECT_FALSE(hit(e, {50, 25}));
    EXPECT_TRUE(hit(e, {100, 25}));
    EXPECT_TRUE(hit(e, {50, 0}));
    EXPECT_TRUE(hit(e, {50, 25}, area_flag));
    EXPECT_FALSE(hit(e, {120, 25}, area_flag));
    const Record filled = make(qvEllipseKind, Box(0, 0, 100, 50), 0, style({.fill_style = 2, .fill_color = true}));
    EXPECT_TRUE(hit(filled, {50, 25}));
}

TEST_F(SpotTest, Polymarker_reaches_its_diameter_plus_the_tolerance) {
    const long a = style({.marker_diameter = 4});
    for (bool is_compact : {true, false}) {
        const Record m = is_compact ? compact(qvCompactPolyMarkerKind, {{0, 0}, {100, 0}}, a)
                                    : exact(qvExactPolyMarkerKind, {{0, 0}, {100, 0}}, a);
        EXPECT_TRUE(hit(m, {9, 0})) << is_compact;
        EXPECT_FALSE(hit(m, {9.01, 0})) << is_compact;
        EXPECT_TRUE(hit(m, {100, -9})) << is_compact;
        EXPECT_FALSE(hit(m, {50, 0})) << is_compact;
    }
    // Without an attribute the marker cookie's diameter 5 holds.
    EXPECT_TRUE(hit(exact(qvExactPolyMarkerKind, {{0, 0}}), {10, 0}));
    EXPECT_FALSE(hit(exact(qvExactPolyMarkerKind, {{0, 0}}), {10.01, 0}));
}

TEST_F(SpotTest, Polyline_and_polygon_outlines_and_areas) {
    const std::vector<Pt> square = {{0, 0}, {0, 100}, {100, 100}, {100, 0}};
    for (bool is_compact : {true, false}) {
        const Record line = is_compact ? compact(qvCompactPolylineKind, square) : exact(qvExactPolylineKind, square);
        const Record gon = is_compact ? compact(qvCompactPolygonKind, square) : exact(qvExactPolygonKind, square);
        EXPECT_TRUE(hit(line, {3, 50}));
        EXPECT_FALSE(hit(line, {50, 3}));  // no closing edge
        EXPECT_TRUE(hit(gon, {50, 3}));
        EXPECT_FALSE(hit(gon, {50, 50}));
        EXPECT_FALSE(hit(line, {50, 50}, area_flag));
        EXPECT_TRUE(hit(gon, {50, 50}, area_flag));
        // On a vertex, with a tolerance of 0: inside the area.
        EXPECT_TRUE(hit(gon, {100, 100}, area_flag, 0.0));
        EXPECT_FALSE(hit(gon, {150, 50}, area_flag));
    }
}

TEST_F(SpotTest, Bezier_areas_count_for_closed_figures_only) {
    const std::vector<Node> closed = {{{-10, -10}, qvPointOnCurve},
                                      {{10, -10}, qvPointOnCurve},
                                      {{10, 10}, qvPointOnCurve},
                                      {{-10, 10}, qvPointClosedEnd}};
    std::vector<Node> open = closed;
    open.back().second = qvPointOpenEnd;
    const std::vector<Node> elsewhere = {{{100, 100}, qvPointOnCurve},
                                         {{110, 100}, qvPointOnCurve},
                                         {{110, 110}, qvPointOnCurve},
                                         {{100, 110}, qvPointClosedEnd}};
    std::vector<Node> open_then_elsewhere = open;
    open_then_elsewhere.insert(open_then_elsewhere.end(), elsewhere.begin(), elsewhere.end());
    for (bool is_compact : {true, false}) {
        EXPECT_TRUE(hit(bezier(is_compact, closed), {0, 0}, area_flag));
        EXPECT_FALSE(hit(bezier(is_compact, closed), {0, 0}));
        EXPECT_FALSE(hit(bezier(is_compact, open), {0, 0}, area_flag));
        // The open figure's turns (three quarters around the spot) must not
        // add up with the next figure's into a false hit.
        EXPECT_FALSE(hit(bezier(is_compact, open_then_elsewhere), {0, 0}, area_flag));
        EXPECT_TRUE(hit(bezier(is_compact, open_then_elsewhere), {105, 105}, area_flag));
        EXPECT_TRUE(hit(bezier(is_compact, closed), {-14, 0}));   // closing edge
        EXPECT_FALSE(hit(bezier(is_compact, open), {-14, 0}));
    }
}

TEST_F(SpotTest, Bezier_curves_are_flattened_between_their_nodes) {
    // A cubic from (0, 0) to (100, 0) through controls at height 100 peaks
    // at height 75; a single control point serves as both.
    const std::vector<Node> cubic = {
        {{0, 0}, qvPointOnCurve}, {{0, 100}, qvPointControl}, {{100, 100}, qvPointControl}, {{100, 0}, qvPointOpenEnd}};
    const std::vector<Node> quadratic = {{{0, 0}, qvPointOnCurve}, {{50, 100}, qvPointControl}, {{100, 0}, qvPointOpenEnd}};
    for (bool is_compact : {true, false}) {
        EXPECT_TRUE(hit(bezier(is_compact, cubic), {50, 75}));
        EXPECT_FALSE(hit(bezier(is_compact, cubic), {50, 100}));  // the control polygon is not the curve
        EXPECT_FALSE(hit(bezier(is_compact, cubic), {50, 0}));
        EXPECT_TRUE(hit(bezier(is_compact, quadratic), {50, 75}));
    }
    // An S whose bends cancel at t = 1/2 (its midpoint on the chord) used to
    // be tested as its chord: a spot on the ink missed, one on the chord
    // 17 units from the ink hit. Ink at t = 1/4 is (24.0625, 16.875).
    const std::vector<Node> s = {
        {{0, 0}, qvPointOnCurve}, {{30, 60}, qvPointControl}, {{70, -60}, qvPointControl}, {{100, 0}, qvPointOpenEnd}};
    for (bool is_compact : {true, false}) {
        EXPECT_TRUE(hit(bezier(is_compact, s), {24.0625, 16.875})) << is_compact;
        EXPECT_FALSE(hit(bezier(is_compact, s), {21, 0})) << is_compact;
        EXPECT_TRUE(hit(bezier(is_compact, s), {50, 0})) << is_compact;  // where it crosses its chord
    }
    // Control points running past the last node end the walk.
    const std::vector<Node> dangling = {{{0, 0}, qvPointOnCurve}, {{20, 0}, qvPointOnCurve}, {{50, 50}, qvPointControl}};
    EXPECT_FALSE(hit(bezier(false, dangling), {50, 50}));
    EXPECT_TRUE(hit(bezier(false, dangling), {10, 0}));
}

TEST_F(SpotTest, Text_without_fill_or_pen_is_hit_only_over_its_whole_area) {
    // Alignment 6: anchor at the start of the bottom edge; y down flips the
    // box above the anchor to negative device y.
    const qvExtent extent{20, 2, 8};
    const Record bare = text(qvScaledTextKind, {0, 0}, "abc", extent, 6);
    EXPECT_FALSE(hit(bare, {10, -5}));
    EXPECT_TRUE(hit(bare, {10, -5}, area_flag));
    EXPECT_FALSE(hit(bare, {10, 5}, area_flag));
    const Record penned = text(qvScaledTextKind, {0, 0}, "abc", extent, 6, style({.line_width = 1}));
    EXPECT_TRUE(hit(penned, {10, -5}));
    const Record filled = text(qvScaledTextKind, {0, 0}, "abc", extent, 6, style({.fill_style = 0, .fill_color = true}));
    EXPECT_TRUE(hit(filled, {10, -5}));
    // A restricted text is measured in device units with its font.
    const Record restricted = text(qvRestrictedTextKind, {0, 0}, "abc", {}, 6);
    OpenSpot open;
    Pt c[4];
    open.text_corners(c, reinterpret_cast<qvShape<qvTextData> const*>(restricted.get()), {&t, &palette}, false);
    const Box device(c[0], c[2]);
    ASSERT_GT(device.x2 - device.x1, 0.0);
    EXPECT_TRUE(hit(restricted, {(device.x1 + device.x2) / 2, (device.y1 + device.y2) / 2}, area_flag));
}

TEST(qvSpotSelectorCorners, Text_corners_follow_y_down_and_mirror_x) {
    OpenSpot open;
    const Record r = text(qvScaledTextKind, {10, 20}, "x", qvExtent{20, 2, 8}, 6);
    auto const* rec = reinterpret_cast<qvShape<qvTextData> const*>(r.get());
    const qvRestrictedTransformation up = qvRestrictedTransformation::identity();
    const qvRestrictedTransformation down(1, -1, 0, 100);
    Pt c[4];
    // Vectors p0 (0,0), p1 (20,0), p2 (0,10), p3 (0,0) for bottom alignment.
    open.text_corners(c, rec, {&up, nullptr}, true);  // y_down and an upward y: flipped
    EXPECT_EQ(c[0], (Pt{10, 20}));
    EXPECT_EQ(c[1], (Pt{10, 10}));
    EXPECT_EQ(c[2], (Pt{30, 10}));
    EXPECT_EQ(c[3], (Pt{30, 20}));
    open.text_corners(c, rec, {&down, nullptr}, true);  // the mapping already flips: not again
    EXPECT_EQ(c[0], (Pt{10, 80}));
    EXPECT_EQ(c[1], (Pt{10, 70}));
    open.axes(true, false);
    open.text_corners(c, rec, {&up, nullptr}, true);
    EXPECT_EQ(c[1], (Pt{10, 30}));
    EXPECT_EQ(c[2], (Pt{-10, 30}));
}

TEST(qvSpotSelectorCorners, Restricted_image_corners_by_alignment_and_resolution) {
    OpenSpot open;
    const qvRestrictedTransformation t(2, -2, 10, 100);  // anchor (5, 5) -> (20, 90)
    struct Case {
        int alignment;
        double x0, x1, y0, y1;
    };
    // A 30 x 10 pixel bitmap.
    const Case cases[] = {
        {4 | 1, 20, 50, 90, 100},  {4 | 2, 20, 50, 80, 90},  {4 | 3, 20, 50, 85, 95},
        {8 | 1, -10, 20, 90, 100}, {8 | 2, -10, 20, 80, 90}, {8 | 3, -10, 20, 85, 95},
        {12 | 1, 5, 35, 90, 100},  {12 | 2, 5, 35, 80, 90},  {12 | 3, 5, 35, 85, 95},
        {0, 5, 35, 85, 95},  // no alignment on either axis: centred
    };
    for (Case const& c : cases) {
        const Record r = restricted_image({5, 5}, 30, 10, c.alignment);
        Pt out[4];
        open.image_corners(out, reinterpret_cast<qvShape<qvRestrictedImageData> const*>(r.get()), {&t, nullptr});
        EXPECT_EQ(out[0], (Pt{c.x0, c.y0})) << c.alignment;
        EXPECT_EQ(out[1], (Pt{c.x1, c.y0})) << c.alignment;
        EXPECT_EQ(out[2], (Pt{c.x1, c.y1})) << c.alignment;
        EXPECT_EQ(out[3], (Pt{c.x0, c.y1})) << c.alignment;
    }
    // Resolution values shrink the size when |scale| x value is smaller.
    const Record small = restricted_image({5, 5}, 30, 10, 4 | 1, 6.0, 100.0);
    Pt out[4];
    open.image_corners(out, reinterpret_cast<qvShape<qvRestrictedImageData> const*>(small.get()), {&t, nullptr});
    EXPECT_EQ(out[2], (Pt{32, 100}));
}

TEST_F(SpotTest, Images_are_hit_inside_their_corners) {
    const Record restricted = restricted_image({0, 0}, 30, 10, 4 | 1);
    EXPECT_TRUE(hit(restricted, {15, 5}, 0, 0.0));
    EXPECT_FALSE(hit(restricted, {35, 5}, 0, 0.0));
    const Record scaled = scaled_image({0, 0}, {40, 0}, {0, 20});
    EXPECT_TRUE(hit(scaled, {39, 19}, 0, 0.0));
    EXPECT_FALSE(hit(scaled, {41, 19}, 0, 0.0));
}

TEST_F(SpotTest, Non_finite_spot_or_tolerance_misses_every_kind) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Pt> pts = {{0, 0}, {10, 0}, {10, 10}};
    std::vector<Record> records;
    records.push_back(make(qvRectangleKind, Box(0, 0, 10, 10)));
    records.push_back(make(qvEllipseKind, Box(0, 0, 10, 10)));
    records.push_back(make(qvArcKind, Box(0, 0, 10, 10)));
    records.push_back(exact(qvExactPolygonKind, pts));
    records.push_back(compact(qvCompactPolylineKind, pts));
    records.push_back(exact(qvExactPolyMarkerKind, pts));
    records.push_back(bezier(true, {{{0, 0}, qvPointOnCurve}, {{5, 5}, qvPointControl}, {{10, 0}, qvPointClosedEnd}}));
    records.push_back(text(qvScaledTextKind, {0, 0}, "t", {10, 1, 1}, 6));
    records.push_back(scaled_image({0, 0}, {10, 0}, {0, 10}));
    for (Record const& r : records) {
        EXPECT_FALSE(hit(r, {nan, 5}, area_flag)) << r->kind;
        EXPECT_FALSE(hit(r, {5, 5}, area_flag, nan)) << r->kind;
        EXPECT_FALSE(hit(r, {inf, 5}, area_flag)) << r->kind;
    }
}

TEST_F(SpotTest, Port_without_palette_bakes_nothing_and_uses_the_defaults) {
    const Record r = make(qvRectangleKind, Box(0, 0, 100, 100), 0, style({.fill_style = 0, .fill_color = true}));
    spot.setup({50, 50}, 5);
    EXPECT_FALSE(spot.check_selection(r.get(), {&t, nullptr}));
    EXPECT_TRUE(spot.check_selection(r.get(), {&t, &palette}));
    EXPECT_FALSE(spot.check_selection(nullptr, {&t, &palette}));
}

TEST(qvSelectorFlatness, Pen_tolerance_unless_the_curve_is_absurdly_large) {
    EXPECT_EQ(qvSelectorFlatness(3.0, {{0, 0}, {1000, 1000}}), 3.0);
    EXPECT_EQ(qvSelectorFlatness(0.0, {{0, 0}, {1000, 1000}}), 1.0);
    EXPECT_EQ(qvSelectorFlatness(-2.0, {}), 1.0);
    EXPECT_EQ(qvSelectorFlatness(0.0, {{0, 0}, {0, 1 << 30}}), 1 << 10);
    EXPECT_EQ(qvSelectorFlatness(std::numeric_limits<double>::quiet_NaN(), {{0, 0}, {5, 5}}), 1.0);
}

TEST_F(SpotTest, Huge_curves_are_still_judged) {
    const Record e = make(qvEllipseKind, Box(-1e30, -1e30, 1e30, 1e30));
    EXPECT_FALSE(hit(e, {0, 0}));
    EXPECT_TRUE(hit(e, {0, 0}, area_flag));
    EXPECT_FALSE(hit(e, {3e30, 0}, area_flag));
}
