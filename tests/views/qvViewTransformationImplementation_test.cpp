// The forwarding transformation mixin: what reaches the sink for scroll and
// zoom, that nothing happens without a sink, and that a transformation
// without finite numbers is refused at every entry before anything moves.

#include <orvane/views/qvViewTransformationImplementation.hpp>

#include <orvane/geometry/qvScaling.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>
#include <orvane/views/qvViewWindowScrollLayer.hpp>

#include "qvMappingControlTestSupport.hpp"
#include "qvRaisedText.hpp"
#include "qvRecordingDumpUser.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <utility>
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

namespace {

using RT = qvRestrictedTransformation;

// A scene layer at scale (2, 3), offset (10, 20), inside a window-scroll
// layer inside a group layer, under a view manager drawn by a renderer on
// a dump driver.
struct DumpedView {
    qvRecordingDumpUser sink;
    qvMemoryScene scene;
    qvViewManager view = qvViewCreator::create();
    qvViewGroupLayer group{true};
    qvViewWindowScrollLayer scroll{true};
    qvViewSceneLayer layer{scene, -1};
    qvDeviceRenderer renderer{qvAsDriverHandle(qvDumpDriverObject::create(&sink, 0, 0, 300, 200)), view};
    DumpedView() {
        qvRectangle(scene, qvMathRectOf<double>(1, 2, 40, 30));
        layer->mapping(RT(2, 3, 10, 20));
        scroll->add(qvViewLayer(layer), qvOrderLast);
        group->add(qvViewLayer(scroll), qvOrderLast);
        view->add(qvViewLayer(group), qvOrderLast);
    }
};

}  // namespace

// A NaN transformation used to be composed into every layer's mapping and
// handed to the driver as "transformation nan ..."; a NaN on one axis of
// the mapping control (its mapping too) moved the other axis before its
// scroller refused.
TEST(qvViewTransformationFinite, NaN_and_infinity_are_refused_at_every_entry_and_move_nothing) {
    DumpedView v;
    qvTwoLinkedViews linked;
    ASSERT_TRUE(v.renderer->redraw(qvRegion(qvMathRectOf<double>(0, 0, 300, 200)), false));
    const RT control_mapping = linked.control->mapping();
    const RT left_mapping = linked.left->mapping();
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (const double bad : {nan, inf, -inf}) {
        for (RT const& t : {RT(bad, 1, 0, 0), RT(1, bad, 0, 0), RT(1, 1, bad, 0), RT(1, 1, 0, bad)}) {
            const std::pair<char const*, std::function<void()>> entries[] = {
                {"view left", [&] { v.view->apply_left(t); }},
                {"view right", [&] { v.view->apply_right(t); }},
                {"renderer left", [&] { v.renderer->apply_left(t); }},
                {"renderer right", [&] { v.renderer->apply_right(t); }},
                {"group left", [&] { v.group->apply_left(t); }},
                {"scroll left", [&] { v.scroll->apply_left(t); }},
                {"scroll right", [&] { v.scroll->apply_right(t); }},
                {"layer left", [&] { v.layer->apply_left(t); }},
                {"layer right", [&] { v.layer->apply_right(t); }},
                {"control left", [&] { linked.control->apply_left(t); }},
                {"control right", [&] { linked.control->apply_right(t); }},
                {"control mapping", [&] { linked.control->mapping(t); }},
            };
            for (auto const& [name, apply] : entries)
                EXPECT_EQ(qvRaisedText(apply), "Invalid scroller argument") << name << " " << qvMappingText(t);
        }
    }
    EXPECT_EQ(v.layer->mapping(), RT(2, 3, 10, 20));
    EXPECT_EQ(linked.control->mapping(), control_mapping);
    EXPECT_EQ(linked.left->mapping(), left_mapping);
    EXPECT_TRUE(linked.log.empty());

    // The next redraw hands the driver the mapping it had, and finite
    // transformations still move it.
    v.sink.lines.clear();
    ASSERT_TRUE(v.renderer->redraw(qvRegion(qvMathRectOf<double>(0, 0, 300, 200)), false));
    for (std::string const& line : v.sink.lines) {
        EXPECT_EQ(line.find("nan"), std::string::npos) << line;
        EXPECT_EQ(line.find("inf"), std::string::npos) << line;
    }
    v.layer->apply_left(qvScaling(2, 0.5));
    EXPECT_EQ(v.layer->mapping(), RT(4, 1.5, 20, 10));
}
