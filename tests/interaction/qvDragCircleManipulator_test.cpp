// The drag circle and its selection variant on the interaction test view:
// the circle's radius following the cursor, the slots that need a circle,
// the selection by the enclosing square, and misuse.

#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvDragCircleSelectionManipulator.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvInteractionTestView.hpp"
#include "qvRaisedText.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;

const std::string no_circle = "Cannot query the drag circle before it is initialized";
const std::string not_initialized = "Manipulator was not initialized yet";

}  // namespace

TEST(qvDragCircleManipulator, The_radius_follows_the_cursor_about_the_centre) {
    qvInteractionTestView v;
    v.redraw_whole();
    qvDragCircleManipulator circle;
    ASSERT_TRUE(circle.activate(v.gadgets()));
    qvManipulatorScript script(
        v,
        [&](qvManipulatorStep const& s) {
            if (s.op == "begin")
                circle.begin(Pt{s.x, s.y});
            else if (s.op == "move")
                circle.move(Pt{s.x, s.y});
            else if (s.op == "end")
                circle.end();
        },
        [&] {
            try {
                return std::to_string(circle.radius());
            } catch (qvError const&) {
                return std::string("none");
            }
        });
    const auto reports =
        script.run({{"begin", 50, 50}, {"move", 53, 54}, {"move", 80, 90}, {"move", 50, 50}, {"end"}, {"move", 20, 30}});
    EXPECT_EQ(reports[0].geometry, std::to_string(0.0));
    EXPECT_EQ(reports[0].gadgets, std::vector<std::string>{"2:DashedRectangle"});
    EXPECT_EQ(reports[1].geometry, std::to_string(5.0));
    EXPECT_EQ(reports[2].geometry, std::to_string(50.0));
    EXPECT_EQ(reports[3].geometry, std::to_string(0.0)) << "back onto the centre";
    EXPECT_EQ(reports[4].geometry, "none");
    EXPECT_TRUE(reports[4].gadgets.empty());
    EXPECT_EQ(reports[5].geometry, std::to_string(0.0)) << "move without begin starts a circle";
    EXPECT_EQ(circle.center(), (Pt{20, 30}));
    EXPECT_TRUE(script.fresh());

    // Slots forward to the circle.
    circle.x_radius(6);
    EXPECT_EQ(circle.radius(), 6.0);
    circle.y_radius(4);   // an ellipse about (20, 30), 6 across and 4 up
    EXPECT_EQ(circle.rectangle(), Box(14, 26, 26, 34));
    // A begin over the shown ellipse makes it a circle again, on both axes.
    circle.begin(Pt{70, 40});
    EXPECT_EQ(circle.rectangle(), Box(70, 40, 70, 40));
    circle.move(Pt{73, 44});   // 3 across and 4 up: radius 5
    EXPECT_EQ(circle.rectangle(), Box(65, 35, 75, 45));
    circle.rectangle(Box(0, 0, 20, 10));
    EXPECT_EQ(circle.radius(), 10.0) << "the horizontal radius";
    EXPECT_EQ(circle.y_radius(), 5.0);
    EXPECT_EQ(circle.rectangle(), Box(0, 0, 20, 10));
    circle.deactivate();
    EXPECT_TRUE(v.fresh());
}

TEST(qvDragCircleManipulator, Without_a_circle_only_rectangle_is_quiet) {
    qvInteractionTestView v;
    qvDragCircleManipulator circle;
    EXPECT_EQ(qvRaisedText([&] { circle.begin(Pt{1, 1}); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { circle.rectangle(Box(0, 0, 1, 1)); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { circle.activate(qvViewGadgetLayer()); }), "Gadget layer is not initialized");
    EXPECT_FALSE(circle.activate(qvViewGadgetLayer(0))) << "a gadget layer in no view";
    ASSERT_TRUE(circle.activate(v.gadgets()));
    EXPECT_EQ(qvRaisedText([&] { circle.rectangle(Box(0, 0, 1, 1)); }), "no error");
    EXPECT_EQ(qvRaisedText([&] { circle.center(Pt{1, 1}); }), no_circle);
    EXPECT_EQ(qvRaisedText([&] { circle.x_radius(); }), no_circle);
    EXPECT_EQ(qvRaisedText([&] { circle.y_radius(2); }), no_circle);
    EXPECT_EQ(qvRaisedText([&] { circle.radius(2); }), no_circle);

    // Outliving the gadget layer with a circle shown is quiet.
    auto w = std::make_unique<qvInteractionTestView>();
    auto shown = std::make_unique<qvDragCircleSelectionManipulator>();
    qvGraphicList host;
    ASSERT_TRUE(shown->activate(w->gadgets(), w->layer(), host));
    shown->begin(Pt{40, 40});
    shown->move(Pt{60, 40});
    w.reset();
    EXPECT_EQ(qvRaisedText([&] { shown->deactivate(); }), "no error");
    shown.reset();
}

TEST(qvDragCircleSelectionManipulator, Selects_what_the_enclosing_square_covers) {
    qvInteractionTestView v;
    // Model boxes; device = 2 * model + 10. The circle: centre (100, 80),
    // radius 50, square (50, 30, 150, 130).
    const qvRectangle centre(v.scene(), Box(40, 30, 50, 40));     // (90, 70, 110, 90)
    const qvRectangle corner(v.scene(), Box(21, 11, 23, 13));     // (52, 32, 56, 36): outside the circle
    const qvRectangle away(v.scene(), Box(80, 60, 90, 65));       // (170, 130, 190, 140)
    v.redraw_whole();
    qvGraphicList host;
    qvDragCircleSelectionManipulator drag;
    EXPECT_EQ(qvRaisedText([&] { drag.begin(Pt{1, 1}); }), not_initialized);
    EXPECT_FALSE(drag.activate(v.gadgets(), qvViewSceneLayer(), host));
    EXPECT_FALSE(drag.activate(v.gadgets(), v.layer(), qvGraphic()));
    ASSERT_TRUE(drag.activate(v.gadgets(), v.layer(), host));
    EXPECT_EQ(qvRaisedText([&] { drag.end(0); }), no_circle);
    EXPECT_EQ(host->size(), 0);

    bool found = false;
    qvManipulatorScript script(v, [&](qvManipulatorStep const& s) {
        if (s.op == "begin")
            drag.begin(Pt{s.x, s.y});
        else if (s.op == "move")
            drag.move(Pt{s.x, s.y});
        else if (s.op == "end")
            found = drag.end(s.flags);
    });
    const auto reports = script.run({{"begin", 100, 80}, {"move", 130, 120}, {"end", 0, 0, 0}});
    EXPECT_EQ(reports[1].gadgets, std::vector<std::string>{"2:DashedRectangle"});
    EXPECT_TRUE(reports[2].gadgets.empty());
    EXPECT_TRUE(found);
    EXPECT_EQ(host->size(), 2) << "the corner shape outside the circle is selected too";
    EXPECT_TRUE(script.fresh());
    drag.deactivate();
    EXPECT_FALSE(drag.active());
    EXPECT_EQ(host->size(), 2);
}

// A select that raised used to leave the circle drawn until deactivation.
TEST(qvDragCircleSelectionManipulator, A_select_that_raises_still_erases_the_circle) {
    qvInteractionTestView v;
    auto gone = std::make_unique<qvMemoryScene>();
    const qvViewSceneLayer stale(*gone, -1);
    qvGraphicList host;
    qvDragCircleSelectionManipulator drag;
    ASSERT_TRUE(drag.activate(v.gadgets(), stale, host));
    drag.begin(Pt{60, 60});
    drag.move(Pt{80, 60});
    const qvViewSceneLayer device = v.gadgets()->gadget_scene_layer();
    auto* const gadgets = qvQueryInterface<qvContainerScene>(&device->scene());
    ASSERT_EQ(gadgets->size(-1), 1);
    gone.reset();
    EXPECT_EQ(qvRaisedText([&] { drag.end(0x01); }), "Cannot use proxy selection with non-container scene");
    EXPECT_EQ(gadgets->size(-1), 0);
    EXPECT_EQ(host->size(), 0);
    EXPECT_TRUE(drag.active());
    EXPECT_TRUE(v.fresh());
}
