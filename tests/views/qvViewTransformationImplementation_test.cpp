// The forwarding transformation mixin: what reaches the sink for scroll and
// zoom, and that nothing happens without a sink.

#include <orvane/views/qvViewTransformationImplementation.hpp>

#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

struct Forwarder : qvViewTransformationImplementation {};

// A sink that keeps what it is given, left and right apart.
struct Sink : qvViewTransformationImplementation {
    std::vector<qvRestrictedTransformation> left, right;
    void apply_left(qvRestrictedTransformation const& t) override { left.push_back(t); }
    void apply_right(qvRestrictedTransformation const& t) override { right.push_back(t); }
};

}  // namespace

TEST(qvViewTransformationImplementation, Scroll_moves_by_whole_units_truncated_toward_zero) {
    Forwarder view;
    Sink sink;
    view.transformation_sink(&sink);
    EXPECT_EQ(view.transformation_sink(), &sink);
    view.scroll(2.7, -2.7);
    view.scroll(2.9, -1.9);
    view.scroll(1e300, -0.5);   // beyond every integer type: still exact
    ASSERT_EQ(sink.left.size(), 3u);
    EXPECT_EQ(sink.left[0], qvTranslation(2, -2));
    EXPECT_EQ(sink.left[1], qvTranslation(2, -1));
    EXPECT_EQ(sink.left[2], qvTranslation(1e300, 0));
    EXPECT_TRUE(sink.right.empty());
}

TEST(qvViewTransformationImplementation, Scroll_by_NaN_or_infinity_does_nothing) {
    Forwarder view;
    Sink sink;
    view.transformation_sink(&sink);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    view.scroll(nan, 1);
    view.scroll(1, -inf);
    view.scroll(inf, 0);
    EXPECT_TRUE(sink.left.empty());
}

TEST(qvViewTransformationImplementation, Zoom_keeps_its_centre_and_one_factor_means_both) {
    Forwarder view;
    Sink sink;
    view.transformation_sink(&sink);
    const qvCrdOf<double> c{3, 5};
    view.zoom(c, 2);
    view.zoom(c, 2, 2);
    ASSERT_EQ(sink.left.size(), 2u);
    EXPECT_EQ(sink.left[0], sink.left[1]);
    const qvRestrictedTransformation t = sink.left[0];
    EXPECT_EQ(t.get_x() * c.x, c.x);
    EXPECT_EQ(t.get_y() * c.y, c.y);
    EXPECT_EQ(t.get_x() * 4.0, 5.0);   // twice as far from 3
    EXPECT_EQ(t.get_y() * 4.0, 3.0);   // twice as far from 5
}

TEST(qvViewTransformationImplementation, Without_a_sink_nothing_is_forwarded) {
    Forwarder view;
    Sink sink;
    view.transformation_sink(&sink);
    view.apply_right(qvTranslation(1, 1));
    EXPECT_EQ(sink.right.size(), 1u);
    view.transformation_sink(nullptr);
    view.apply_left(qvScaling(2, 3));
    view.apply_right(qvScaling(2, 3));
    view.zoom({0, 0}, 2);
    view.scroll(5, 5);
    EXPECT_TRUE(sink.left.empty());
    EXPECT_EQ(sink.right.size(), 1u);
}
