// Property tests: the spot, box and polygon selectors' verdicts on seeded
// random rectangles, polylines, polygons and markers (compact and exact,
// integer points) equal the hit oracle's: the spot's called directly under
// a fixed transformation and palette (attributes varied); all three down the
// rendering road through the selection test view over 1,000 scenes, where
// the oracle applies the redraw area's filter. Cases within 1e-6 of a
// decision boundary are skipped; the tests check that few are.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/interaction/qvBoxSelector.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>

#include <orvane/shapes/qvExactPolyMarker.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvCountingPort.hpp"
#include "qvHitOracle.hpp"
#include "qvSelectionTestView.hpp"
#include "qvSelectorTestRecords.hpp"
#include "rendering/qvShapeRecordPoints.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <map>
#include <random>
#include <set>

namespace {

using namespace selector_test;
using hit_oracle::Verdict;

// A simple polygon: vertices around a centre at increasing angles, at
// least 0.25 rad apart, rounded to integers.
std::vector<Pt> star(std::mt19937& rng, Pt centre, double r_min, double r_max, int n) {
    std::uniform_real_distribution<double> radius(r_min, r_max);
    std::vector<Pt> out;
    const double step = 2 * std::numbers::pi / n;
    std::uniform_real_distribution<double> jitter(0.0, step - 0.25);
    for (int i = 0; i < n; ++i) {
        const double a = i * step + jitter(rng);
        const double r = radius(rng);
        out.push_back({std::round(centre.x + r * std::cos(a)), std::round(centre.y + r * std::sin(a))});
    }
    return out;
}

struct Shape {
    Record record;
    long kind = 0;
    bool line = false, closed = false, rectangle = false, markers = false;
    double width = 0;
    bool filled = false;
    int diameter = 5;
};

struct OracleTest : ::testing::Test {
    std::mt19937 rng{20261207};
    qvStandardPalette palette;
    qvRestrictedTransformation t{1.5, -2.0, 7.0, 250.0};
    int compared = 0, skipped = 0;

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    Shape random_shape() {
        Shape s;
        const int what = pick(0, 3);
        const bool is_compact = pick(0, 1) == 1;
        s.width = pick(0, 1) ? 3.0 : 0.0;
        s.filled = pick(0, 1) == 1;
        s.diameter = pick(0, 1) ? 2 : 4;
        const long a = attribute(palette, {.line_width = s.width,
                                           .fill_style = s.filled ? 0 : 1,
                                           .fill_color = true,
                                           .marker_diameter = s.diameter});
        std::vector<Pt> pts;
        if (what == 0) {
            const int x = pick(0, 90), y = pick(0, 90);
            s.record = make(qvRectangleKind, Box(x, y, x + pick(0, 40), y + pick(0, 40)), 0, a);
            s.rectangle = s.line = s.closed = true;
            return s;
        }
        if (what == 3) {
            pts = star(rng, {double(pick(20, 80)), double(pick(20, 80))}, 5, 30, pick(3, 9));
            s.kind = is_compact ? qvCompactPolygonKind : qvExactPolygonKind;
            s.line = s.closed = true;
        } else {
            for (int i = pick(1, 8); i > 0; --i) pts.push_back({double(pick(0, 100)), double(pick(0, 100))});
            s.markers = what == 1;
            s.line = what == 2;
            s.kind = what == 1 ? (is_compact ? qvCompactPolyMarkerKind : qvExactPolyMarkerKind)
                               : (is_compact ? qvCompactPolylineKind : qvExactPolylineKind);
        }
        s.record = is_compact ? compact(s.kind, pts, a) : exact(s.kind, pts, a);
        return s;
    }

    std::vector<Pt> device_points(Shape const& s) const {
        std::vector<Pt> model;
        if (s.rectangle) {
            const Box b = s.record->bbox();
            model = {{b.x1, b.y1}, {b.x1, b.y2}, {b.x2, b.y2}, {b.x2, b.y1}};
        } else {
            std::vector<qvPointTag> tags;
            qvDecodeShapeRecordPoints(*s.record, model, tags);
        }
        for (Pt& p : model) p = {t.m0() * p.x + t.m4(), t.m3() * p.y + t.m5()};
        return model;
    }

    Verdict spot_oracle(Shape const& s, Pt p, double tol, bool whole_area) const {
        const std::vector<Pt> pts = device_points(s);
        const double r = s.width / 2 + tol;
        const bool area = whole_area || s.filled;
        if (s.markers) return hit_oracle::near_marker(p, pts, s.diameter + tol);
        if (s.rectangle && area) {
            const Box b(pts[0], pts[2]);
            const double g = tol + s.width / 2;
            return hit_oracle::in_box(p, Box(b.x1 - g, b.y1 - g, b.x2 + g, b.y2 + g));
        }
        hit_oracle::AnyOf any;
        any.add(hit_oracle::on_outline(p, pts, r, s.closed));
        if (s.closed && area && !s.rectangle) any.add(hit_oracle::inside(p, pts));
        return any.result();
    }

    void compare(Verdict expected, bool actual, char const* what, int round) {
        if (expected == Verdict::near) {
            ++skipped;
            return;
        }
        ++compared;
        ASSERT_EQ(actual, expected == Verdict::hit) << what << " round " << round;
    }
};

}  // namespace

TEST_F(OracleTest, Spot_verdicts_equal_the_oracle) {
    qvSpotSelectorObject spot(nullptr);
    for (int round = 0; round < 20000; ++round) {
        const Shape s = random_shape();
        const Pt p{pick(-20, 1600) / 10.0, pick(0, 2600) / 10.0};
        const double tol = pick(0, 2) * 2.5;
        const bool whole_area = pick(0, 1) == 1;
        spot.setup(p, tol);
        spot.options(whole_area ? qvSelector::whole_area : 0u);
        compare(spot_oracle(s, p, tol, whole_area), spot.check_selection(s.record.get(), {&t, &palette}), "spot",
                round);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(compared, 10 * skipped);
}

namespace {

// Keeps a copy of every record a scene hands it.
struct CopyingPort : qvCountingPort {
    std::vector<Record> records;
    bool draw_shape(qvShapeBase const& record) override {
        Record copy(qvNewShapeRecord(record.size));
        std::memcpy(static_cast<void*>(copy.get()), &record, static_cast<std::size_t>(record.size));
        records.push_back(std::move(copy));
        return true;
    }
};

struct HitSet : qvSelector::Callback {
    std::set<std::int32_t> handles;
    bool selected(qvShapeBase const* record, qvScene const*) override {
        handles.insert(record->shape_handle);
        return true;
    }
};

// Fills the view's scene with n shapes of the four kinds through their
// handles (compact boxes follow the shapes' own rule), no attributes.
void fill_scene(OracleTest& test, qvMemoryScene& scene, int n) {
    for (int i = 0; i < n; ++i) {
        const int what = test.pick(0, 3);
        const bool is_compact = test.pick(0, 1) == 1;
        std::vector<Pt> pts;
        if (what == 3)
            pts = star(test.rng, {double(test.pick(20, 80)), double(test.pick(20, 80))}, 5, 30, test.pick(3, 9));
        else
            for (int k = test.pick(1, 6); k > 0; --k) pts.push_back({double(test.pick(0, 100)), double(test.pick(0, 100))});
        const int count = static_cast<int>(pts.size());
        switch (what) {
        case 0: {
            const int x = test.pick(0, 90), y = test.pick(0, 90);
            qvRectangle(scene, Box(x, y, x + test.pick(0, 30), y + test.pick(0, 30)));
            break;
        }
        case 1: is_compact ? (void)qvPolyMarker(scene, count, pts.data()) : (void)qvExactPolyMarker(scene, count, pts.data()); break;
        case 2: is_compact ? (void)qvPolyline(scene, count, pts.data()) : (void)qvExactPolyline(scene, count, pts.data()); break;
        default: is_compact ? (void)qvPolygon(scene, count, pts.data()) : (void)qvExactPolygon(scene, count, pts.data()); break;
        }
    }
}

// The record's own figure in model coordinates (the view's mapping is the
// identity): a rectangle's box corners, else its decoded points.
std::vector<Pt> figure_of(qvShapeBase const& r) {
    std::vector<Pt> pts;
    if (r.kind == qvRectangleKind) {
        const Box b = r.bbox();
        return {{b.x1, b.y1}, {b.x1, b.y2}, {b.x2, b.y2}, {b.x2, b.y1}};
    }
    std::vector<qvPointTag> tags;
    qvDecodeShapeRecordPoints(r, pts, tags);
    return pts;
}

// Hit, miss or near for one record: first the redraw area's filter (the
// header box strictly overlapping the selection's box grown by 1), then
// the selector's own question.
template <class Question>
Verdict through_view(qvShapeBase const& r, Box const& selection_box, Question&& question) {
    const Box area(selection_box.x1 - 1, selection_box.y1 - 1, selection_box.x2 + 1, selection_box.y2 + 1);
    const Verdict reaches = hit_oracle::boxes_overlap(r.bbox(), area);
    if (reaches == Verdict::miss) return Verdict::miss;
    const Verdict answer = question();
    if (reaches == Verdict::near) return answer == Verdict::miss ? Verdict::miss : Verdict::near;
    return answer;
}

}  // namespace

TEST_F(OracleTest, Verdicts_through_a_view_equal_the_oracle_with_the_redraw_filter) {
    t = qvRestrictedTransformation::identity();
    for (int round = 0; round < 1000; ++round) {
        qvSelectionTestView view;
        fill_scene(*this, view.scene(), 8);
        CopyingPort port;
        view.scene().render(port, -1, Box(-1e9, -1e9, 1e9, 1e9), false);

        // One spot, one box and one polygon selection of the scene.
        HitSet spot_hits, box_hits, polygon_hits;
        const Pt p{pick(-50, 1150) / 10.0, pick(-50, 1150) / 10.0};
        // A tolerance of 0 makes the redraw area empty: nothing is drawn.
        const double tol = pick(1, 4) * 1.25;
        const bool whole_area = pick(0, 1) == 1;
        qvSpotSelector spot(&spot_hits);
        spot->setup(p, tol);
        spot->options(whole_area ? qvSelector::whole_area : 0u);
        view.select(spot, spot->bbox());

        const bool box_touch = pick(0, 1) == 1;
        const double bx = pick(-10, 100), by = pick(-10, 100);
        const Box b(bx, by, bx + pick(1, 60), by + pick(1, 60));
        qvBoxSelector box(b, &box_hits, box_touch);
        view.select(box, box->bbox());

        const bool polygon_touch = pick(0, 1) == 1;
        std::vector<Pt> polygon = star(rng, {double(pick(10, 90)), double(pick(10, 90))}, 5, 50, pick(3, 10));
        qvPolygonSelector selector(static_cast<int>(polygon.size()), polygon.data(), &polygon_hits, polygon_touch);
        view.select(selector, selector->bbox());

        const std::vector<Pt> corners = {{b.x1, b.y1}, {b.x1, b.y2}, {b.x2, b.y2}, {b.x2, b.y1}};
        for (Record const& r : port.records) {
            const std::vector<Pt> fig = figure_of(*r);
            const bool markers = r->kind == qvCompactPolyMarkerKind || r->kind == qvExactPolyMarkerKind;
            const bool closed = r->kind == qvRectangleKind || r->kind == qvCompactPolygonKind || r->kind == qvExactPolygonKind;
            const bool line = !markers;
            const std::int32_t h = r->shape_handle;
            compare(through_view(*r, spot->bbox(),
                                 [&] {
                                     if (markers) return hit_oracle::near_marker(p, fig, 5 + tol);
                                     if (r->kind == qvRectangleKind && whole_area)
                                         return hit_oracle::in_box(p, Box(r->bbox().x1 - tol, r->bbox().y1 - tol,
                                                                          r->bbox().x2 + tol, r->bbox().y2 + tol));
                                     hit_oracle::AnyOf any;
                                     any.add(hit_oracle::on_outline(p, fig, tol, closed));
                                     if (closed && whole_area && r->kind != qvRectangleKind)
                                         any.add(hit_oracle::inside(p, fig));
                                     return any.result();
                                 }),
                    spot_hits.handles.count(h) == 1, "spot", round);
            compare(through_view(*r, b, [&] { return hit_oracle::selected(fig, line, closed, corners, box_touch); }),
                    box_hits.handles.count(h) == 1, "box", round);
            compare(through_view(*r, selector->bbox(),
                                 [&] { return hit_oracle::selected(fig, line, closed, polygon, polygon_touch); }),
                    polygon_hits.handles.count(h) == 1, "polygon", round);
            if (HasFatalFailure()) return;
        }
    }
    EXPECT_GT(compared, 10 * skipped);
}
