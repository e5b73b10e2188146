// The point-set edit manipulator on the interaction test view (device = 2 *
// model + 10): handles standing on the target's points, dragging one point,
// rebuilding the row after the target changed with one invalidation for the
// batch, and the errors of misuse.

#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/interaction/qvPointSetEditManipulator.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvInteractionTestView.hpp"
#include "qvNotificationProbe.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvRaisedText.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using palette_test::expect_raises;
using Pt = qvCrdOf<double>;
using Box = qvMathRectOf<double>;

// Model points; device (10, 10), (30, 10), (50, 50), (30, 70), (10, 50).
const std::vector<Pt> five{{0, 0}, {10, 0}, {20, 20}, {10, 30}, {0, 20}};

std::string points_of(qvGraphic const& g) {
    qvAdapter<qvPointSetDataAccess> points(g);
    std::ostringstream out;
    for (int i = 0; i < points->size(); ++i)
        out << "(" << points->point(i).x << "," << points->point(i).y << ")";
    return out.str();
}

Pt handle_at(qvPointSetEditManipulator& m, int i) {
    const qvGraphic handle = m.handle_bar()[i];
    qvAdapter<qvPointSetDataAccess> points(handle);
    return points->point(0);
}

std::vector<std::string> handle_styles(int n) { return std::vector<std::string>(static_cast<std::size_t>(n), "3:HandleBar"); }

// Point-set access whose point(i) raises once told to.
class FailingPoints : public qvGraphicInterface, public qvPointSetDataAccess {
public:
    explicit FailingPoints(qvContainerScene& scene) : scene_(scene), points_(five) {}
    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvPointSetDataAccess>(this, info);
    }
    qvContainerScene& scene() const override { return scene_; }
    void destroy_shape() override {}
    Box bbox() override { return Box(0, 0, 20, 30); }
    void insert(int, int, qvCrdOf<double> const*) override {}
    void remove(int, int) override {}
    int size() override { return static_cast<int>(points_.size()); }
    Pt point(int i) override {
        if (fail)
            qvRaise(qvErrorFrom<FailingPoints>("point refused"));
        return points_[static_cast<std::size_t>(i)];
    }
    void point(int i, Pt p) override { points_[static_cast<std::size_t>(i)] = p; }
    bool fail = false;

private:
    qvContainerScene& scene_;
    std::vector<Pt> points_;
};

long shape_of(qvGraphic const& g) { return qvQueryInterface<qvSingleShapeProxyBase>(g.get())->shape_handle(); }

}  // namespace

TEST(qvPointSetEditManipulator, Drags_a_point_and_its_handle_and_ends_fresh) {
    qvInteractionTestView v;
    const qvExactPolygon polygon(v.scene(), 5, five.data());
    v.redraw_whole();
    qvPointSetEditManipulator edit;
    ASSERT_TRUE(edit.activate(v.gadgets(), v.layer(), polygon));
    v.fill_handles();
    ASSERT_EQ(edit.handle_bar().size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(handle_at(edit, i), five[static_cast<std::size_t>(i)]);

    qvManipulatorScript script(
        v,
        [&](qvManipulatorStep const& s) {
            if (s.op == "begin")
                EXPECT_EQ(edit.begin(Pt{s.x, s.y}), s.expect >= 0);
            else if (s.op == "move")
                edit.move(Pt{s.x, s.y});
            else if (s.op == "end")
                edit.end();
        },
        [&] { return points_of(polygon); });
    script.watch(edit.handle_bar().handle_layer());
    script.pick([&](Pt p) {
        const int before = edit.selected_point();
        const int picked = edit.selected_point(p);
        EXPECT_EQ(edit.check(p), picked >= 0);
        EXPECT_EQ(edit.selected_point(), before) << "a pick never selects";
        return picked;
    });
    const auto reports = script.run({
        {"handle", 50, 50, 0, 2},
        {"handle", 100, 100, 0, -1},
        {"begin", 50, 50, 0, 2},
        {"handle", 30, 70, 0, 3},
        {"move", 50, 30, 0},
        {"end", 0, 0, 0},
    });
    ASSERT_EQ(reports.size(), 6u);
    EXPECT_EQ(reports[0].gadgets, handle_styles(5)) << "one one-point marker per point";
    EXPECT_EQ(reports[4].geometry, "(0,0)(10,0)(20,10)(10,30)(0,20)");
    EXPECT_EQ(handle_at(edit, 2), (Pt{20, 10}));
    EXPECT_NE(reports[4].invalid, "()");
    EXPECT_EQ(edit.selected_point(), -1);
    EXPECT_EQ(qvRaisedText([&] { edit.move(Pt{1, 1}); }), "Handle bar is not selected");
    EXPECT_TRUE(script.fresh());
}

TEST(qvPointSetEditManipulator, Rebuild_adds_and_removes_handles_at_the_top_with_one_invalidation) {
    qvInteractionTestView v;
    const qvExactPolygon polygon(v.scene(), 5, five.data());
    v.redraw_whole();
    qvPointSetEditManipulator edit;
    ASSERT_TRUE(edit.activate(v.gadgets(), v.layer(), polygon));
    const qvGraphic first = edit.handle_bar()[0];
    v.fill_handles();
    v.repair();

    qvScene& handles = edit.handle_bar().handle_layer()->scene();
    qvNotificationLog log;
    qvRecordingReceiver<Box> areas{"rect", log};
    areas.connect(handles.rect_sender());

    polygon->push_back(Pt{60, 40});
    v.repair();
    edit.notify(2);
    EXPECT_EQ(log, qvNotificationLog{"rect item"}) << "one rectangle for the batch";
    EXPECT_EQ(edit.handle_bar().size(), 6);
    EXPECT_EQ(shape_of(edit.handle_bar()[0]), shape_of(first)) << "moved, not remade";
    EXPECT_EQ(handle_at(edit, 5), (Pt{60, 40}));
    EXPECT_TRUE(handles.update_notification());
    EXPECT_TRUE(v.fresh());

    log.clear();
    areas.items.clear();
    polygon->remove(4, 2);
    v.repair();
    edit.notify(2);
    EXPECT_EQ(edit.handle_bar().size(), 4);
    ASSERT_EQ(areas.items.size(), 1u);
    EXPECT_EQ(areas.items[0], Box(0, 0, 60, 40)) << "covers the removed handles";
    EXPECT_TRUE(v.fresh()) << "no stale handle pixels";

    // Every point moves far away, off the box the new places cover: the
    // batch's rectangle must take in where the handles stood before.
    for (int i = 0; i < 4; ++i) {
        const Pt p = polygon->point(i);
        polygon->point(i, Pt{p.x + 60, p.y + 30});
    }
    v.repair();
    edit.notify(2);
    EXPECT_EQ(handle_at(edit, 2), (Pt{80, 50}));
    EXPECT_EQ(areas.items.back(), Box(0, 0, 80, 60));
    EXPECT_TRUE(v.fresh()) << "no handle left at its old place";

    const qvViewSceneLayer layer = edit.handle_bar().handle_layer();
    edit.notify(3);
    EXPECT_EQ(edit.handle_bar().handle_layer().get(), layer.get()) << "bit 1 is not passed on with bit 2";
    log.clear();
    edit.deactivate();
    EXPECT_EQ(log, qvNotificationLog{"rect item"});
    EXPECT_TRUE(v.fresh());
}

TEST(qvPointSetEditManipulator, Refusals_and_misuse) {
    qvInteractionTestView v;
    const qvRectangle box(v.scene(), Box(0, 0, 10, 10));
    qvPointSetEditManipulator edit;
    EXPECT_EQ(qvRaisedText([&] { edit.check(Pt{1, 1}); }), "Manipulator was not initialized yet");
    EXPECT_EQ(qvRaisedText([&] { edit.notify(2); }), "Manipulator was not initialized yet");
    EXPECT_EQ(qvRaisedText([&] { edit.activate(qvViewGadgetLayer(), v.layer(), box); }),
              "Gadget layer is not initialized");
    EXPECT_FALSE(edit.activate(v.gadgets(), v.layer(), box)) << "a rectangle has no point-set access";
    EXPECT_FALSE(edit.active());
    EXPECT_FALSE(edit.handle_bar().active()) << "nothing shown";
    EXPECT_EQ(edit.selected_point(), -1);
    EXPECT_FALSE(edit.moving());
}

TEST(qvPointSetEditManipulator, A_target_that_raises_inside_a_rebuild_leaves_notification_on) {
    qvInteractionTestView v;
    auto* const points = new FailingPoints(v.scene());
    const qvGraphic target(points);
    v.redraw_whole();
    qvPointSetEditManipulator edit;
    ASSERT_TRUE(edit.activate(v.gadgets(), v.layer(), target));
    EXPECT_EQ(edit.handle_bar().size(), 5);
    qvScene& handles = edit.handle_bar().handle_layer()->scene();
    points->fail = true;
    EXPECT_EQ(qvRaisedText([&] { edit.notify(2); }), "point refused");
    EXPECT_TRUE(handles.update_notification());
    points->fail = false;
    edit.deactivate();
    EXPECT_TRUE(v.fresh());
}

// Non-finite device points used to be stored as given.
TEST(qvPointSetEditManipulator, Non_finite_device_points_are_refused_and_store_nothing) {
    qvInteractionTestView v;
    const qvExactPolygon polygon(v.scene(), 5, five.data());
    qvPointSetEditManipulator edit;
    ASSERT_TRUE(edit.activate(v.gadgets(), v.layer(), polygon));
    EXPECT_FALSE(edit.check(Pt{std::nan(""), 10}));
    ASSERT_TRUE(edit.begin(Pt{10, 10}));
    const Pt before = polygon->point(0);
    expect_raises<qvErrorFrom<qvManipulator>>([&] { edit.move(Pt{std::numeric_limits<double>::infinity(), 30}); },
                                              "Invalid device point");
    EXPECT_EQ(polygon->point(0), before);
    edit.end();
    edit.deactivate();
    EXPECT_TRUE(edit.handle_bar().active() == false);
}

// A handle shape destroyed by other code used to make deactivate raise
// "Shape handle not found" and stay active, so the destructor ended the
// process.
TEST(qvPointSetEditManipulator, A_handle_destroyed_elsewhere_does_not_stop_deactivation) {
    qvInteractionTestView v;
    const qvExactPolyline shape(v.scene(), 5, five.data());
    v.redraw_whole();
    auto edit = std::make_unique<qvPointSetEditManipulator>();
    ASSERT_TRUE(edit->activate(v.gadgets(), v.layer(), shape));
    const qvViewSceneLayer handles = edit->handle_bar().handle_layer();
    auto* const gadgets = qvQueryInterface<qvContainerScene>(&handles->scene());
    edit->handle_bar()[1]->destroy_shape();
    ASSERT_EQ(gadgets->size(-1), 4);
    EXPECT_EQ(qvRaisedText([&] { edit->deactivate(); }), "no error");
    EXPECT_FALSE(edit->active());
    EXPECT_EQ(gadgets->size(-1), 0) << "the other handles went";
    EXPECT_TRUE(v.fresh());

    ASSERT_TRUE(edit->activate(v.gadgets(), v.layer(), shape));
    edit->handle_bar()[4]->destroy_shape();
    edit.reset();  // the destructor deactivates
    EXPECT_EQ(gadgets->size(-1), 0);
    EXPECT_EQ(points_of(shape), "(0,0)(10,0)(20,20)(10,30)(0,20)");
}
