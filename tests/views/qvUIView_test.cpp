// The window-glue view: defaults, scroll-bar reports, how the viewport is
// pulled back into the canvas, the checked requests, and the view manager
// and renderer it drives (a raster window of 100 x 100).

#include "qvRasterDriver.hpp"
#include "qvRecordingHostView.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/views/qvUIView.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace {

using Rect = qvWinRectOf<double>;

std::string text(Rect const& r) { return qvRecordingHostView::text(r); }

// The error text a call raises, "" when it raises none.
template <class Call>
std::string raised(Call&& call) {
    try {
        call();
    } catch (qvError const& e) {
        return static_cast<char const*>(e);
    }
    return "";
}

struct Host {
    qvISafePtr<qvRasterDriver> driver;
    qvRecordingHostView view;

    explicit Host(bool feedback = true) { start(100, 100, feedback); }
    // A window of width x height with a viewport of its size, under the
    // alignment given or, with none, the view's own default; both are set
    // while the view still takes settings.
    Host(long width, long height, std::optional<qvUIView::Alignment> alignment) {
        if (alignment)
            view.oversize_alignment(*alignment);
        view.viewport_limits(Rect(0, 0, static_cast<double>(width), static_cast<double>(height)));
        start(width, height, true);
    }
    void start(long width, long height, bool feedback) {
        qvRasterSettings settings;
        settings.window_width = width;
        settings.window_height = height;
        driver = qvRasterDriver::create(settings);
        view.initialize(qvAsDriverHandle(driver));
        if (feedback)
            view.mode(qvUIView::FEEDBACK);
        view.calls.clear();
        driver->clear_log();
    }
    int scrolls() const {
        int n = 0;
        for (std::string const& line : driver->log())
            n += line.rfind("scroll", 0) == 0 ? 1 : 0;
        return n;
    }
};

}  // namespace

TEST(qvUIViewDefaults, A_new_view_shows_its_whole_canvas_with_full_range_bars) {
    qvUIView view;
    EXPECT_EQ(text(view.virtual_limits()), "(0 0 100 100)");
    EXPECT_EQ(text(view.viewport_limits()), "(0 0 100 100)");
    EXPECT_EQ(view.scrollbar_min(), 0);
    EXPECT_EQ(view.scrollbar_max(), 32767);
    EXPECT_EQ(view.oversize_alignment(), qvUIView::CENTRE);
    EXPECT_EQ(view.mode(), qvUIView::NO_FEEDBACK);
    EXPECT_TRUE(view.view());
    EXPECT_FALSE(view.renderer());
}

TEST(qvUIViewDefaults, A_host_deleted_through_the_base_runs_its_own_destructor) {
    bool alive = true;
    std::unique_ptr<qvUIView> view = std::make_unique<qvRecordingHostView>();
    static_cast<qvRecordingHostView&>(*view).alive = &alive;
    view.reset();
    EXPECT_FALSE(alive);
}

TEST(qvUIViewDefaults, Copies_share_the_view_manager) {
    qvUIView view;
    const qvUIView copy(view);
    EXPECT_EQ(copy.renderer().counter(), view.renderer().counter());
    EXPECT_EQ(const_cast<qvUIView&>(copy).view().counter(), view.view().counter());
}

TEST(qvUIViewDefaults, Settings_are_refused_in_feedback_mode_and_bad_limits_always) {
    qvUIView view;
    EXPECT_EQ(raised([&] { view.scrollbar_limits(10, 10); }), "Wrong scrollbar limits specified");
    EXPECT_EQ(raised([&] { view.scrollbar_limits(10, 5); }), "Wrong scrollbar limits specified");
    EXPECT_EQ(view.scrollbar_max(), 32767);
    view.scrollbar_limits(-100, 100);
    EXPECT_EQ(view.scrollbar_position(0), 0.5);

    Host host;
    EXPECT_EQ(raised([&] { host.view.scrollbar_limits(10, 10); }), "Defaults can only be changed in NO_FEEDBACK mode");
    EXPECT_EQ(raised([&] { host.view.oversize_alignment(qvUIView::X0_Y0); }),
              "Defaults can only be changed in NO_FEEDBACK mode");
    EXPECT_EQ(host.view.oversize_alignment(), qvUIView::CENTRE);
}

TEST(qvUIViewLifecycle, Feedback_asked_before_initialize_waits_for_the_renderer) {
    qvRecordingHostView view;
    view.mode(qvUIView::FEEDBACK);
    EXPECT_EQ(view.mode(), qvUIView::NO_FEEDBACK);
    EXPECT_TRUE(view.calls.empty());
    qvRasterSettings settings;
    settings.window_width = 100;
    settings.window_height = 100;
    view.initialize(qvAsDriverHandle(qvRasterDriver::create(settings)));
    EXPECT_EQ(view.mode(), qvUIView::FEEDBACK);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"bar H 0 32767", "bar V 0 32767", "mapping"}));
    ASSERT_TRUE(view.renderer());
    EXPECT_EQ(view.view()->renderer().counter(), qvBaseRenderer(view.renderer()).counter());
}

TEST(qvUIViewLifecycle, Scrolling_after_cleanup_fails_the_view_assertion) {
    Host host;
    host.view.cleanup();
    EXPECT_EQ(host.view.mode(), qvUIView::NO_FEEDBACK);
    EXPECT_FALSE(host.view.view());
    EXPECT_FALSE(host.view.renderer());
    try {
        host.view.scroll(qvCrdOf<double>{5, 0});
        ADD_FAILURE() << "no assertion";
    } catch (qvAssertionError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "_view");
    }
}

TEST(qvUIViewScrollBars, A_wide_canvas_reports_the_covered_bar_positions) {
    Host host;
    host.view.mode(qvUIView::NO_FEEDBACK);
    host.view.virtual_limits(Rect(0, 0, 1000, 500));
    host.view.mode(qvUIView::FEEDBACK);
    // ceil(100 * 32767 / 1000) = 3277, ceil(100 * 32767 / 500) = 6554.
    EXPECT_EQ(host.view.calls, (std::vector<std::string>{"bar H 0 3277", "bar V 0 6554", "mapping"}));
    host.view.calls.clear();
    host.view.scroll(qvUIView::HORIZONTAL, 450);
    EXPECT_EQ(host.view.calls, (std::vector<std::string>{"mapping", "bar H 14745 18022"}));
}

TEST(qvUIViewScrollBars, A_canvas_without_height_fails_the_span_assertion) {
    Host host;
    host.view.mode(qvUIView::NO_FEEDBACK);
    host.view.virtual_limits(Rect(0, 0, 100, 0));
    host.view.viewport_limits(Rect(0, 0, 100, 0));
    try {
        host.view.mode(qvUIView::FEEDBACK);
        ADD_FAILURE() << "no assertion";
    } catch (qvAssertionError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "dim_span != 0.0");
    }
}

TEST(qvUIViewGeometry, A_scroll_past_the_left_edge_is_pulled_back_to_no_move) {
    Host host;
    host.view.virtual_limits(Rect(0, 0, 1000, 500));
    host.view.calls.clear();
    host.driver->clear_log();
    host.view.scroll(qvCrdOf<double>{-50, 0});
    EXPECT_EQ(text(host.view.position(qvUIView::X0_Y0) == qvCrdOf<double>{0, 0} ? host.view.viewport_limits() : Rect()),
              "(0 0 100 100)");
    EXPECT_EQ(host.view.calls, (std::vector<std::string>{"limits (-50 0 1000 500) current (0 0 1000 500)", "mapping"}));
    EXPECT_EQ(host.scrolls(), 0);   // the renderer was scrolled by (0, 0)
    EXPECT_EQ(text(host.view.virtual_limits()), "(0 0 1000 500)");
}

TEST(qvUIViewGeometry, A_scroll_inside_the_canvas_moves_the_window_pixels_the_other_way) {
    Host host;
    host.view.virtual_limits(Rect(0, 0, 1000, 500));
    host.driver->clear_log();
    host.view.scroll(qvCrdOf<double>{30, 20});
    EXPECT_EQ(host.view.position(qvUIView::X0_Y0), (qvCrdOf<double>{30, 20}));
    const auto& log = host.driver->log();
    EXPECT_NE(std::find(log.begin(), log.end(), "scroll -30 -20"), log.end());
    EXPECT_EQ(host.view.virtual_to_viewport(qvCrdOf<double>{40, 25}), (qvCrdOf<double>{10, 5}));
    EXPECT_EQ(text(host.view.viewport_to_virtual(Rect(10, 10, 0, 0))), "(30 20 40 30)");
}

TEST(qvUIViewGeometry, A_growing_host_keeps_the_viewport_where_it_went) {
    Host host;
    host.view.grow = true;
    host.view.scroll(qvCrdOf<double>{-50, 10});
    EXPECT_EQ(text(host.view.virtual_limits()), "(-50 0 100 110)");
    EXPECT_EQ(host.view.position(qvUIView::X0_Y0), (qvCrdOf<double>{-50, 10}));
}

TEST(qvUIViewGeometry, An_oversized_viewport_sits_by_the_alignment) {
    qvRecordingHostView view;
    view.viewport_limits(Rect(0, 0, 200, 100));
    qvRasterSettings settings;
    settings.window_width = 200;
    settings.window_height = 100;
    view.initialize(qvAsDriverHandle(qvRasterDriver::create(settings)));
    view.mode(qvUIView::FEEDBACK);
    EXPECT_EQ(view.position(qvUIView::X0_Y0), (qvCrdOf<double>{-50, 0}));
    EXPECT_EQ(view.position(qvUIView::X1_Y1), (qvCrdOf<double>{150, 100}));

    qvRecordingHostView left;
    left.oversize_alignment(qvUIView::X1_Y1);
    left.viewport_limits(Rect(0, 0, 200, 100));
    left.initialize(qvAsDriverHandle(qvRasterDriver::create(settings)));
    left.mode(qvUIView::FEEDBACK);
    EXPECT_EQ(left.position(qvUIView::X0_Y0), (qvCrdOf<double>{-100, 0}));
}

TEST(qvUIViewGeometry, Positions_place_the_named_point_of_the_viewport) {
    qvUIView view;
    view.position(qvCrdOf<double>{500, 300}, qvUIView::X1_Y1);
    EXPECT_EQ(view.position(qvUIView::X0_Y0), (qvCrdOf<double>{400, 200}));
    view.position(qvCrdOf<double>{500, 300}, qvUIView::CENTRE);
    EXPECT_EQ(view.position(qvUIView::X0_Y0), (qvCrdOf<double>{450, 250}));
    view.position(qvUIView::VERTICAL, 0, qvUIView::X0_Y1);
    EXPECT_EQ(view.position(qvUIView::X0_Y0), (qvCrdOf<double>{450, -100}));
    view.position(qvCrdOf<double>{1, 1}, static_cast<qvUIView::Alignment>(9));
    EXPECT_EQ(view.position(qvUIView::X0_Y0), (qvCrdOf<double>{450, -100}));
}

TEST(qvUIViewGeometry, A_resize_scrolls_by_the_new_origin_and_repaints_unless_the_host_does) {
    Host host;
    host.view.virtual_limits(Rect(0, 0, 1000, 500));
    host.view.calls.clear();
    host.driver->take_invalid();
    host.view.viewport_limits(Rect(0, 0, 80, 60));
    EXPECT_EQ(host.view.calls, (std::vector<std::string>{"resize (0 0 80 60)", "mapping", "bar H 0 2622", "bar V 0 3933"}));
    EXPECT_EQ(qvRasterText(host.driver->take_invalid()), "(0 0 80 60)");
    host.view.resized = true;
    host.view.viewport_limits(Rect(0, 0, 90, 60));
    EXPECT_TRUE(host.driver->take_invalid().empty());
}

TEST(qvUIViewZoom, An_area_of_the_viewports_own_size_scrolls) {
    Host host;
    host.view.virtual_limits(Rect(0, 0, 1000, 500));
    host.view.calls.clear();
    host.driver->clear_log();
    host.view.zoom(Rect(20, 10, 120, 110), true);
    EXPECT_EQ(host.view.position(qvUIView::X0_Y0), (qvCrdOf<double>{20, 10}));
    EXPECT_EQ(host.view.calls, (std::vector<std::string>{"mapping", "bar H 655 3933", "bar V 655 7209"}));
}

TEST(qvUIViewZoom, Half_an_area_zooms_by_two_about_the_fixed_point) {
    Host host;
    host.view.virtual_limits(Rect(0, 0, 1000, 500));
    host.view.zoom(Rect(0, 0, 50, 50), true);
    EXPECT_EQ(text(host.view.virtual_limits()), "(0 0 2000 1000)");
    EXPECT_EQ(host.view.position(qvUIView::X0_Y0), (qvCrdOf<double>{0, 0}));
    EXPECT_EQ(host.view.view()->renderer()->width(), 100);
}

TEST(qvUIViewZoom, Empty_areas_and_bad_factors_are_refused_before_anything_changes) {
    Host host;
    host.view.virtual_limits(Rect(0, 0, 1000, 500));
    host.view.calls.clear();
    EXPECT_EQ(raised([&] { host.view.zoom(Rect(0, 0, 0, 0), true); }), "Cannot zoom to an empty area");
    EXPECT_EQ(raised([&] { host.view.zoom(Rect(0, 0, 0, 50), false); }), "Cannot zoom to an empty area");
    EXPECT_EQ(raised([&] { host.view.zoom(0.0, qvCrdOf<double>{0, 0}); }), "Invalid zoom factor");
    EXPECT_EQ(raised([&] { host.view.zoom(-2.0, qvUIView::CENTRE); }), "Invalid zoom factor");
    EXPECT_EQ(raised([&] { host.view.zoom(1.0, std::nan(""), qvCrdOf<double>{0, 0}); }), "Invalid zoom factor");
    EXPECT_TRUE(host.view.calls.empty());
    EXPECT_EQ(text(host.view.virtual_limits()), "(0 0 1000 500)");
    // Fitting a line is a zoom by its length, about the fixed point of the
    // map onto the centred target (-25, 0, 25, 50): (-50, 0).
    host.view.zoom(Rect(0, 0, 0, 50), true);
    EXPECT_EQ(text(host.view.virtual_limits()), "(50 0 2050 1000)");
}

TEST(qvUIViewZoom, A_zero_viewport_cannot_zoom_to_an_area) {
    Host host;
    host.view.mode(qvUIView::NO_FEEDBACK);
    host.view.viewport_limits(Rect(0, 0, 0, 0));
    EXPECT_EQ(raised([&] { host.view.zoom(Rect(0, 0, 10, 10), true); }), "Cannot zoom to an empty area");
}

// Where the area lands in the window (through a layer the view shows at
// the identity) when its proportions differ from the window's: the scaled
// viewport keeps the area's point named by the alignment, so the area fills
// one side of the window and the alignment places it along the other. On a
// square window width and height are interchangeable; these windows are
// 200 x 100 and 100 x 200, and each area is twice the window on one axis
// and half of it on the other, so that fitting zooms by 1/2 and filling by
// 2 (exact in binary). The last row of each window fits an area of the
// window's own width or height, which scrolls instead of zooming.
TEST(qvUIViewZoom, An_area_lands_by_the_alignment_in_windows_wider_than_high_and_higher_than_wide) {
    using A = qvUIView;
    const std::optional<qvUIView::Alignment> by_default;   // centred
    const Rect wide_area(-40, 30, 360, 80), high_area(-30, 20, 20, 420);
    const struct {
        long width, height;
        std::optional<qvUIView::Alignment> alignment;
        Rect area;
        bool fit;
        Rect lands;
    } rows[] = {
        // 200 x 100: fitting leaves room above or below the area, filling
        // leaves its left or right part outside the window.
        {200, 100, A::X0_Y0, wide_area, true, Rect(0, 0, 200, 25)},
        {200, 100, A::X0_Y1, wide_area, true, Rect(0, 75, 200, 100)},
        {200, 100, A::X1_Y0, wide_area, true, Rect(0, 0, 200, 25)},
        {200, 100, A::X1_Y1, wide_area, true, Rect(0, 75, 200, 100)},
        {200, 100, by_default, wide_area, true, Rect(0, 37.5, 200, 62.5)},
        {200, 100, A::X0_Y0, wide_area, false, Rect(0, 0, 800, 100)},
        {200, 100, A::X0_Y1, wide_area, false, Rect(0, 0, 800, 100)},
        {200, 100, A::X1_Y0, wide_area, false, Rect(-600, 0, 200, 100)},
        {200, 100, A::X1_Y1, wide_area, false, Rect(-600, 0, 200, 100)},
        {200, 100, by_default, wide_area, false, Rect(-300, 0, 500, 100)},
        {200, 100, by_default, Rect(-40, 30, 160, 80), true, Rect(0, 25, 200, 75)},
        // 100 x 200: the same on the other axis.
        {100, 200, A::X0_Y0, high_area, true, Rect(0, 0, 25, 200)},
        {100, 200, A::X0_Y1, high_area, true, Rect(0, 0, 25, 200)},
        {100, 200, A::X1_Y0, high_area, true, Rect(75, 0, 100, 200)},
        {100, 200, A::X1_Y1, high_area, true, Rect(75, 0, 100, 200)},
        {100, 200, by_default, high_area, true, Rect(37.5, 0, 62.5, 200)},
        {100, 200, A::X0_Y0, high_area, false, Rect(0, 0, 100, 800)},
        {100, 200, A::X0_Y1, high_area, false, Rect(0, -600, 100, 200)},
        {100, 200, A::X1_Y0, high_area, false, Rect(0, 0, 100, 800)},
        {100, 200, A::X1_Y1, high_area, false, Rect(0, -600, 100, 200)},
        {100, 200, by_default, high_area, false, Rect(0, -300, 100, 500)},
        {100, 200, by_default, Rect(-30, 20, 20, 220), true, Rect(25, 0, 75, 200)},
    };
    for (auto const& row : rows) {
        Host host(row.width, row.height, row.alignment);
        // A canvas far beyond every zoom here: the viewport is never pulled
        // back, so the zoom alone moves the layer.
        host.view.virtual_limits(Rect(-1000, -1000, 1000, 1000));
        qvMemoryScene scene;
        const qvViewSceneLayer layer(scene, -1);
        ASSERT_TRUE(host.view.view()->add(qvViewLayer(layer), qvOrderLast));
        host.view.zoom(row.area, row.fit);
        const qvMathRectOf<double> on_window =
            layer->scene_to_device(qvMathRectOf<double>(row.area.x1, row.area.y1, row.area.x2, row.area.y2));
        const Rect lands(on_window.x1, on_window.y1, on_window.x2, on_window.y2);
        EXPECT_EQ(lands, row.lands) << row.width << " x " << row.height << ", alignment "
                                    << (row.alignment ? std::to_string(*row.alignment) : "by default")
                                    << (row.fit ? ", fit " : ", fill ") << text(row.area) << ": " << text(lands);
    }
}
