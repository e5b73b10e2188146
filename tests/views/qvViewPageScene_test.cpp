// The print preview: pages and layout, the relay of the printed view's
// invalidations, and what a preview view draws on a dump driver (sheets
// first, then each page's content clipped to what it shows), with the
// printed view, the port and the page scene left as they were.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewPageScene.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvNotificationProbe.hpp"
#include "qvRasterDriver.hpp"
#include "qvRecordingDumpUser.hpp"
#include "qvViewTestDoubles.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

using Rect = qvMathRectOf<double>;
using Lines = std::vector<std::string>;

// The printed view: one rectangle on each of two pages, drawn by its own
// renderer on a raster window.
struct Printed {
    qvMemoryScene content;
    qvAttributeProxy style{content, 0};
    qvViewManager view = qvViewCreator::create();
    qvISafePtr<qvRasterDriver> driver;
    qvDeviceRenderer renderer;

    Printed() {
        style.fill_style(qvFillStyle{2});
        style.fill_color(0.0f, 0.0f, 1.0f);
        qvRectangle(content, 100, 100, 200, 150, &style);
        qvRectangle(content, 700, 100, 800, 150, &style);
        view->add(qvViewSceneLayer(content, -1), qvOrderFirst);
        qvRasterSettings settings;
        settings.window_width = 120;
        settings.window_height = 90;
        driver = qvRasterDriver::create(settings);
        renderer = qvDeviceRenderer(qvAsDriverHandle(driver), view);
    }
};

// Two pages of the printed picture, 540 x 720 each (the default print
// area's size), the second one's sheet placed 650 to the right.
void two_pages(qvViewPageScene& pages) {
    pages.addPage(Rect(0, 0, 540, 720), qvTranslation(36, 36));
    pages.addPage(Rect(540, 0, 1080, 720), qvTranslation(146, 36));
}

// A preview view over a page scene on a dump driver, the scene layer at
// scale 0.5 and offset (10, 20).
struct Preview {
    qvRecordingDumpUser sink;
    qvViewManager view = qvViewCreator::create();
    qvDeviceRenderer renderer;

    Preview(qvViewPageScene& pages, int layer) {
        const qvViewSceneLayer shown(pages, layer);
        shown->mapping(qvRestrictedTransformation(0.5, 0.5, 10, 20));
        view->add(shown, qvOrderFirst);
        renderer = qvDeviceRenderer(qvAsDriverHandle(qvDumpDriverObject::create(&sink, 0, 0, 1300, 850)), view);
    }
    // What a redraw of `area` drew: each sheet rectangle with the
    // transformation it was drawn under, each blue polygon (the printed
    // rectangles) with the clip it was drawn in.
    Lines redraw(Rect const& area) {
        sink.lines.clear();
        renderer->redraw(qvRegion(area), false);
        return drawn();
    }
    Lines drawn() const {
        Lines out;
        std::string transformation, clip, fill;
        for (std::string const& line : sink.lines) {
            if (line.rfind("transformation ", 0) == 0)
                transformation = line.substr(15);
            else if (line.rfind("clip ", 0) == 0)
                clip = line.substr(5);
            else if (line.rfind("fill ", 0) == 0)
                fill = line;
            else if (line.rfind("rectangle ", 0) == 0)
                out.push_back("sheet " + transformation + " " + line.substr(10));
            else if (line.rfind("polygon ", 0) == 0 && fill.find("rgba(0,0,1,1)") != std::string::npos)
                out.push_back("content in " + clip + ": " + line.substr(8));
        }
        return out;
    }
};

// A flavour port of a dump driver, for calling render directly.
struct DumpPort {
    qvRecordingDumpUser sink;
    qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&sink, 0, 0, 1300, 850);
    qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
};

class ThrowingLayer : public qvTestLayer {
public:
    bool render(qvViewVBuf&, qvCrdOf<double> const&) override { qvRaise(qvErrorFrom<ThrowingLayer>("printed layer failed")); }
};

const Lines preview_background{"sheet 1 1 0 0 (-5,-5,1305,855)"};
const Lines two_sheets{"sheet 0.5 0.5 10 20 (5,5,617,797)", "sheet 0.5 0.5 10 20 (0,0,612,792)",
                       "sheet 0.5 0.5 335 20 (5,5,617,797)", "sheet 0.5 0.5 335 20 (0,0,612,792)"};

Lines joined(Lines a, Lines const& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

// ---------------------------------------------------------------------------
// Pages, layout and invalidations

TEST(qvViewPageScene, A_new_one_has_no_pages_one_layer_and_US_Letter_with_half_inch_margins) {
    qvViewPageScene pages(qvViewCreator::create());
    EXPECT_EQ(pages.totalPages(), 0u);
    EXPECT_EQ(pages.total_layers(), 1);
    const qvPageFormat format = pages.page();
    EXPECT_EQ(format.page_limits(), Rect(0, 0, 612, 792));
    EXPECT_EQ(format.print_area(), Rect(36, 36, 576, 756));   // margins of 36
    EXPECT_EQ(pages.pageAreaTransformation(), qvRestrictedTransformation::identity());
    EXPECT_EQ(pages.printAreaTransformation(), qvRestrictedTransformation::identity());
    EXPECT_EQ(qvQueryInterface<qvVBufInvalidate>(static_cast<qvScene*>(&pages)),
              static_cast<qvVBufInvalidate*>(&pages));
    EXPECT_NE(qvQueryInterface<qvSceneInterface>(static_cast<qvScene*>(&pages)), nullptr);
    EXPECT_FALSE(pages.callback_ready());
}

TEST(qvViewPageScene, Layout_changes_invalidate_everything_only_while_the_callback_is_ready) {
    qvViewPageScene pages(qvViewCreator::create());
    qvNotificationLog log;
    qvRecordingReceiver<Rect> receiver("r", log);
    receiver.connect(pages.rect_sender());

    pages.open_callback(true);
    two_pages(pages);
    EXPECT_EQ(pages.totalPages(), 2u);
    pages.removeAllPages();
    EXPECT_EQ(pages.totalPages(), 0u);
    EXPECT_TRUE(log.empty());

    pages.printAreaTransformation(qvRestrictedTransformation(2, 2, 0, 0));
    EXPECT_EQ(log, qvNotificationLog{"r all"});
    pages.pageAreaTransformation(qvRestrictedTransformation(1, 1, 5, 5));
    pages.page(qvPageFormat(qvHardcopyUnits::a4, qvPageFormat::landscape, 0, 0, 0, 0));
    EXPECT_EQ(log.size(), 3u);

    log.clear();
    pages.update_notification(false, true);
    EXPECT_FALSE(pages.callback_ready());
    pages.printAreaTransformation(qvRestrictedTransformation(3, 3, 0, 0));
    pages.update_notification(true, true);
    pages.open_callback(false);
    pages.printAreaTransformation(qvRestrictedTransformation(4, 4, 0, 0));
    EXPECT_FALSE(pages.invalidate());
    EXPECT_FALSE(pages.invalidate(Rect(0, 0, 1, 1)));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(pages.printAreaTransformation(), qvRestrictedTransformation(4, 4, 0, 0));
    EXPECT_EQ(pages.page().orientation(), qvPageFormat::landscape);
}

TEST(qvViewPageScene, Invalidations_go_on_as_rectangles_of_layer_zero) {
    qvViewPageScene pages(qvViewCreator::create());
    qvNotificationLog log;
    qvRecordingReceiver<Rect> receiver("r", log);
    receiver.connect(pages.rect_sender());
    pages.open_callback(true);
    EXPECT_TRUE(pages.invalidate(qvCrdOf<double>{3, 4}));
    EXPECT_TRUE(pages.invalidate(Rect(10, 10, 20, 20)));
    EXPECT_TRUE(pages.invalidate(qvGridOf({Rect(0, 0, 5, 5), Rect(50, 50, 60, 60)})));
    EXPECT_EQ(receiver.items,
              (std::vector<Rect>{Rect(3, 4, 4, 5), Rect(10, 10, 20, 20), Rect(0, 0, 5, 5), Rect(50, 50, 60, 60)}));
    EXPECT_EQ(receiver.flags, (std::vector<int>{0, 0, 0, 0}));
}

TEST(qvViewPageScene, A_relayed_point_repaints_preview_layers_of_layer_zero_and_of_all_layers) {
    qvViewPageScene pages(qvViewCreator::create());
    for (const int layer : {0, -1}) {
        qvRasterTestWindow window;
        const qvViewManager view = qvViewCreator::create();
        view->add(qvViewSceneLayer(pages, layer), qvOrderFirst);
        const qvDeviceRenderer renderer(qvAsDriverHandle(window.driver), view);
        renderer->redraw(qvRegion(Rect(0, 0, 100, 80)), false);
        window.driver->take_invalid();
        pages.open_callback(true);
        EXPECT_TRUE(pages.invalidate(qvCrdOf<double>{3, 4}));
        const qvRegion repaint = window.driver->take_invalid();
        EXPECT_FALSE(repaint.empty()) << "layer " << layer;
        qvGridRegion point_part(repaint);
        point_part *= Rect(3, 4, 4, 5);
        EXPECT_TRUE(qvSameArea(point_part, qvGridOf({Rect(3, 4, 4, 5)}))) << "layer " << layer;
    }
}

// ---------------------------------------------------------------------------
// The preview

TEST(qvViewPageSceneRender, Sheets_come_first_then_each_page_clipped_to_its_rectangle) {
    Printed printed;
    qvViewPageScene pages(printed.view);
    two_pages(pages);
    Preview preview(pages, 0);
    EXPECT_EQ(preview.redraw(Rect(0, 0, 1300, 850)),
              joined(joined(preview_background, two_sheets),
                     {"content in (28,38,298,398): 4 (78,88)(78,113)(128,113)(128,88)",
                      "content in (353,38,623,398): 4 (433,88)(433,113)(483,113)(483,88)"}));

    // Only the part of a page the area shows is drawn: the area as the
    // scene layer asks for it, grown by the driver's added width of 5.
    EXPECT_EQ(preview.redraw(Rect(400, 50, 500, 150)),
              joined(joined({"sheet 1 1 0 0 (395,45,505,155)"}, two_sheets),
                     {"content in (395,45,505,155): 4 (433,88)(433,113)(483,113)(483,88)"}));
    // An area beside every page rectangle draws sheets and shadows only.
    EXPECT_EQ(preview.redraw(Rect(1000, 700, 1300, 850)),
              joined({"sheet 1 1 0 0 (995,695,1305,855)"}, two_sheets));
}

TEST(qvViewPageSceneRender, The_printed_view_keeps_its_renderer_and_clipping_and_the_port_its_state) {
    Printed printed;
    const qvGridRegion kept_clip(Rect(0, 0, 50, 60));
    printed.view->clipping(&kept_clip);
    qvViewPageScene pages(printed.view);
    two_pages(pages);
    DumpPort dump;
    qvStandardPalette palette;
    const qvRestrictedTransformation shown(0.5, 0.5, 10, 20);
    dump.port.transformation(shown);
    dump.port.palette(&palette);
    pages.render(dump.port, 0, Rect(0, 0, 2000, 2000), false);
    EXPECT_EQ(std::count(dump.sink.lines.begin(), dump.sink.lines.end(), "rectangle (0,0,612,792)"), 2);
    EXPECT_EQ(dump.port.transformation(), shown);
    EXPECT_EQ(dump.port.palette(), &palette);
    EXPECT_EQ(printed.view->renderer().counter(), printed.renderer.counter());
    EXPECT_FALSE(printed.view->no_clipping());
    EXPECT_TRUE(qvSameArea(printed.view->clipping(), kept_clip));

    printed.view->clipping(nullptr);
    pages.render(dump.port, 0, Rect(0, 0, 2000, 2000), false);
    EXPECT_TRUE(printed.view->no_clipping());
    // The printed view's own renderer still draws it.
    printed.driver->clear_log();
    EXPECT_TRUE(printed.renderer->redraw(qvRegion(Rect(0, 0, 120, 90)), false));
    EXPECT_GT(printed.driver->draw_count(), 0);
}

TEST(qvViewPageSceneRender, A_printed_layer_that_raises_leaves_everything_as_it_was) {
    Printed printed;
    printed.view->add(qvViewLayer(static_cast<qvViewLayerObject*>(new ThrowingLayer)), qvOrderFirst);
    qvViewPageScene pages(printed.view);
    two_pages(pages);
    DumpPort dump;
    qvStandardPalette palette;
    const qvRestrictedTransformation shown(2, 2, 1, 1);
    dump.port.transformation(shown);
    dump.port.palette(&palette);
    EXPECT_THROW(pages.render(dump.port, 0, Rect(0, 0, 2000, 2000), false), qvErrorFrom<ThrowingLayer>);
    EXPECT_EQ(dump.port.transformation(), shown);
    EXPECT_EQ(dump.port.palette(), &palette);
    EXPECT_EQ(printed.view->renderer().counter(), printed.renderer.counter());
    EXPECT_TRUE(printed.view->no_clipping());

    // And through a preview view: the error passes, the next render works.
    Preview preview(pages, -1);
    EXPECT_THROW(preview.redraw(Rect(0, 0, 1300, 850)), qvErrorFrom<ThrowingLayer>);
    EXPECT_EQ(printed.view->renderer().counter(), printed.renderer.counter());
}

TEST(qvViewPageSceneRender, Inverted_areas_and_other_layers_draw_nothing) {
    Printed printed;
    qvViewPageScene pages(printed.view);
    two_pages(pages);
    DumpPort dump;
    qvStandardPalette palette;
    dump.port.palette(&palette);
    pages.render(dump.port, 0, Rect(qvRectOf<double>(10, 10, 0, 0)), false);
    pages.render(dump.port, -1, Rect::make_empty(), false);
    pages.render(dump.port, 0, Rect(0, 0, std::nan(""), 10), false);
    pages.render(dump.port, 1, Rect(0, 0, 2000, 2000), false);
    pages.render(dump.port, -2, Rect(0, 0, 2000, 2000), false);
    pages.render(dump.port, INT_MIN, Rect(0, 0, 2000, 2000), false);
    EXPECT_TRUE(dump.sink.lines.empty());
    // The layers on the inner side of both bounds draw both sheets.
    for (int layer : {-1, 0}) {
        dump.sink.lines.clear();
        pages.render(dump.port, layer, Rect(0, 0, 2000, 2000), false);
        EXPECT_EQ(std::count(dump.sink.lines.begin(), dump.sink.lines.end(), "rectangle (0,0,612,792)"), 2) << layer;
    }
}

TEST(qvViewPageSceneRender, A_page_placed_by_a_zero_scale_or_NaN_shows_no_content) {
    Printed printed;
    qvViewPageScene pages(printed.view);
    pages.addPage(Rect(0, 0, 540, 720), qvRestrictedTransformation(0, 1, 36, 36));
    pages.addPage(Rect(540, 0, 1080, 720), qvRestrictedTransformation(1, 1, std::nan(""), 36));
    pages.addPage(Rect(0, 0, 540, 720), qvRestrictedTransformation(1, std::nan(""), 36, 36));
    Preview preview(pages, 0);
    EXPECT_EQ(preview.redraw(Rect(0, 0, 1300, 850)),
              joined(preview_background, {"sheet 0.5 0.5 10 20 (5,5,617,797)", "sheet 0.5 0.5 10 20 (0,0,612,792)",
                                          "sheet 0.5 0.5 10 20 (5,5,617,797)", "sheet 0.5 0.5 10 20 (0,0,612,792)"}));
    EXPECT_EQ(printed.view->renderer().counter(), printed.renderer.counter());
}

TEST(qvViewPageSceneRender, A_new_page_format_gives_a_new_sheet) {
    Printed printed;
    qvViewPageScene pages(printed.view);
    pages.addPage(Rect(0, 0, 540, 720), qvTranslation(36, 36));
    pages.page(qvPageFormat(612, 792, qvPageFormat::landscape, 36, 36, 36, 36));
    Preview preview(pages, 0);
    const Lines drawn = preview.redraw(Rect(0, 0, 1300, 850));
    ASSERT_GE(drawn.size(), 3u);
    EXPECT_EQ(drawn[1], "sheet 0.5 0.5 10 20 (5,5,797,617)");
    EXPECT_EQ(drawn[2], "sheet 0.5 0.5 10 20 (0,0,792,612)");
}
