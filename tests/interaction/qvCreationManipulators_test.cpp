// The rectangle-creation and point-set creation manipulators on the
// interaction test view (device = 2 * model + 10): what the target
// receives in model coordinates, the bands shown in the companion or
// device gadget scene, refusals and misuse. Every script ends with the
// window equal to a fresh render.

#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/interaction/qvPointSetCreationManipulator.hpp>
#include <orvane/interaction/qvRectangleCreationManipulator.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvInteractionTestView.hpp"
#include "qvRaisedText.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;

std::string points_text(qvGraphic const& g) {
    qvAdapter<qvPointSetDataAccess> points(g);
    std::string text;
    for (int i = 0; i < points->size(); ++i) {
        const Pt p = points->point(i);
        // Compact shapes keep their points as fractions of their box.
        text += "(" + std::to_string(std::lround(p.x)) + "," + std::to_string(std::lround(p.y)) + ")";
    }
    return text;
}

}  // namespace

// ---------------------------------------------------------------------------
// Rectangle creation

TEST(qvRectangleCreationManipulator, The_target_follows_the_dragged_box_in_model_units) {
    qvInteractionTestView v;
    const qvRectangle target(v.scene(), Box(1, 1, 2, 2));
    v.redraw_whole();
    qvRectangleCreationManipulator create;
    ASSERT_TRUE(create.activate(v.gadgets(), v.layer(), target));
    qvManipulatorScript script(v, [&](qvManipulatorStep const& s) {
        if (s.op == "begin")
            create.begin(Pt{s.x, s.y});
        else if (s.op == "move")
            create.move(Pt{s.x, s.y});
        else
            create.end();
    });
    const auto reports = script.run({{"begin", 10, 10}, {"move", 0, 20}, {"end"}});
    EXPECT_EQ(reports[1].gadgets, std::vector<std::string>{"1:DashedRectangle"});
    EXPECT_TRUE(reports[2].gadgets.empty());
    EXPECT_EQ(target->rectangle(), Box(-5, 0, 0, 5));
    EXPECT_TRUE(create.active());
    create.end();  // without begin: nothing changes
    EXPECT_EQ(target->rectangle(), Box(-5, 0, 0, 5));
    EXPECT_TRUE(script.fresh());

    const qvRectangle second(v.scene(), Box(3, 3, 4, 4));
    ASSERT_TRUE(create.activate(v.gadgets(), v.layer(), second));
    EXPECT_EQ(target->rectangle(), Box(-5, 0, 0, 5)) << "the first target is left as it was";
}

TEST(qvRectangleCreationManipulator, Refusals_and_misuse) {
    qvInteractionTestView v;
    const Pt corners[] = {{0, 0}, {10, 0}, {5, 5}};
    const qvExactPolygon polygon(v.scene(), 3, corners);
    const qvRectangle target(v.scene(), Box(1, 1, 2, 2));
    qvRectangleCreationManipulator create;
    EXPECT_FALSE(create.activate(v.gadgets(), v.layer(), polygon));
    EXPECT_FALSE(create.active());
    EXPECT_FALSE(create.activate(v.gadgets(), qvViewSceneLayer(), target));
    qvViewGadgetLayer viewless(0);
    EXPECT_FALSE(create.activate(viewless, v.layer(), target));
    EXPECT_FALSE(create.active());
    EXPECT_EQ(qvRaisedText([&] { create.activate(qvViewGadgetLayer(), v.layer(), target); }),
              "Gadget layer is not initialized");
    const std::string not_initialized = "Manipulator was not initialized yet";
    EXPECT_EQ(qvRaisedText([&] { create.begin(Pt{}); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { create.end(); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { create.notify(1); }), not_initialized);
    EXPECT_EQ(target->rectangle(), Box(1, 1, 2, 2));
}

// ---------------------------------------------------------------------------
// Point-set creation

namespace {

// Plays add/track/end steps on `create`, reading the target's points.
std::vector<qvManipulatorReport> point_set_script(qvInteractionTestView& v, qvPointSetCreationManipulator& create,
                                                  qvGraphic const& target,
                                                  std::vector<qvManipulatorStep> const& steps,
                                                  std::vector<std::string>* bands = nullptr) {
    qvManipulatorScript script(
        v,
        [&](qvManipulatorStep const& s) {
            if (s.op == "add")
                create.add_point(Pt{s.x, s.y});
            else if (s.op == "track")
                create.track(Pt{s.x, s.y});
            else
                create.end();
            if (bands != nullptr)
                bands->push_back(create.gadget() ? points_text(create.gadget()) : "");
        },
        [&] { return points_text(target); });
    script.watch(v.gadgets()->gadget_scene_layer(v.layer()));
    auto reports = script.run(steps);
    EXPECT_TRUE(script.fresh());
    return reports;
}

}  // namespace

TEST(qvPointSetCreationManipulator, Style_2_draws_a_dashed_segment_from_the_last_point) {
    qvInteractionTestView v;
    const qvExactPolyline target(v.scene());
    v.redraw_whole();
    qvPointSetCreationManipulator create;
    EXPECT_EQ(create.style(), qvPointSetCreationManipulator::POLYLINE);
    ASSERT_TRUE(create.activate(v.gadgets(), v.layer(), target));
    std::vector<std::string> bands;
    const auto reports = point_set_script(
        v, create, target,
        {{"track", 50, 50}, {"add", 30, 10}, {"track", 50, 30}, {"add", 50, 30}, {"track", 70, 10}, {"end"},
         {"add", 90, 30}, {"track", 90, 50}},
        &bands);
    EXPECT_EQ(bands[0], "") << "track before the first point does nothing";
    EXPECT_EQ(reports[1].geometry, "(10,0)");
    EXPECT_EQ(bands[2], "(10,0)(20,10)");
    EXPECT_EQ(reports[2].gadgets, std::vector<std::string>{"5:DashedLine"});
    EXPECT_EQ(bands[4], "(20,10)(30,0)");
    EXPECT_EQ(bands[5], "");
    EXPECT_TRUE(reports[5].gadgets.empty());
    EXPECT_EQ(bands[7], "(40,10)(40,20)") << "a new band from the same target";
    EXPECT_EQ(reports[7].geometry, "(10,0)(20,10)(40,10)");
}

TEST(qvPointSetCreationManipulator, Style_1_closes_the_band_and_style_0_moves_a_marker) {
    qvInteractionTestView v;
    const qvExactPolygon polygon(v.scene());
    v.redraw_whole();
    qvPointSetCreationManipulator closed(qvPointSetCreationManipulator::POLYGON);
    ASSERT_TRUE(closed.activate(v.gadgets(), v.layer(), polygon));
    std::vector<std::string> bands;
    point_set_script(v, closed, polygon, {{"add", 10, 10}, {"track", 30, 30}, {"add", 50, 10}, {"track", 30, 50}},
                     &bands);
    EXPECT_EQ(bands[1], "(0,0)(10,10)(0,0)");
    EXPECT_EQ(bands[3], "(20,0)(10,20)(0,0)");
    closed.deactivate();

    const qvExactPolyline markers(v.scene());
    qvPointSetCreationManipulator marker(qvPointSetCreationManipulator::MARKERS);
    ASSERT_TRUE(marker.activate(v.gadgets(), v.layer(), markers));
    bands.clear();
    const auto reports = point_set_script(
        v, marker, markers, {{"add", 10, 10}, {"track", 30, 30}, {"add", 50, 10}}, &bands);
    EXPECT_EQ(reports[0].gadgets, std::vector<std::string>{"3:NewPoint"});
    EXPECT_EQ(bands[0], "(0,0)");
    EXPECT_EQ(bands[1], "(10,10)");
    EXPECT_EQ(bands[2], "(20,0)") << "the marker jumps to the point just added";
}

TEST(qvPointSetCreationManipulator, Refusals_and_misuse) {
    qvInteractionTestView v;
    const qvExactPolyline target(v.scene());
    const qvRectangle rectangle(v.scene(), Box(0, 0, 5, 5));
    qvPointSetCreationManipulator create;
    EXPECT_FALSE(create.activate(v.gadgets(), v.layer(), rectangle)) << "no point-set access";
    EXPECT_FALSE(create.activate(v.gadgets(), qvViewSceneLayer(), target));
    EXPECT_FALSE(create.active());
    qvViewGadgetLayer viewless(0);
    EXPECT_EQ(qvRaisedText([&] { create.activate(viewless, v.layer(), target); }),
              "Gadget layer must be connected to a view");
    EXPECT_FALSE(create.active());
    EXPECT_EQ(qvRaisedText([&] { create.activate(qvViewGadgetLayer(), v.layer(), target); }),
              "Gadget layer is not initialized");
    const std::string not_initialized = "Manipulator was not initialized yet";
    EXPECT_EQ(qvRaisedText([&] { create.add_point(Pt{}); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { create.track(Pt{}); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { create.notify(2); }), not_initialized);
    EXPECT_EQ(qvAdapter<qvPointSetDataAccess>(target)->size(), 0);

    ASSERT_TRUE(create.activate(v.gadgets(), v.layer(), target));
    create.notify(3);  // no band yet: nothing to reset
    EXPECT_FALSE(create.gadget());

    qvPointSetCreationManipulator wrong(static_cast<qvPointSetCreationManipulator::Style>(7));
    ASSERT_TRUE(wrong.activate(v.gadgets(), v.layer(), target));
    EXPECT_EQ(qvRaisedText([&] { wrong.add_point(Pt{30, 10}); }), "Wrong manipulator style is specified");
    EXPECT_EQ(points_text(target), "(10,0)") << "the point stays";
    EXPECT_FALSE(wrong.gadget());
    EXPECT_TRUE(v.fresh());
}

TEST(qvPointSetCreationManipulator, Outliving_its_view_with_a_band_shown_is_quiet) {
    auto v = std::make_unique<qvInteractionTestView>();
    const qvExactPolyline target(v->scene());
    auto create = std::make_unique<qvPointSetCreationManipulator>();
    ASSERT_TRUE(create->activate(v->gadgets(), v->layer(), target));
    create->add_point(Pt{30, 10});
    create->track(Pt{50, 10});
    v.reset();
    EXPECT_EQ(qvRaisedText([&] { create->deactivate(); }), "no error");
    create.reset();
}
