// The scale manipulator on the interaction test view: scripted drags of
// each of its eight handles both ways (identity mapping unless said), the
// minimum size, the kept aspect ratio, boxes of zero extent, misuse, and a
// graphic that loses its scale interaction.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/interaction/qvScaleManipulator.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvInteractionTestView.hpp"
#include "qvRaisedText.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;

// A graphic that scales itself until told to stop offering it.
class SwitchableBox : public qvGraphicInterface, public qvScaleInteraction {
public:
    SwitchableBox(qvContainerScene& scene, Box box) : scene_(scene), box_(box) {}
    void* query_interface(qvInterfaceInfo const& info) override {
        return offers ? qvOfferInterfaces<qvScaleInteraction, qvMoveInteraction>(this, info) : nullptr;
    }
    qvContainerScene& scene() const override { return scene_; }
    void destroy_shape() override {}
    Box bbox() override { return box_; }
    void move(Pt d) override { box_ = Box(box_.x1 + d.x, box_.y1 + d.y, box_.x2 + d.x, box_.y2 + d.y); }
    void move_lb(Pt d) override { box_ = Box(box_.x1 + d.x, box_.y1 + d.y, box_.x2, box_.y2); }
    void move_rt(Pt d) override { box_ = Box(box_.x1, box_.y1, box_.x2 + d.x, box_.y2 + d.y); }
    bool offers = true;

private:
    qvContainerScene& scene_;
    Box box_;
};

// A test view mapping its scene layer as given, with one rectangle.
struct ScaleFixture {
    qvInteractionTestView v;
    qvRectangle shape;
    qvScaleManipulator scale;
    ScaleFixture(Box box, unsigned style, bool identity = true) : scale(style) {
        if (identity)
            v.layer()->mapping(qvRestrictedTransformation::identity());
        shape = qvRectangle(v.scene(), box);
        v.redraw_whole();
        EXPECT_TRUE(scale.activate(v.gadgets(), v.layer(), shape));
        v.fill_handles();
        v.repair();
    }
    // Plays begin, move and end, reporting the box after each step.
    std::vector<qvManipulatorReport> drag(Pt from, Pt to) {
        qvManipulatorScript script(
            v,
            [&](qvManipulatorStep const& s) {
                if (s.op == "begin")
                    EXPECT_TRUE(scale.begin(Pt{s.x, s.y}));
                else if (s.op == "move")
                    scale.move(Pt{s.x, s.y});
                else
                    scale.end();
            },
            [&] {
                const Box b = shape->rectangle();
                return std::to_string(b.x1) + "," + std::to_string(b.y1) + "," + std::to_string(b.x2) + "," +
                       std::to_string(b.y2);
            });
        script.pick([&](Pt p) { return scale.handle_bar().selected(p); });
        script.watch(scale.handle_bar().handle_layer());
        auto reports = script.run({{"begin", from.x, from.y}, {"move", to.x, to.y}, {"end"}});
        EXPECT_TRUE(script.fresh());
        return reports;
    }
    // Whether every handle stands on the shape's box.
    bool handles_on_box() {
        const Box box = shape->rectangle();
        for (int n = 0; n < 8; ++n) {
            const qvGraphic handle = scale.handle_bar()[n];
            qvAdapter<qvPointSetDataAccess> points(handle);
            if (!(points->point(0) == qvScaleManipulator::handle_position(n, box)))
                return false;
        }
        return true;
    }
};

}  // namespace

TEST(qvScaleManipulator, A_corner_drag_keeps_the_aspect_under_style_2_only) {
    ScaleFixture kept(Box(0, 0, 100, 50), 2);
    const auto reports = kept.drag(Pt{100, 50}, Pt{150, 100});
    EXPECT_EQ(kept.shape->rectangle(), Box(0, 0, 150, 75));
    EXPECT_EQ(reports[1].gadgets.size(), 8u);
    EXPECT_EQ(reports[1].gadgets[0], "3:HandleBar");
    EXPECT_TRUE(kept.handles_on_box());
    EXPECT_FALSE(kept.scale.moving());

    ScaleFixture free(Box(0, 0, 100, 50), 0);
    free.drag(Pt{100, 50}, Pt{150, 100});
    EXPECT_EQ(free.shape->rectangle(), Box(0, 0, 150, 100));
    EXPECT_TRUE(free.handles_on_box());
}

// Free style, box (20, 10, 120, 60): each handle moves its own edges by 13
// across and 7 up, and ignores the 5 it is dragged along an edge it does
// not own; then back past where it started.
TEST(qvScaleManipulator, Each_of_the_eight_handles_moves_its_own_edges_outward_and_inward) {
    struct Drag {
        Pt from, to;
        Box box;
    };
    struct Row {
        Drag out, in;
    };
    const Row rows[8] = {
        {{{20, 10}, {7, 3}, Box(7, 3, 120, 60)}, {{7, 3}, {33, 17}, Box(33, 17, 120, 60)}},
        {{{70, 10}, {75, 3}, Box(20, 3, 120, 60)}, {{70, 3}, {65, 17}, Box(20, 17, 120, 60)}},
        {{{120, 10}, {133, 3}, Box(20, 3, 133, 60)}, {{133, 3}, {107, 17}, Box(20, 17, 107, 60)}},
        {{{20, 35}, {7, 40}, Box(7, 10, 120, 60)}, {{7, 35}, {33, 30}, Box(33, 10, 120, 60)}},
        {{{120, 35}, {133, 40}, Box(20, 10, 133, 60)}, {{133, 35}, {107, 30}, Box(20, 10, 107, 60)}},
        {{{20, 60}, {7, 67}, Box(7, 10, 120, 67)}, {{7, 67}, {33, 53}, Box(33, 10, 120, 53)}},
        {{{70, 60}, {75, 67}, Box(20, 10, 120, 67)}, {{70, 67}, {65, 53}, Box(20, 10, 120, 53)}},
        {{{120, 60}, {133, 67}, Box(20, 10, 133, 67)}, {{133, 67}, {107, 53}, Box(20, 10, 107, 53)}},
    };
    for (int n = 0; n < 8; ++n) {
        ScaleFixture f(Box(20, 10, 120, 60), 0);
        for (Drag const& d : {rows[n].out, rows[n].in}) {
            EXPECT_EQ(f.scale.handle_bar().selected(d.from), n);
            f.drag(d.from, d.to);
            EXPECT_EQ(f.shape->rectangle(), d.box) << "handle " << n;
            EXPECT_TRUE(f.handles_on_box()) << "handle " << n;
        }
    }
}

TEST(qvScaleManipulator, The_minimum_size_holds_and_a_narrow_box_grows_to_it) {
    ScaleFixture past(Box(0, 0, 100, 50), 2);
    past.drag(Pt{0, 25}, Pt{200, 25});  // handle 3 beyond the right edge
    EXPECT_EQ(past.shape->rectangle(), Box(80, 0, 100, 50));

    ScaleFixture narrow(Box(0, 0, 10, 50), 2);
    ASSERT_TRUE(narrow.scale.begin(Pt{10, 25}));  // handle 4, not moved
    narrow.scale.move(Pt{10, 25});
    EXPECT_EQ(narrow.shape->rectangle(), Box(0, 0, 20, 50));

    // Scale 2: 20 device units are 10 model units.
    ScaleFixture mapped(Box(0, 0, 50, 25), 2, false);
    mapped.drag(Pt{10, 35}, Pt{190, 35});  // handle 3 at model (0, 12.5)
    EXPECT_EQ(mapped.shape->rectangle(), Box(40, 0, 50, 25));
}

TEST(qvScaleManipulator, An_edge_with_the_aspect_kept_only_shrinks_about_the_middle) {
    ScaleFixture grow(Box(0, 0, 100, 50), 1);
    grow.drag(Pt{50, 50}, Pt{50, 100});  // handle 6 outwards
    EXPECT_EQ(grow.shape->rectangle(), Box(0, 0, 100, 50));
    ScaleFixture shrink(Box(0, 0, 100, 50), 1);
    shrink.drag(Pt{50, 50}, Pt{50, 40});
    EXPECT_EQ(shrink.shape->rectangle(), Box(10, 0, 90, 40));
    EXPECT_TRUE(shrink.handles_on_box());
}

TEST(qvScaleManipulator, An_axis_of_zero_extent_is_left_alone) {
    qvInteractionTestView v;
    v.layer()->mapping(qvRestrictedTransformation::identity());
    const Pt line[] = {{30, 0}, {30, 40}};
    const qvExactPolyline shape(v.scene(), 2, line);
    for (const unsigned style : {1u, 2u, 3u}) {
        qvScaleManipulator scale(style);
        ASSERT_TRUE(scale.activate(v.gadgets(), v.layer(), shape));
        // Handles 5 to 7 share the top point: the topmost, 7, is picked.
        ASSERT_TRUE(scale.begin(Pt{30, 40 + 20.0 * (style - 1)}));
        scale.move(Pt{70, 60 + 20.0 * (style - 1)});
        qvAdapter<qvPointSetDataAccess> points(shape);
        EXPECT_EQ(points->point(0), (Pt{30, 0})) << style;
        EXPECT_EQ(points->point(1), (Pt{30, 60 + 20.0 * (style - 1)})) << style;
    }
    qvScaleManipulator side(2);
    ASSERT_TRUE(side.activate(v.gadgets(), v.layer(), shape));
    ASSERT_TRUE(side.begin(Pt{30, 50}));  // handles 3 and 4 share the middle: 4
    side.move(Pt{90, 50});
    qvAdapter<qvPointSetDataAccess> points(shape);
    EXPECT_EQ(points->point(0), (Pt{30, 0})) << "no width to grow";
    EXPECT_EQ(points->point(1), (Pt{30, 100}));
    EXPECT_TRUE(v.fresh());
}

TEST(qvScaleManipulator, Misuse_raises_and_changes_nothing) {
    const std::string not_initialized = "Manipulator was not initialized yet";
    qvScaleManipulator idle;
    EXPECT_EQ(qvRaisedText([&] { idle.begin(Pt{}); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { idle.check(Pt{}); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { idle.end(); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { idle.notify(2); }), not_initialized);
    EXPECT_FALSE(idle.moving());

    ScaleFixture f(Box(0, 0, 100, 50), 2);
    EXPECT_FALSE(f.scale.check(Pt{50, 25}));
    EXPECT_TRUE(f.scale.check(Pt{0, 0}));
    EXPECT_FALSE(f.scale.begin(Pt{50, 25}));
    EXPECT_FALSE(f.scale.moving());
    EXPECT_EQ(qvRaisedText([&] { f.scale.move(Pt{60, 60}); }), "Handle bar is not selected");
    f.scale.end();  // without begin
    EXPECT_EQ(f.shape->rectangle(), Box(0, 0, 100, 50));
    EXPECT_EQ(qvRaisedText([&] { f.scale.activate(qvViewGadgetLayer(), f.v.layer(), f.shape); }),
              "Gadget layer is not initialized");
    EXPECT_FALSE(f.scale.active());
    EXPECT_FALSE(f.scale.activate(f.v.gadgets(), qvViewSceneLayer(), f.shape)) << "no scene layer";
    EXPECT_FALSE(f.scale.active());
    EXPECT_TRUE(f.v.fresh()) << "the handles went with the failed activations";
}

// A handle a caller adds to the bar has no row in the handle table: picking
// it for a drag used to read past that table on the first move.
TEST(qvScaleManipulator, A_handle_added_to_its_bar_is_no_scale_handle) {
    ScaleFixture f(Box(0, 0, 100, 50), 2);
    f.scale.handle_bar().add_handle(Pt{50, 25});
    ASSERT_EQ(f.scale.handle_bar().selected(Pt{50, 25}), 8);
    EXPECT_FALSE(f.scale.check(Pt{50, 25}));
    EXPECT_FALSE(f.scale.begin(Pt{50, 25}));
    EXPECT_FALSE(f.scale.moving());
    EXPECT_EQ(qvRaisedText([&] { f.scale.move(Pt{60, 60}); }), "Handle bar is not selected");
    EXPECT_EQ(f.shape->rectangle(), Box(0, 0, 100, 50));
    EXPECT_TRUE(f.scale.begin(Pt{100, 50})) << "the eight still drag";

    for (const int n : {-1, 8, 1000}) {
        try {
            (void)qvScaleManipulator::handle_position(n, Box(0, 0, 100, 50));
            ADD_FAILURE() << n;
        } catch (qvAssertionError const& e) {
            EXPECT_STREQ(static_cast<char const*>(e), "n") << n;
        }
    }
}

TEST(qvScaleManipulator, A_graphic_without_a_scale_interaction_is_refused_or_fails_the_check) {
    qvInteractionTestView v;
    auto* const box = new SwitchableBox(v.scene(), Box(0, 0, 40, 20));
    const qvGraphic graphic(box);
    box->offers = false;
    qvScaleManipulator scale;
    EXPECT_FALSE(scale.activate(v.gadgets(), v.layer(), graphic));
    EXPECT_FALSE(scale.active());
    box->offers = true;
    ASSERT_TRUE(scale.activate(v.gadgets(), v.layer(), graphic));
    ASSERT_TRUE(scale.begin(Pt{90, 50}));  // handle 7 at model (40, 20)
    box->offers = false;
    for (auto const& call : {std::function<void()>([&] { scale.move(Pt{100, 60}); }),
                             std::function<void()>([&] { scale.notify(2); })}) {
        try {
            call();
            ADD_FAILURE() << "no assertion";
        } catch (qvAssertionError const& e) {
            EXPECT_STREQ(static_cast<char const*>(e), "r || xr");
        }
    }
    EXPECT_EQ(box->bbox(), Box(0, 0, 40, 20));
}

TEST(qvScaleManipulator, Outliving_its_view_mid_drag_is_quiet) {
    auto v = std::make_unique<qvInteractionTestView>();
    const qvRectangle shape(v->scene(), Box(0, 0, 40, 20));
    auto scale = std::make_unique<qvScaleManipulator>();
    ASSERT_TRUE(scale->activate(v->gadgets(), v->layer(), shape));
    ASSERT_TRUE(scale->begin(Pt{90, 50}));  // handle 7
    v.reset();
    EXPECT_EQ(qvRaisedText([&] { scale->deactivate(); }), "no error");
    EXPECT_FALSE(scale->active());
    scale.reset();
}
