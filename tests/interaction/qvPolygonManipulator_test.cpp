// The polygon manipulators and their selection variants on the interaction
// test view: the outline's vertices click by click and drag by drag, the
// selection over what the outline encloses, refusals, misuse and a
// manipulator that outlives its gadget layer.

#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvPolygonSelectionManipulator.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvInteractionTestView.hpp"
#include "qvRaisedText.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;

std::string outline_of(qvPolygonManipulator& m) {
    std::ostringstream out;
    for (int i = 0; i < m.size(); ++i)
        out << "(" << m.point(i).x << "," << m.point(i).y << ")";
    return out.str();
}

const std::string not_initialized = "Manipulator was not initialized yet";
const std::string no_outline = "Cannot query the drag box before it is initialized";

}  // namespace

TEST(qvClickPolygonManipulator, Clicks_fix_vertices_while_the_last_follows_the_pointer) {
    qvInteractionTestView v;
    v.redraw_whole();
    qvClickPolygonManipulator click;
    EXPECT_FALSE(click.active());
    ASSERT_TRUE(click.activate(v.gadgets()));
    EXPECT_EQ(click.size(), 0);
    EXPECT_EQ(qvRaisedText([&] { click.track(Pt{1, 1}); }), no_outline);
    qvManipulatorScript script(
        v,
        [&](qvManipulatorStep const& s) {
            if (s.op == "begin")
                EXPECT_TRUE(click.begin(Pt{s.x, s.y}));
            else if (s.op == "track")
                click.track(Pt{s.x, s.y});
            else if (s.op == "add")
                click.add_point(Pt{s.x, s.y});
            else if (s.op == "end")
                click.end();
        },
        [&] { return outline_of(click); });
    const auto reports = script.run({{"begin", 0, 0}, {"track", 5, 0}, {"add", 5, 0}, {"track", 5, 5},
                                     {"track", 80, 90}, {"end"}, {"add", 7, 8}});
    ASSERT_EQ(reports.size(), 7u);
    EXPECT_EQ(reports[0].geometry, "(0,0)(0,0)");
    EXPECT_EQ(reports[3].geometry, "(0,0)(5,0)(5,5)");
    EXPECT_EQ(reports[3].gadgets, std::vector<std::string>{"13:DashedRectangle"}) << "an exact polyline";
    EXPECT_NE(reports[4].invalid, "()");
    EXPECT_EQ(reports[5].geometry, "");
    EXPECT_TRUE(reports[5].gadgets.empty());
    EXPECT_EQ(reports[6].geometry, "(7,8)(7,8)") << "a new outline of two points";
    EXPECT_TRUE(script.fresh());
    click.deactivate();
    EXPECT_EQ(click.size(), 0);
    EXPECT_TRUE(v.fresh());
}

TEST(qvDragPolygonManipulator, Every_position_becomes_a_vertex) {
    qvInteractionTestView v;
    v.redraw_whole();
    qvDragPolygonManipulator drag;
    ASSERT_TRUE(drag.activate(v.gadgets(), qvViewSceneLayer(), qvGraphic()));
    qvManipulatorScript script(
        v,
        [&](qvManipulatorStep const& s) {
            if (s.op == "begin")
                drag.begin(Pt{s.x, s.y});
            else if (s.op == "move")
                drag.move(Pt{s.x, s.y});
        },
        [&] { return outline_of(drag); });
    const auto reports = script.run({{"begin", 10, 10}, {"move", 60, 10}, {"move", 60, 70}, {"move", 10, 70}});
    EXPECT_EQ(reports.back().geometry, "(10,10)(60,10)(60,70)(10,70)");
    EXPECT_EQ(drag.bbox(), Box(10, 10, 60, 70));
    EXPECT_TRUE(script.fresh());
    drag.end();
    EXPECT_EQ(qvRaisedText([&] { drag.bbox(); }), no_outline);
    EXPECT_EQ(qvRaisedText([&] { drag.remove(0, 1); }), no_outline);
    EXPECT_TRUE(v.fresh());
}

TEST(qvPolygonManipulator, Refusals_misuse_and_a_gadget_layer_that_dies_first) {
    qvDragPolygonManipulator drag;
    EXPECT_EQ(qvRaisedText([&] { drag.begin(Pt{1, 1}); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { drag.activate(qvViewGadgetLayer()); }), "Gadget layer is not initialized");
    qvViewGadgetLayer viewless(0);
    EXPECT_FALSE(drag.activate(viewless)) << "a gadget layer in no view";
    EXPECT_EQ(qvRaisedText([&] { drag.move(Pt{1, 1}); }), not_initialized);

    auto v = std::make_unique<qvInteractionTestView>();
    auto click = std::make_unique<qvClickPolygonSelectionManipulator>();
    qvGraphicList host;
    ASSERT_TRUE(click->activate(v->gadgets(), v->layer(), host));
    click->begin(Pt{10, 10});
    click->add_point(Pt{40, 10});
    v.reset();
    EXPECT_EQ(qvRaisedText([&] { click->deactivate(); }), "no error");
    EXPECT_FALSE(click->active());
    click.reset();
}

TEST(qvPolygonSelectionManipulator, Refusals_and_ends_without_an_outline) {
    qvInteractionTestView v;
    qvGraphicList host;
    qvDragPolygonSelectionManipulator drag;
    EXPECT_FALSE(drag.activate(v.gadgets(), v.layer(), qvGraphic())) << "an empty graphic";
    EXPECT_FALSE(drag.active());
    EXPECT_FALSE(drag.activate(v.gadgets(), qvViewSceneLayer(), host)) << "an empty scene layer";
    EXPECT_FALSE(drag.activate(qvViewGadgetLayer(0), v.layer(), host)) << "a gadget layer in no view";
    EXPECT_FALSE(drag.active());
    EXPECT_EQ(qvRaisedText([&] { drag.end(0); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { drag.move(Pt{1, 1}); }), not_initialized);
    qvClickPolygonSelectionManipulator click;
    EXPECT_EQ(qvRaisedText([&] { click.add_point(Pt{1, 1}); }), not_initialized);

    const qvRectangle shape(v.scene(), Box(0, 0, 10, 10));
    host->add(shape);
    ASSERT_TRUE(drag.activate(v.gadgets(), v.layer(), host));
    EXPECT_EQ(qvRaisedText([&] { drag.end(0x10); }), no_outline);
    EXPECT_EQ(host->size(), 1) << "the list stays as it was, even asked to clear";
}

TEST(qvPolygonSelectionManipulator, A_square_around_two_of_three_shapes_selects_those_two) {
    qvInteractionTestView v;
    // Model boxes; device = 2 * model + 10.
    const qvRectangle a(v.scene(), Box(0, 0, 10, 10));     // (10, 10, 30, 30)
    const qvRectangle b(v.scene(), Box(20, 20, 30, 30));   // (50, 50, 70, 70)
    const qvRectangle c(v.scene(), Box(60, 50, 70, 60));   // (130, 110, 150, 130)
    v.redraw_whole();
    qvGraphicList host;
    qvClickPolygonSelectionManipulator click;
    ASSERT_TRUE(click.activate(v.gadgets(), v.layer(), host));
    bool found = false;
    qvManipulatorScript script(v, [&](qvManipulatorStep const& s) {
        if (s.op == "begin")
            click.begin(Pt{s.x, s.y});
        else if (s.op == "track")
            click.track(Pt{s.x, s.y});
        else if (s.op == "add")
            click.add_point(Pt{s.x, s.y});
        else if (s.op == "end")
            found = click.end(s.flags);
    });
    const auto reports = script.run({{"begin", 5, 5}, {"track", 80, 5}, {"add", 80, 5}, {"track", 80, 80},
                                     {"add", 80, 80}, {"track", 5, 80}, {"end", 0, 0, 0}});
    EXPECT_EQ(reports[5].gadgets, std::vector<std::string>{"13:DashedRectangle"});
    EXPECT_TRUE(reports.back().gadgets.empty()) << "end empties the outline";
    EXPECT_TRUE(found);
    EXPECT_EQ(host->size(), 2);
    EXPECT_TRUE(script.fresh());

    // Query only: the list is unchanged, the answer whether a listed
    // graphic lies in the outline.
    qvDragPolygonSelectionManipulator drag;
    ASSERT_TRUE(drag.activate(v.gadgets(), v.layer(), host));
    drag.begin(Pt{120, 100});
    drag.move(Pt{160, 100});
    drag.move(Pt{160, 140});
    drag.move(Pt{120, 140});
    EXPECT_FALSE(drag.end(0x04)) << "c is not listed";
    EXPECT_EQ(host->size(), 2);
    drag.begin(Pt{40, 40});
    drag.move(Pt{80, 40});
    drag.move(Pt{80, 80});
    drag.move(Pt{40, 80});
    EXPECT_TRUE(drag.end(0x04)) << "b is listed";
    EXPECT_EQ(host->size(), 2);
    EXPECT_EQ(drag.outline().size(), 0);
    EXPECT_TRUE(v.fresh());
}
