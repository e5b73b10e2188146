// The transformations a driver is handed while the background layer and
// the print preview draw: each one the drawing needs, none set again on
// entry and none put back after the background's fill.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewPageScene.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include "qvDriverHandle.hpp"
#include "qvRecordingDumpUser.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;
using Lines = std::vector<std::string>;

// The transcript's transformation lines, in order, and the other kinds of
// line after the last of them.
Lines transformations(Lines const& transcript) {
    Lines out;
    for (std::string const& line : transcript)
        if (line.rfind("transformation ", 0) == 0)
            out.push_back(line.substr(15));
    return out;
}

Lines after_last_transformation(Lines const& transcript) {
    Lines out;
    for (std::string const& line : transcript) {
        if (line.rfind("transformation ", 0) == 0)
            out.clear();
        else
            out.push_back(line.substr(0, line.find(' ')));
    }
    return out;
}

// A flavour port of a dump driver, for calling a scene's render directly.
struct DumpedPort {
    qvRecordingDumpUser sink;
    qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&sink, 0, 0, 1300, 850);
    qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
};

// The preview's port: a palette, the transformation a preview shows its
// pages under, and an empty transcript.
const qvRestrictedTransformation shown(0.5, 0.25, 10, 20);

struct PreviewPort : DumpedPort {
    qvStandardPalette palette;
    PreviewPort() {
        port.palette(&palette);
        port.transformation(shown);
        sink.lines.clear();
    }
};

}  // namespace

TEST(qvViewBackgroundLayerCalls, The_fill_is_drawn_under_the_origin_translation_and_nothing_is_put_back_after_it) {
    qvRecordingDumpUser sink;
    const qvViewManager view = qvViewCreator::create();   // its background alone
    const qvDeviceRenderer renderer(qvAsDriverHandle(qvDumpDriverObject::create(&sink, 0, 0, 300, 200)), view);
    ASSERT_TRUE(renderer->redraw(qvRegion(Rect(10, 20, 110, 70)), false));

    EXPECT_EQ(transformations(sink.lines), Lines{"1 1 0 0"});
    // The fill's own calls come after it; only clip changes follow them.
    const Lines tail = after_last_transformation(sink.lines);
    ASSERT_GE(tail.size(), 3u);
    EXPECT_EQ(tail[0], "line");
    EXPECT_EQ(tail[1], "fill");
    EXPECT_EQ(tail[2], "rectangle");
    for (std::size_t i = 3; i < tail.size(); ++i)
        EXPECT_EQ(tail[i], "clip") << i;

    // A scroll moves the renderer's origin, the brush origin of what it
    // draws; the device renderer still renders at origin (0, 0), so the
    // fill's translation stays where it was.
    renderer->scroll(7, -3);
    ASSERT_EQ(renderer->origin(), (qvCrdOf<double>{7, -3}));
    sink.lines.clear();
    ASSERT_TRUE(renderer->redraw(qvRegion(Rect(10, 20, 110, 70)), false));
    EXPECT_EQ(transformations(sink.lines), Lines{"1 1 0 0"});

    // A host's own renderer that scrolled may render at its origin: the
    // fill is drawn under that translation, x and y each its own, and
    // covers the same device area.
    sink.lines.clear();
    const qvGridRegion area(Rect(10, 20, 110, 70));
    qvGridRegion prepared(area);
    view->prepare(prepared, false);
    qvViewVBuf vbuf(renderer->vbuf(), area, {7, -3});
    EXPECT_TRUE(view->render(vbuf, {7, -3}));
    view->cleanup();
    EXPECT_EQ(transformations(sink.lines), Lines{"1 1 7 -3"});
    // (5, 15)-(115, 75) on the device: the area grown by the added width 5.
    EXPECT_EQ(sink.lines.back(), "rectangle (-2,18,108,78)");
}

TEST(qvViewPageSceneCalls, Each_sheet_is_placed_and_then_the_shown_transformation_comes_back_once) {
    qvViewPageScene pages(qvViewCreator::create());
    pages.addPage(Rect(0, 0, 540, 720), qvTranslation(50, 40));
    pages.addPage(Rect(540, 0, 1080, 720), qvTranslation(146, 36));
    PreviewPort dump;

    // An area beside every page: the sheets are drawn, no page content.
    pages.render(dump.port, 0, Rect(5000, 5000, 5100, 5100), false);
    // Sheet i sits at its page rectangle's corner plus its page translation
    // less the margins of 36: (14, 4) and (650, 0), under the shown one.
    EXPECT_EQ(transformations(dump.sink.lines),
              (Lines{"0.5 0.25 17 21", "0.5 0.25 10 20", "0.5 0.25 335 20", "0.5 0.25 10 20"}));
    EXPECT_EQ(dump.port.transformation(), shown);

    // No pages: nothing to place, nothing set.
    pages.removeAllPages();
    dump.sink.lines.clear();
    pages.render(dump.port, 0, Rect(0, 0, 1300, 850), false);
    EXPECT_EQ(transformations(dump.sink.lines), Lines{});
}

TEST(qvViewPageSceneCalls, Page_content_starts_from_the_shown_transformation_and_leaves_it_in_force) {
    qvViewPageScene pages(qvViewCreator::create());
    pages.addPage(Rect(0, 0, 540, 720), qvTranslation(50, 40));
    PreviewPort dump;

    pages.render(dump.port, 0, Rect(0, 0, 1300, 850), false);
    // The sheet placed and put back, the printed view's background under
    // its own (the identity: the transformed buffer maps its points), and
    // then the shown one again, for the preview's next rectangle.
    EXPECT_EQ(transformations(dump.sink.lines),
              (Lines{"0.5 0.25 17 21", "0.5 0.25 10 20", "1 1 0 0", "0.5 0.25 10 20"}));
    EXPECT_EQ(dump.port.transformation(), shown);
}
