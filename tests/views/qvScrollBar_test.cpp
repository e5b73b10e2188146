// The scroll bar: conversions between bar positions and model values, the
// answers without limits or on an empty bar, the bar following the views
// of its dimension, and its handle.

#include <orvane/views/qvMappingDimension.hpp>
#include <orvane/views/qvScrollBar.hpp>

#include "qvTestScrollBar.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A bar over device range (10, 210) with limits (0, 100).
qvScrollBar bar_over_limits() {
    qvScrollBar bar(new qvTestScrollBar({10, 210}));
    bar->limits(0, 100);
    return bar;
}

TEST(qvScrollBar, The_model_range_spans_the_bar_in_whole_device_units) {
    const qvScrollBar bar = bar_over_limits();
    EXPECT_EQ(bar->dev2mod(110.7), 50);  // floor(110.7) = 110, half way
    EXPECT_EQ(bar->mod2dev(50), 110);
    EXPECT_EQ(bar->dev2mod(10), 0);
    EXPECT_EQ(bar->dev2mod(210), 100);
    EXPECT_EQ(bar->mod2dev(100), 210);
    EXPECT_EQ(bar->mod2dev(33.3), 76);  // floor(66.6) + 10
}

TEST(qvScrollBar, On_a_flipped_axis_the_bar_start_shows_the_high_limit) {
    const qvScrollBar bar = bar_over_limits();
    bar->mapping(-1, 0);
    ASSERT_TRUE(bar->flipped());
    EXPECT_EQ(bar->dev2mod(10), 100);
    EXPECT_EQ(bar->dev2mod(60), 75);
    EXPECT_EQ(bar->mod2dev(100), 10);
    EXPECT_EQ(bar->mod2dev(75), 60);
}

// Neither case may divide by zero: both answer the bar's start (a model
// value at it, or the start itself).
TEST(qvScrollBar, Without_limits_or_on_an_empty_bar_the_answers_are_the_bar_start) {
    qvScrollBar unlimited(new qvTestScrollBar({10, 210}));
    EXPECT_EQ(unlimited->mod2dev(30), 10);
    EXPECT_EQ(unlimited->dev2mod(120), 0);

    qvTestScrollBar* empty_bar = new qvTestScrollBar;
    qvScrollBar empty(empty_bar);
    empty->limits(0, 100);
    empty_bar->set_device_range(10, 10);
    EXPECT_EQ(empty->dev2mod(10), 0);
    EXPECT_EQ(empty->dev2mod(55), 0);
    EXPECT_EQ(empty->mod2dev(70), 10);
    empty->mapping(-1, 0);
    EXPECT_EQ(empty->dev2mod(10), 100);

    // Limits of size 0 are limits without extent: the same answers.
    qvScrollBar point(new qvTestScrollBar({10, 210}));
    point->limits(5, 5);
    EXPECT_EQ(point->mod2dev(5), 10);
    EXPECT_EQ(point->dev2mod(77), 5);
    for (double d : {-1e9, 0.0, 1e9}) EXPECT_TRUE(std::isfinite(empty->dev2mod(d)));
}

TEST(qvScrollBar, A_bar_in_a_dimension_follows_the_views) {
    qvMappingDimension d(0, true);
    d->limits(0, 1000);
    qvScroller view = qvScrollerObject::create();
    qvScrollBar bar(new qvTestScrollBar({0, 200}));
    d->add(view);
    d->add(bar);
    view->do_resize({0, 100});
    view->update(true, d.get());  // the view's own window, not passed on

    view->scroll(250);
    EXPECT_EQ(bar->position(), 250);
    EXPECT_EQ(bar->mod2dev(bar->position()), 50);
    // Moving the bar's thumb moves the view.
    bar->position(bar->dev2mod(100));
    EXPECT_EQ(view->position(), 500);
}

TEST(qvScrollBar, Handles_find_only_scroll_bars_and_convert_to_scrollers) {
    EXPECT_FALSE(static_cast<qvScroller>(qvScrollBar()));
    const qvScroller plain = qvScrollerObject::create();
    EXPECT_FALSE(qvScrollBar(plain));
    EXPECT_FALSE(qvScrollBar(plain.get()));
    EXPECT_FALSE(qvScrollBar(qvMappingDimensionObject::create(true)));

    const qvScrollBar bar(new qvTestScrollBar({0, 1}));
    const qvScroller as_scroller = bar;
    EXPECT_TRUE(as_scroller == bar);
    const qvScrollBar again(as_scroller);
    EXPECT_TRUE(again == bar);
    EXPECT_NE(qvQueryInterface<qvScrollerObject>(as_scroller.get()), nullptr);
    EXPECT_EQ(qvQueryInterface<qvMappingDimensionObject>(as_scroller.get()), nullptr);

    qvScrollBar first(new qvTestScrollBar({0, 100}));
    const qvScrollBar second = first;
    first = qvScrollBar();
    second->limits(0, 10);
    EXPECT_EQ(second->mod2dev(5), 50);
}

}  // namespace
