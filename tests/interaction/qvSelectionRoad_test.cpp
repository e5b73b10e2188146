// Selectors driven down the rendering road: a view over a memory scene, a
// device renderer on the selector, one immediate redraw of the selection's
// box. What reaches check_selection and the callback, and in which order.

#include <orvane/interaction/qvBoxSelector.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>
#include <orvane/shapes/qvArc.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvPaletteTestSupport.hpp"
#include "qvSelectionTestView.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;

struct HandleLog : qvSelector::Callback {
    bool answer = true;
    std::vector<std::int32_t> handles;
    bool selected(qvShapeBase const* record, qvScene const*) override {
        handles.push_back(record->shape_handle);
        return answer;
    }
};

// A spot selector that logs the records check_selection is asked about.
class LoggingSpot : public qvSpotSelectorObject {
public:
    using qvSpotSelectorObject::qvSpotSelectorObject;
    bool check_selection(qvShapeBase const* record, Info info) override {
        tested.push_back(record->shape_handle);
        return qvSpotSelectorObject::check_selection(record, info);
    }
    std::vector<std::int32_t> tested;
};

// Three rectangles stacked over (0, 0, 10, 10), in drawing order.
std::vector<std::int32_t> stack_of_three(qvSelectionTestView& view) {
    std::vector<std::int32_t> handles;
    for (int i = 0; i < 3; ++i) {
        const qvRectangle r(view.scene(), Box(0, 0, 10 + i, 10 + i));
        handles.push_back(static_cast<std::int32_t>(r->shape_handle()));
    }
    return handles;
}

}  // namespace

TEST(qvSelectionRoad, Topmost_record_is_reported_first_with_the_prepare_flag) {
    qvSelectionTestView view;
    const std::vector<std::int32_t> drawn = stack_of_three(view);
    HandleLog log;
    qvSpotSelector spot(Pt{10, 5}, &log);
    view.select(spot, spot->bbox());
    EXPECT_EQ(log.handles, (std::vector<std::int32_t>{drawn[2], drawn[1], drawn[0]}));
    log.handles.clear();
    view.select(spot, spot->bbox(), false);
    EXPECT_EQ(log.handles, drawn);
}

TEST(qvSelectionRoad, Callback_false_on_the_first_hit_stops_the_redraw) {
    qvSelectionTestView view;
    const std::vector<std::int32_t> drawn = stack_of_three(view);
    HandleLog log;
    log.answer = false;
    const qvISafePtr<LoggingSpot> spot(new LoggingSpot(Pt{10, 5}, &log));
    view.select(qvISafePtr<qvDriverObject>(spot, spot.get()), spot->bbox());
    EXPECT_EQ(log.handles, (std::vector<std::int32_t>{drawn[2]}));
    EXPECT_EQ(spot->tested, (std::vector<std::int32_t>{drawn[2]}));
    // The next redraw starts afresh.
    view.select(qvISafePtr<qvDriverObject>(spot, spot.get()), spot->bbox());
    EXPECT_EQ(log.handles.size(), 2u);
}

TEST(qvSelectionRoad, Null_callback_completes_over_hits_and_reports_nothing) {
    qvSelectionTestView view;
    const std::vector<std::int32_t> drawn = stack_of_three(view);
    const qvISafePtr<LoggingSpot> spot(new LoggingSpot(Pt{10, 5}, nullptr));
    view.select(qvISafePtr<qvDriverObject>(spot, spot.get()), spot->bbox());
    EXPECT_EQ(spot->tested.size(), 3u);
}

TEST(qvSelectionRoad, Redraw_area_filters_records_before_the_tests) {
    qvSelectionTestView view;
    const qvRectangle near(view.scene(), Box(0, 0, 10, 10));
    const qvRectangle far(view.scene(), Box(100, 100, 110, 110));
    const qvISafePtr<LoggingSpot> spot(new LoggingSpot(Pt{15, 5}, nullptr));
    view.select(qvISafePtr<qvDriverObject>(spot, spot.get()), spot->bbox());
    EXPECT_EQ(spot->tested, (std::vector<std::int32_t>{static_cast<std::int32_t>(near->shape_handle())}));

    HandleLog log;
    qvBoxSelector box(Box(-1, -1, 12, 12), &log, false);
    view.select(box, box->bbox());
    EXPECT_EQ(log.handles, (std::vector<std::int32_t>{static_cast<std::int32_t>(near->shape_handle())}));
}

// A NaN line width used to be stored, and the hit test of a shape with it
// failed everywhere: a click inside no longer picked it. Refused now, the
// shape keeps its width and stays pickable; an infinite one is refused too.
// One already in a palette (written untyped, or stored before) counts as
// no width.
TEST(qvSelectionRoad, A_refused_non_finite_line_width_leaves_the_shape_pickable) {
    qvSelectionTestView view;
    qvRectangle r(view.scene(), Box(0, 0, 30, 12));
    r->line_width(2.0);
    for (const double bad : {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
        EXPECT_THROW(r->line_width(bad), qvError) << bad;
    EXPECT_EQ(static_cast<double>(r->line_width()), 2.0);
    HandleLog log;
    qvSpotSelector inside(Pt{17, 5}, &log);
    view.select(inside, inside->bbox());
    EXPECT_EQ(log.handles, (std::vector<std::int32_t>{static_cast<std::int32_t>(r->shape_handle())}));

    const qvWrap<double> stored(std::numeric_limits<double>::quiet_NaN());
    r->property(palette_test::folder("pen/color_device/line_width"), &stored);
    log.handles.clear();
    view.select(inside, inside->bbox());
    EXPECT_EQ(log.handles, (std::vector<std::int32_t>{static_cast<std::int32_t>(r->shape_handle())}));
}
