// The handle bar on the interaction test view (device = 2 * model + 10):
// which handle a device point picks, the row's indices after changes, the
// errors of misuse, shared ownership of the handles between copies, and
// a bar that outlives its view.

#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/interaction/qvHandleBarManipulator.hpp>
#include <orvane/shapes/qvContainerScene.hpp>

#include "qvInteractionTestView.hpp"
#include "qvRaisedText.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

namespace {

using Pt = qvCrdOf<double>;

int handle_shapes(qvHandleBarManipulator& bar) {
    return qvQueryInterface<qvContainerScene>(&bar.handle_layer()->scene())->size(-1);
}

Pt handle_point(qvHandleBarManipulator& bar, int i) {
    const qvGraphic handle = bar[i];  // the adapter only borrows it
    qvAdapter<qvPointSetDataAccess> points(handle);
    return points->point(0);
}

// Handles at model (0, 0), (10, 0), (20, 0): device (10, 10), (30, 10),
// (50, 10).
void three_handles(qvHandleBarManipulator& bar) {
    bar.add_handle(Pt{0, 0});
    bar.add_handle(Pt{10, 0});
    bar.add_handle(Pt{20, 0});
}

}  // namespace

TEST(qvHandleBarManipulator, Picks_the_handle_under_a_device_point_and_ends_fresh) {
    qvInteractionTestView v;
    v.redraw_whole();
    qvHandleBarManipulator bar;
    ASSERT_TRUE(bar.activate(v.gadgets(), v.layer()));
    three_handles(bar);
    v.repair();
    qvManipulatorScript script(v, [](qvManipulatorStep const&) {});
    script.pick([&](Pt p) { return bar.selected(p); });
    const auto reports = script.run({
        {"handle", 33, 10, 0, 1},   // 3 units right of handle 1
        {"handle", 30, 22, 0, -1},  // 12 units above handle 1, far from the others
        {"handle", 58, 10, 0, 2},   // 8 units right of handle 2: inside its record's box
        {"handle", 2, 10, 0, -1},   // 8 units left of handle 0: the spot's box falls short
        {"handle", 10, 5, 0, 0},    // 5 below handle 0: within the 6 units the box reaches
    });
    ASSERT_EQ(reports.size(), 5u);
    for (qvManipulatorReport const& r : reports)
        EXPECT_EQ(r.invalid, "()") << "a pick leaves the host's view alone";
    EXPECT_TRUE(script.fresh());
}

TEST(qvHandleBarManipulator, The_topmost_of_two_handles_on_one_point_wins) {
    qvInteractionTestView v;
    qvHandleBarManipulator bar;
    ASSERT_TRUE(bar.activate(v.gadgets(), v.layer()));
    bar.add_handle(Pt{10, 10});
    bar.add_handle(Pt{30, 0});
    bar.add_handle(Pt{10, 10});
    EXPECT_EQ(bar.selected(Pt{30, 30}), 2);
    bar.remove_handle(2);
    EXPECT_EQ(bar.selected(Pt{30, 30}), 0);
}

TEST(qvHandleBarManipulator, Removing_a_handle_moves_the_later_ones_down) {
    qvInteractionTestView v;
    qvHandleBarManipulator bar;
    ASSERT_TRUE(bar.activate(v.gadgets(), v.layer()));
    three_handles(bar);
    bar.remove_handle(1);   // from the middle: the first keeps its index
    ASSERT_EQ(bar.size(), 2);
    EXPECT_EQ(handle_shapes(bar), 2);
    EXPECT_EQ(handle_point(bar, 0), (Pt{0, 0}));
    EXPECT_EQ(handle_point(bar, 1), (Pt{20, 0}));
    EXPECT_EQ(bar.selected(Pt{50, 10}), 1) << "the next handle answers to its new index";
    EXPECT_EQ(bar.selected(Pt{10, 10}), 0);
    EXPECT_EQ(bar.selected(Pt{30, 10}), -1) << "the removed handle is gone from the view";

    bar.remove_handle(0);
    ASSERT_EQ(bar.size(), 1);
    EXPECT_EQ(handle_point(bar, 0), (Pt{20, 0}));
    EXPECT_EQ(bar.selected(Pt{50, 10}), 0);
    EXPECT_EQ(bar.selected(Pt{10, 10}), -1);
}

TEST(qvHandleBarManipulator, Misuse_raises_and_changes_nothing) {
    const std::string not_initialized = "Manipulator was not initialized yet";
    qvHandleBarManipulator bar;
    bar.deactivate();  // never activated: nothing happens
    EXPECT_EQ(qvRaisedText([&] { bar.size(); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { bar.add_handle(Pt{}); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { bar.selected(Pt{}); }), not_initialized);
    EXPECT_EQ(qvRaisedText([&] { bar.notify(1); }), not_initialized);
    qvInteractionTestView v;
    EXPECT_EQ(qvRaisedText([&] { bar.activate(qvViewGadgetLayer(), v.layer()); }),
              "Gadget layer is not initialized");
    EXPECT_FALSE(bar.activate(v.gadgets(), qvViewSceneLayer())) << "an empty scene layer";
    EXPECT_FALSE(bar.active());
    qvViewGadgetLayer viewless(0);
    EXPECT_EQ(qvRaisedText([&] { bar.activate(viewless, v.layer()); }),
              "Gadget layer must be connected to a view");
    EXPECT_FALSE(bar.active());

    ASSERT_TRUE(bar.activate(v.gadgets(), v.layer()));
    three_handles(bar);
    const std::string illegal = "Illegal handle index requested";
    EXPECT_EQ(qvRaisedText([&] { bar[3]; }), illegal);
    EXPECT_EQ(qvRaisedText([&] { bar[-1]; }), illegal);
    EXPECT_EQ(qvRaisedText([&] { bar.remove_handle(3); }), illegal);
    EXPECT_EQ(qvRaisedText([&] { bar[std::numeric_limits<int>::max()]; }), illegal);
    EXPECT_EQ(qvRaisedText([&] { bar.remove_handle(std::numeric_limits<int>::min()); }), illegal);
    EXPECT_EQ(bar.size(), 3);
    EXPECT_EQ(handle_shapes(bar), 3);
}

TEST(qvHandleBarManipulator, Reactivation_and_deactivation_destroy_every_handle) {
    qvInteractionTestView v;
    v.redraw_whole();
    qvHandleBarManipulator bar;
    ASSERT_TRUE(bar.activate(v.gadgets(), v.layer()));
    three_handles(bar);
    const qvViewSceneLayer handles = bar.handle_layer();
    ASSERT_TRUE(bar.activate(v.gadgets(), v.layer()));
    EXPECT_EQ(bar.size(), 0);
    EXPECT_EQ(handle_shapes(bar), 0);
    bar.add_handle(Pt{5, 5});
    bar.deactivate();
    EXPECT_FALSE(bar.active());
    EXPECT_FALSE(bar.handle_layer());
    EXPECT_EQ(qvQueryInterface<qvContainerScene>(&handles->scene())->size(-1), 0);
    EXPECT_TRUE(v.fresh());
}

TEST(qvHandleBarManipulator, Copies_share_one_row_freed_by_the_last_holder) {
    qvInteractionTestView v;
    for (const bool copy_first : {true, false}) {
        auto original = std::make_unique<qvHandleBarManipulator>();
        ASSERT_TRUE(original->activate(v.gadgets(), v.layer()));
        auto copy = std::make_unique<qvHandleBarManipulator>(*original);
        copy->add_handle(Pt{1, 1});
        EXPECT_EQ(original->size(), 1) << "one array";
        if (copy_first) {
            copy.reset();
            EXPECT_EQ(original->size(), 0) << "the copy's end destroyed the shared handles";
            original.reset();
        } else {
            original.reset();
            EXPECT_EQ(copy->size(), 0);
            copy.reset();
        }
    }
}

TEST(qvHandleBarManipulator, Assigning_over_an_active_bar_erases_its_own_handles) {
    qvInteractionTestView v;
    qvHandleBarManipulator first, second;
    ASSERT_TRUE(first.activate(v.gadgets(), v.layer()));
    ASSERT_TRUE(second.activate(v.gadgets(), v.layer()));
    first.add_handle(Pt{1, 1});
    second.add_handle(Pt{2, 2});
    second.add_handle(Pt{3, 3});
    second = first;
    EXPECT_EQ(second.size(), 1);
    EXPECT_EQ(handle_shapes(first), 1) << "the old row's shapes are gone";
    second = first;  // one shared row: nothing is dropped
    EXPECT_EQ(first.size(), 1);
}

TEST(qvHandleBarManipulator, Outliving_its_view_is_quiet) {
    auto v = std::make_unique<qvInteractionTestView>();
    auto bar = std::make_unique<qvHandleBarManipulator>();
    ASSERT_TRUE(bar->activate(v->gadgets(), v->layer()));
    three_handles(*bar);
    v.reset();
    EXPECT_EQ(qvRaisedText([&] { bar->deactivate(); }), "no error");
    EXPECT_FALSE(bar->active());
    bar.reset();
}

// Such a handle used to make deactivate raise "Shape handle not found" and
// keep the bar active, so its destructor ended the process.
TEST(qvHandleBarManipulator, Deactivation_passes_over_a_handle_destroyed_elsewhere) {
    qvInteractionTestView v;
    v.redraw_whole();
    auto bar = std::make_unique<qvHandleBarManipulator>();
    ASSERT_TRUE(bar->activate(v.gadgets(), v.layer()));
    three_handles(*bar);
    const qvViewSceneLayer handles = bar->handle_layer();
    auto* const gadgets = qvQueryInterface<qvContainerScene>(&handles->scene());
    (*bar)[0]->destroy_shape();
    EXPECT_EQ(qvRaisedText([&] { bar->deactivate(); }), "no error");
    EXPECT_FALSE(bar->active());
    EXPECT_EQ(gadgets->size(-1), 0);

    ASSERT_TRUE(bar->activate(v.gadgets(), v.layer()));
    three_handles(*bar);
    (*bar)[2]->destroy_shape();
    bar.reset();  // the destructor deactivates
    EXPECT_EQ(gadgets->size(-1), 0);
    EXPECT_TRUE(v.fresh());
}
