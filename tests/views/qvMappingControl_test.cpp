// The mapping control on two views of one scene: zooms, scrolls, show and
// mappings pushed into linked layers, link types and offsets, controls
// without dimensions, clones and copies, and bad input that moves nothing.

#include "qvMappingControlTestSupport.hpp"
#include "qvScrollerSpy.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/views/qvMappingControl.hpp>
#include <orvane/views/qvMappingControlFilter.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>

#include "views/qvMappingControlImpl.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include <unistd.h>

namespace {

using Rect = qvMathRectOf<double>;
using RT = qvRestrictedTransformation;

RT layer_mapping_of(qvViewSceneLayer const& layer) { return layer->mapping(); }

int lines_of(std::vector<std::string> const& log, std::string const& prefix) {
    int n = 0;
    for (auto const& line : log) n += line.rfind(prefix, 0) == 0;
    return n;
}

struct qvMappingControlTest : ::testing::Test, qvTwoLinkedViews {
    // The right layer shows p at the control's device point plus (200, 0).
    void expect_views_in_step() {
        EXPECT_EQ(layer_mapping_of(left), control->mapping());
        EXPECT_EQ(layer_mapping_of(right), qvTranslation(right_offset) * control->mapping());
        EXPECT_EQ(layer_mapping_of(right), control->layer_mapping(right));
    }
};

TEST_F(qvMappingControlTest, A_new_control_zooms_about_the_model_origin) {
    EXPECT_EQ(control->zoom_anchor_type(), 9);
    control->zoom(2);
    EXPECT_EQ(control->mapping(), RT(2, 2, 0, 0));
    EXPECT_EQ(layer_mapping_of(left), RT(2, 2, 0, 0));
    EXPECT_EQ(layer_mapping_of(right), RT(2, 2, 200, 0));
    // A zoom reaches the layers as model-side factors, one per axis.
    EXPECT_EQ(lines_of(log, "left.apply_right"), 2);
    EXPECT_EQ(lines_of(log, "left.apply_left"), 0);

    control->independent_zoom(false);
    control->zoom(2, 3);
    EXPECT_EQ(control->mapping(), RT(4, 4, 0, 0));
    control->independent_zoom(true);
    control->zoom(0.5, 2);
    EXPECT_EQ(control->mapping(), RT(2, 8, 0, 0));
    expect_views_in_step();
}

TEST_F(qvMappingControlTest, Zooming_to_a_rectangle_centres_it_at_the_smaller_factor) {
    control->zoom(Rect(0, 0, 100, 100), true);
    EXPECT_EQ(control->mapping(), RT(3, 3, 50, 0));
    EXPECT_EQ(control->model_to_device({50, 50}), (qvCrdOf<double>(200, 150)));
    expect_views_in_step();

    // Without dimensions' windows the factor is 1.
    qvMappingControl fresh = qvMappingControlObject::create();
    fresh->zoom(Rect(0, 0, 100, 50), true);
    EXPECT_EQ(fresh->mapping().m0(), 1);
    EXPECT_EQ(fresh->mapping().m3(), 1);
}

// Zooming to the whole model range on a window of other proportions than
// the range's: keeping the aspect, the range fills the window on one axis
// and the limits alignment places it on the other, at the window's start,
// centre or end. A square window would hide a width taken for a height;
// these are 400 x 200 and 200 x 400, the ranges 100 x 80 and 80 x 100, so
// the two factors are 4 and 2.5 and the smaller one, 2.5, leaves 150
// device units spare. Round-off, on in a new control, moves the range one
// device unit back whenever the window starts below the limits' low end,
// as it does for a range centred or placed at the end: a centred range
// starts at 74, not 75, and one at the end stops at 399. Without
// keep_aspect each axis fills its window.
TEST_F(qvMappingControlTest, Zooming_to_the_limits_places_them_by_the_limits_alignment_in_wide_and_high_windows) {
    const Rect wide_window(0, 0, 400, 200), high_window(0, 0, 200, 400);
    const Rect wide_range(10, 20, 110, 100), high_range(10, 20, 90, 120);
    const struct {
        std::optional<int> anchor;  // none: the new control's own alignment
        bool keep_aspect;
        Rect in_wide, in_high;
    } rows[] = {
        {std::nullopt, true, Rect(74, 0, 324, 200), Rect(0, 74, 200, 324)},
        {8, true, Rect(74, 0, 324, 200), Rect(0, 74, 200, 324)},
        {0, true, Rect(0, 0, 250, 200), Rect(0, 0, 200, 250)},
        {1, true, Rect(0, 0, 250, 200), Rect(0, 149, 200, 399)},
        {2, true, Rect(149, 0, 399, 200), Rect(0, 0, 200, 250)},
        {3, true, Rect(149, 0, 399, 200), Rect(0, 149, 200, 399)},
        {4, true, Rect(0, 0, 250, 200), Rect(0, 74, 200, 324)},
        {5, true, Rect(74, 0, 324, 200), Rect(0, 0, 200, 250)},
        {6, true, Rect(149, 0, 399, 200), Rect(0, 74, 200, 324)},
        {7, true, Rect(74, 0, 324, 200), Rect(0, 149, 200, 399)},
        {std::nullopt, false, Rect(0, 0, 400, 200), Rect(0, 0, 200, 400)},
    };
    for (auto const& row : rows) {
        for (const bool wide : {true, false}) {
            const Rect range = wide ? wide_range : high_range;
            qvMappingControl fresh = qvMappingControlObject::create();
            fresh->resize(wide ? wide_window : high_window);
            fresh->limits(range);
            if (row.anchor)
                fresh->limits_alignment(*row.anchor);
            fresh->zoom(range, row.keep_aspect);
            const qvCrdOf<double> lo = fresh->model_to_device({range.x1, range.y1});
            const qvCrdOf<double> hi = fresh->model_to_device({range.x2, range.y2});
            EXPECT_EQ(Rect(lo.x, lo.y, hi.x, hi.y), wide ? row.in_wide : row.in_high)
                << (wide ? "wide" : "high") << ", anchor " << row.anchor.value_or(-1) << ", keep_aspect "
                << row.keep_aspect << ": " << qvMappingText(fresh->mapping());
        }
    }
}

TEST_F(qvMappingControlTest, Show_brings_the_anchored_corner_of_a_rectangle_to_the_window_corner) {
    control->show(Rect(100, 100, 200, 200), 0);
    EXPECT_EQ(control->model_to_device({100, 100}), (qvCrdOf<double>(0, 0)));
    expect_views_in_step();

    control->show(Rect(100, 100, 200, 200), 3);
    EXPECT_EQ(control->model_to_device({200, 200}), (qvCrdOf<double>(400, 300)));
    // Out of the grid: the middles.
    control->show(Rect(100, 100, 200, 200), 42);
    EXPECT_EQ(control->model_to_device({150, 150}), (qvCrdOf<double>(200, 150)));
    control->show(qvCrdOf<double>(10, 20), 9);
    EXPECT_EQ(control->model_to_device({10, 20}), (qvCrdOf<double>(200, 150)));

    // A flipped horizontal axis takes the rectangle's right side.
    control->mapping(RT(-1, 1, 400, 0));
    control->show(Rect(100, 100, 200, 200), 0);
    EXPECT_EQ(control->model_to_device({200, 100}), (qvCrdOf<double>(0, 0)));
    expect_views_in_step();
}

TEST_F(qvMappingControlTest, Linked_layers_follow_every_mapping_zoom_and_scroll_with_their_offsets) {
    control->mapping(RT(2, 2, 10, 20));
    EXPECT_EQ(layer_mapping_of(right), RT(2, 2, 210, 20));
    expect_views_in_step();
    control->zoom(2, qvCrdOf<double>(10, 10));
    expect_views_in_step();
    control->scroll(30, 0);
    expect_views_in_step();
    EXPECT_EQ(control->model_to_device({0, 0}).x, -130);
    control->apply_left(RT(1, 1, 4, 8));
    expect_views_in_step();
    control->apply_right(RT(2, 2, 1, 1));
    expect_views_in_step();
    const qvCrdOf<double> p(7, 9);
    const qvCrdOf<double> on_right = right->scene_to_device(p);
    EXPECT_EQ(on_right, control->model_to_device(p) + qvCrdOf<double>(200, 0));
}

TEST_F(qvMappingControlTest, A_vertically_linked_layer_ignores_horizontal_changes) {
    control->add(left, 1, {0, 0});
    EXPECT_EQ(control->link_type(left), 1);
    control->scroll(30, 0);
    control->horizontal_dimension()->mapping(qvRTComponent(2, 5));
    control->horizontal_dimension()->zoom(2, 0);
    EXPECT_EQ(lines_of(log, "left."), 0);
    EXPECT_EQ(layer_mapping_of(left), RT());
    EXPECT_EQ(layer_mapping_of(right).m0(), 4);

    control->vertical_dimension()->mapping(qvRTComponent(3, 1));
    EXPECT_EQ(layer_mapping_of(left), RT(1, 3, 0, 1));
}

TEST_F(qvMappingControlTest, A_control_without_dimensions_moves_nothing) {
    control->horizontal_dimension(qvMappingDimension());
    control->vertical_dimension(qvMappingDimension());
    control->mapping(RT(2, 2, 5, 5));
    control->zoom(3);
    control->scroll(10, 10);
    control->apply_left(RT(2, 2, 1, 1));
    control->show(Rect(1, 1, 2, 2), 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(control->mapping(), RT());
    EXPECT_EQ(control->window(), Rect(0, 0, 0, 0));
    EXPECT_EQ(control->position(), (qvCrdOf<double>(0, 0)));
    EXPECT_EQ(control->limits(), Rect(0, 0, 0, 0));
}

TEST_F(qvMappingControlTest, Limits_alignment_maps_the_anchor_grid_onto_both_dimensions) {
    control->limits_alignment(8);
    EXPECT_EQ(control->limits_alignment(), 8);
    EXPECT_EQ(control->horizontal_dimension()->alignment(), qvLimitsCentred);
    EXPECT_EQ(control->vertical_dimension()->alignment(), qvLimitsCentred);

    const struct {
        int anchor;
        qvLimitsAlignment x, y;
    } grid[] = {{0, qvLimitsAtStart, qvLimitsAtStart}, {3, qvLimitsAtEnd, qvLimitsAtEnd},
                {5, qvLimitsCentred, qvLimitsAtStart}, {6, qvLimitsAtEnd, qvLimitsCentred},
                {9, qvLimitsCentred, qvLimitsCentred}, {1, qvLimitsAtStart, qvLimitsAtEnd},
                {8, qvLimitsCentred, qvLimitsCentred}};
    for (auto const& g : grid) {
        control->limits_alignment(g.anchor);
        EXPECT_EQ(control->horizontal_dimension()->alignment(), g.x) << g.anchor;
        EXPECT_EQ(control->vertical_dimension()->alignment(), g.y) << g.anchor;
    }
}

TEST_F(qvMappingControlTest, Remove_unlinks_a_layer_whatever_its_link_and_offset) {
    control->add(left, 3, {5, 0});
    EXPECT_EQ(control->offset(left), (qvCrdOf<double>(5, 0)));
    // A second entry of the same layer, as a shared table may hold.
    control->mapping_table()->add(qvMappingTableItem(control.get(), qvViewLayer(left), 1, {7, 7}));
    control->remove(left);
    EXPECT_EQ(control->link_type(left), 0);
    EXPECT_EQ(control->offset(left), (qvCrdOf<double>(0, 0)));
    control->zoom(2);
    EXPECT_EQ(lines_of(log, "left."), 0);
    EXPECT_EQ(control->link_type(right), 3);

    // A layer that died: its entry is skipped and stays.
    right = qvViewSceneLayer();
    control->zoom(2);
    const qvMappingControlFilter mine(control.get());
    EXPECT_TRUE(control->mapping_table()->query(mine));
}

// remove() erases the entry it finds until none is left: an entry unequal
// to itself (a NaN offset) was found again forever. The timer turns that
// hang into a failure.
TEST_F(qvMappingControlTest, Remove_unlinks_a_layer_linked_with_a_NaN_offset) {
    alarm(10);
    control->add(left, 3, {std::numeric_limits<double>::quiet_NaN(), 0});
    control->remove(left);
    EXPECT_EQ(control->link_type(left), 0);
    alarm(0);
}

TEST_F(qvMappingControlTest, Without_a_table_or_a_layer_nothing_is_linked) {
    control->add(qvViewLayer(), 3, {1, 1});
    EXPECT_EQ(control->link_type(qvViewLayer()), 0);
    control->mapping_table(qvMappingTable());
    control->add(left, 3, {1, 1});
    control->zoom(2);
    control->remove(right);
    EXPECT_EQ(control->link_type(left), 0);
    EXPECT_EQ(control->offset(right), (qvCrdOf<double>(0, 0)));
    EXPECT_TRUE(log.empty());
}

TEST_F(qvMappingControlTest, Set_mapping_reaches_data_layers_and_nested_managers_but_not_group_children) {
    qvViewManager nested = qvViewCreator::create();
    qvViewSceneLayer inner = qvLoggedSceneLayer::make("inner", log, &scene);
    nested->add(inner, qvOrderFirst);
    qvViewGroupLayer group(true);
    qvViewSceneLayer grouped = qvLoggedSceneLayer::make("grouped", log, &scene);
    qvViewSceneLayer top = qvLoggedSceneLayer::make("top", log, &scene);
    qvViewManager outer = qvViewCreator::create();
    ASSERT_TRUE(outer->add(top, qvOrderFirst));
    ASSERT_TRUE(outer->add(group, qvOrderLast));
    ASSERT_TRUE(outer->add(nested, qvOrderLast));
    // A child of the group that the manager does not list.
    ASSERT_TRUE(group->add(grouped, qvOrderLast));

    qvMappingControlImpl::set_mapping(qvIWeakPtr<qvViewLayerObject>(qvViewLayer(outer)), RT(2, 3, 4, 5), 3);
    EXPECT_EQ(layer_mapping_of(top), RT(2, 3, 4, 5));
    EXPECT_EQ(layer_mapping_of(inner), RT(2, 3, 4, 5));
    EXPECT_EQ(layer_mapping_of(grouped), RT());

    // A group layer given directly passes it to its children; one axis only.
    qvMappingControlImpl::set_mapping(qvIWeakPtr<qvViewLayerObject>(qvViewLayer(group)), RT(2, 3, 4, 5), 2);
    EXPECT_EQ(layer_mapping_of(grouped), RT(2, 1, 4, 0));
    qvMappingControlImpl::set_mapping(qvIWeakPtr<qvViewLayerObject>(qvViewLayer(group)), RT(2, 3, 4, 5), 0);
    EXPECT_EQ(layer_mapping_of(grouped), RT(2, 1, 4, 0));
}

TEST_F(qvMappingControlTest, A_clone_moves_with_the_dimensions_but_drives_only_its_own_layers) {
    auto& impl = static_cast<qvMappingControlImpl&>(*control);
    qvMappingControl twin(impl.clone());
    ASSERT_TRUE(twin);
    EXPECT_EQ(twin->mapping_table().get() == control->mapping_table().get(), false);
    qvViewSceneLayer own = qvLoggedSceneLayer::make("own", log, &scene);
    twin->add(own, 3, {0, 0});
    twin->zoom(2);
    EXPECT_EQ(control->mapping(), RT(2, 2, 0, 0));
    // Each layer was driven once per axis, by its own control only.
    EXPECT_EQ(lines_of(log, "left.apply_right"), 2);
    EXPECT_EQ(lines_of(log, "own.apply_right"), 2);
    expect_views_in_step();

    // A copy shares everything and still reports to the source.
    qvMappingControl copy(new qvMappingControlImpl(impl));
    EXPECT_EQ(copy->mapping_table().get(), control->mapping_table().get());
    copy->scroll(10, 0);
    expect_views_in_step();
    EXPECT_EQ(layer_mapping_of(own), control->mapping());
}

TEST_F(qvMappingControlTest, A_zoom_with_a_bad_factor_or_centre_moves_neither_axis) {
    control->mapping(RT(2, 2, 3, 4));
    log.clear();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_THROW(control->zoom(0), qvAssertionError);
    EXPECT_THROW(control->zoom(2, -1), qvAssertionError);
    EXPECT_THROW(control->zoom(2, nan), qvAssertionError);
    try {
        control->zoom(2, inf);
        ADD_FAILURE();
    } catch (qvError const& e) {
        EXPECT_STREQ(e, "Invalid scroller argument");
    }
    EXPECT_THROW(control->zoom(2, qvCrdOf<double>(1, inf)), qvError);
    control->independent_zoom(false);
    EXPECT_THROW(control->zoom(nan, 2, qvCrdOf<double>(0, 0)), qvError);
    EXPECT_THROW(control->zoom(Rect(0, 0, 0, 100), false), qvError);
    EXPECT_THROW(control->zoom(Rect(5, 0, 5, 0), true), qvError);
    EXPECT_EQ(control->mapping(), RT(2, 2, 3, 4));
    EXPECT_TRUE(log.empty());
}

// Each axis is a dimension of its own: a NaN on one axis must be refused
// before the other axis, whose part is no identity, has moved.
TEST_F(qvMappingControlTest, Apply_left_or_right_with_NaN_on_one_axis_moves_neither_axis) {
    control->mapping(RT(2, 2, 3, 4));
    log.clear();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const RT& rt : {RT(3, nan, 5, 0), RT(3, 1, 5, nan), RT(nan, 3, 0, 5), RT(1, 3, nan, 5)}) {
        for (const bool left_side : {true, false}) {
            try {
                left_side ? control->apply_left(rt) : control->apply_right(rt);
                ADD_FAILURE() << left_side;
            } catch (qvError const& e) {
                EXPECT_STREQ(e, "Invalid scroller argument") << left_side;
            }
            EXPECT_EQ(control->mapping(), RT(2, 2, 3, 4)) << left_side;
        }
    }
    EXPECT_TRUE(log.empty());
    expect_views_in_step();
}

TEST_F(qvMappingControlTest, A_batch_ends_on_every_scroller_also_when_an_error_passes) {
    qvScrollerSpyLog spies;
    qvISafePtr<qvScrollerSpy<qvScrollerObject>> bar(new qvScrollerSpy<qvScrollerObject>("bar", spies));
    control->horizontal_dimension()->add(qvScroller(bar, static_cast<qvScrollerInterface*>(bar.get())));
    spies.clear();
    // The vertical step refuses a scale of 0 after the horizontal one moved.
    EXPECT_THROW(control->mapping(RT(2, 0, 0, 0)), qvError);
    EXPECT_GE(spies.count("begin_update"), 1);
    EXPECT_EQ(spies.count("end_update"), spies.count("begin_update"));
    control->scroll(5, 0);
    EXPECT_EQ(bar->position(), control->x_position());
    expect_views_in_step();
}

TEST_F(qvMappingControlTest, Anchors_pick_the_window_point_a_zoom_keeps_still) {
    control->zoom_anchor(3, {0, 0});
    control->zoom(2);
    EXPECT_EQ(control->model_to_device({400, 300}), (qvCrdOf<double>(400, 300)));
    control->zoom_anchor(42, {0, 0});
    EXPECT_EQ(control->zoom_anchor_type(), 42);
    const qvCrdOf<double> middle = control->device_to_model({200, 150});
    control->zoom(2);
    EXPECT_EQ(control->model_to_device(middle), (qvCrdOf<double>(200, 150)));
    control->zoom_anchor(9, {10, 10});
    const qvCrdOf<double> before = control->model_to_device({10, 10});
    control->zoom(0.5);
    EXPECT_EQ(control->model_to_device({10, 10}), before);
    expect_views_in_step();
}

TEST_F(qvMappingControlTest, Resize_rounds_outward_to_whole_units_while_round_off_is_on) {
    control->resize(Rect(0.5, 0.2, 399.5, 299.1));
    EXPECT_EQ(control->window(), Rect(0, 0, 400, 300));
    control->round_off(false);
    EXPECT_FALSE(control->horizontal_dimension()->round_off());
    control->resize(Rect(0.5, 0.2, 399.5, 299.1));
    EXPECT_EQ(control->window(), Rect(0.5, 0.2, 399.5, 299.1));
    EXPECT_EQ(control->x_window_size(), 399);
    control->limits(Rect(0, 0, 1000, 800));
    EXPECT_EQ(control->model_limits(), Rect(0, 0, 1000, 800));
    EXPECT_EQ(control->y_limits().hi, 800);
}

}  // namespace
