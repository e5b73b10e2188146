// A scene drawn in a view end to end, on the example's setup: the
// every-kind scene under a scene layer at scale 2 and offset 10, a view
// manager with a solid background, a device renderer with backing store on
// a 400 x 300 raster window. The first picture, the repair after one
// rectangle moves through its proxy, and what a second view on a dump
// driver is handed for the same edit.

#include "qvEveryKindScene.hpp"
#include "qvFreshRenderCheck.hpp"
#include "qvRasterCanvas.hpp"
#include "qvRasterDriver.hpp"
#include "qvRecordingDumpUser.hpp"
#include "qvSceneTestSupport.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using Rect = qvMathRectOf<double>;

const qvRgbColor paper(0.95f, 0.90f, 0.75f);
const qvRestrictedTransformation example_mapping(2, 2, 10, 10);

qvRgbaQuad pixel_of(qvRgbColor const& c) {
    return qvRgbaQuad(qvRasterChannel(c.red()), qvRasterChannel(c.green()), qvRasterChannel(c.blue()), 255);
}

// A model box in the window, grown by `g` and rounded outward.
Rect device_area(Rect const& model, double g) {
    const Rect r = qvTransformRect(model, example_mapping);
    return Rect(std::floor(r.x1 - g), std::floor(r.y1 - g), std::ceil(r.x2 + g), std::ceil(r.y2 + g));
}

struct ExampleView {
    qvEveryKindScene every;
    qvViewManager view = qvViewCreator::create();
    qvViewSceneLayer layer;
    qvISafePtr<qvRasterDriver> driver;
    qvDeviceRenderer renderer;

    ExampleView() {
        qvViewBackgroundLayerObject& bg = *view->background();
        bg.fill_color(paper);
        bg.fill_background_color(paper);
        bg.fill_style(qvFillStyle(2));
        layer = qvViewSceneLayer(every.scene(), -1);
        layer->mapping(example_mapping);
        view->add(layer, qvOrderFirst);
        qvRasterSettings settings;
        settings.window_width = 400;
        settings.window_height = 300;
        driver = qvRasterDriver::create(settings);
        renderer = qvDeviceRenderer(qvAsDriverHandle(driver), view);
        renderer->backing_store(true);
    }
    void redraw_whole() {
        EXPECT_TRUE(renderer->redraw(qvRegion(Rect(0, 0, 400, 300)), false));
        driver->take_invalid();
        driver->clear_log();
    }
    qvRectangle rectangle() {
        for (qvIndirectIterator<qvGraphic> it = every.scene().enumerate(-1); it; ++it)
            if (const qvRectangle r(*it); r)
                return r;
        return qvRectangle();
    }
    std::vector<qvRgbaQuad> pixels() const {
        std::vector<qvRgbaQuad> all;
        for (long y = 0; y < 300; ++y)
            for (long x = 0; x < 400; ++x)
                all.push_back(driver->pixel(x, y));
        return all;
    }
};

// The headers of the scene's records, in drawing order.
std::vector<qvShapeBase> records_of(qvMemoryScene& scene) {
    shape_test::RecordingFlavorPort port;
    scene.render(port, -1, scene_test::everywhere, false);
    std::vector<qvShapeBase> headers;
    for (std::string const& bytes : port.drawn) {
        qvShapeBase header;
        std::memcpy(static_cast<void*>(&header), bytes.data(), sizeof header);
        headers.push_back(header);
    }
    return headers;
}

Rect box_of(qvShapeBase const& record) {
    return Rect(record.box.x1, record.box.y1, record.box.x2, record.box.y2);
}

// Whether the centre of pixel (x, y) lies in one of the rectangles.
bool covers(std::initializer_list<Rect> rects, long x, long y) {
    const double cx = static_cast<double>(x) + 0.5, cy = static_cast<double>(y) + 0.5;
    for (Rect const& r : rects)
        if (r.x1 <= cx && cx < r.x2 && r.y1 <= cy && cy < r.y2)
            return true;
    return false;
}

bool is_shape_line(std::string const& line) {
    for (char const* kind : {"rectangle ", "ellipse ", "polymarker ", "polyline ", "polygon ", "bezier ",
                             "restricted_text ", "scaled_text ", "restricted_image ", "scaled_image "})
        if (line.rfind(kind, 0) == 0)
            return true;
    return false;
}

}  // namespace

TEST(qvSceneViewEndToEnd, The_first_redraw_paints_every_shape_over_the_background) {
    ExampleView v;
    v.redraw_whole();
    for (int kind : {static_cast<int>(qvRectangleKind), static_cast<int>(qvEllipseKind)})
        for (qvShapeBase const& record : records_of(v.every.scene()))
            if (record.kind == kind) {
                const Rect r = qvTransformRect(box_of(record), example_mapping);
                const long cx = std::lround((r.x1 + r.x2) / 2), cy = std::lround((r.y1 + r.y2) / 2);
                EXPECT_EQ(v.driver->pixel(cx, cy), pixel_of(v.every.fill_color(kind))) << kind;
            }

    const std::vector<qvShapeBase> records = records_of(v.every.scene());
    for (auto [x, y] : {std::pair{2L, 2L}, {398L, 150L}, {200L, 295L}, {5L, 290L}}) {
        for (qvShapeBase const& record : records)   // the probe lies clear of every shape
            ASSERT_FALSE(covers({device_area(box_of(record), 2)}, x, y));
        EXPECT_EQ(v.driver->pixel(x, y), pixel_of(paper)) << x << ", " << y;
    }
    const qvRgbaQuad clear = v.driver->settings().clear_color;
    long cleared = 0;
    for (qvRgbaQuad const& p : v.pixels())
        cleared += p == clear ? 1 : 0;
    EXPECT_EQ(cleared, 0);
}

TEST(qvSceneViewEndToEnd, A_moved_rectangle_is_repaired_within_its_old_and_new_boxes_only) {
    ExampleView v;
    v.redraw_whole();
    const std::vector<qvRgbaQuad> before_pixels = v.pixels();
    qvRectangle rectangle = v.rectangle();
    ASSERT_TRUE(rectangle);
    const Rect before = rectangle->rectangle();
    const Rect after(before.x1 + 3, before.y1 + 2, before.x2 + 3, before.y2 + 2);
    rectangle->rectangle(after);

    const auto& log = v.driver->log();
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](std::string const& l) { return l.rfind("invalidate", 0) == 0; }),
              1);
    // The window heard the first box only; the rest waits in the layer and
    // joins the redraw through the view manager.
    const qvGridRegion expected = qvGridOf({device_area(before, 2), device_area(after, 2)});
    const qvRegion collected = v.driver->take_invalid();
    EXPECT_TRUE(qvSameArea(collected, qvGridOf({device_area(before, 2)}))) << qvRasterText(collected);

    v.driver->clear_log();
    EXPECT_TRUE(v.renderer->redraw(collected, false));
    EXPECT_NE(std::find(log.begin(), log.end(), "clip " + qvRasterText(expected)), log.end());
    const std::vector<qvRgbaQuad> after_pixels = v.pixels();
    long changed_inside = 0;
    for (long y = 0; y < 300; ++y)
        for (long x = 0; x < 400; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * 400 + x);
            if (covers({device_area(before, 2), device_area(after, 2)}, x, y))
                changed_inside += before_pixels[i] == after_pixels[i] ? 0 : 1;
            else
                ASSERT_EQ(before_pixels[i], after_pixels[i]) << x << ", " << y;
        }
    EXPECT_GT(changed_inside, 0);
    EXPECT_TRUE(qvFreshRenderCheck(*v.driver, v.view));
}

TEST(qvSceneViewEndToEnd, A_dump_view_transcribes_only_what_the_edit_invalidated) {
    ExampleView v;
    v.redraw_whole();
    qvRecordingDumpUser sink;
    const qvViewManager second = qvViewCreator::create(v.view);
    const qvDeviceRenderer dump(qvAsDriverHandle(qvDumpDriverObject::create(&sink, 0, 0, 400, 300)), second);
    ASSERT_TRUE(dump);
    EXPECT_FALSE(dump->callback_ready());   // no invalidation channel
    dump->redraw(qvRegion(Rect(0, 0, 400, 300)), false);

    qvRectangle rectangle = v.rectangle();
    const Rect before = rectangle->rectangle();
    const Rect after(before.x1 + 3, before.y1 + 2, before.x2 + 3, before.y2 + 2);
    rectangle->rectangle(after);
    sink.lines.clear();
    EXPECT_TRUE(dump->redraw(qvGridRegion(), false));

    // The dump driver adds 5 to every shape: the collectors grow by it, and
    // so does each layer's query.
    const qvGridRegion area = qvGridOf({device_area(before, 5), device_area(after, 5)});
    std::string clip = "clip";
    for (qvIndirectRectIterator it = area.enumerate(); it; ++it)
        clip += " " + qvRecordingDumpUser::rect(*it);
    std::vector<std::string> shapes;
    for (std::string const& line : sink.lines)
        if (is_shape_line(line))
            shapes.push_back(line);
    ASSERT_FALSE(shapes.empty());
    const Rect query(area.bbox().x1 - 5, area.bbox().y1 - 5, area.bbox().x2 + 5, area.bbox().y2 + 5);
    EXPECT_EQ(shapes.front(), "rectangle " + qvRecordingDumpUser::rect(query));   // the background
    const auto first_clip = std::find_if(sink.lines.begin(), sink.lines.end(),
                                         [](std::string const& l) { return l.rfind("clip", 0) == 0; });
    ASSERT_NE(first_clip, sink.lines.end());
    EXPECT_EQ(*first_clip, clip);
    EXPECT_LT(first_clip - sink.lines.begin(),
              std::find(sink.lines.begin(), sink.lines.end(), shapes.front()) - sink.lines.begin());

    std::vector<std::string> meeting;
    for (qvShapeBase const& record : records_of(v.every.scene()))
        if (qvRectsOverlap(qvTransformRect(box_of(record), example_mapping), query))
            meeting.push_back(record.kind == qvRectangleKind ? "rectangle " + qvRecordingDumpUser::rect(box_of(record))
                                                             : std::to_string(record.kind));
    ASSERT_EQ(meeting, std::vector<std::string>{"rectangle " + qvRecordingDumpUser::rect(after)});
    EXPECT_EQ(std::vector<std::string>(shapes.begin() + 1, shapes.end()), meeting);
}
