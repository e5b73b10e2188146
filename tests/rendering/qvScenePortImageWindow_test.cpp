// The scene port's restricted images and the target's window: an image
// without pixels costs and sends nothing, only the part the target's clip
// lets through is resampled, a pixel a device unit, and every pixel of that
// part lands where the whole resampled image put it, for each alignment and
// resolution.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvSimpleRestrictedImage.hpp>

#include "qvBitmapTransformReference.hpp"
#include "qvRasterDriver.hpp"
#include "qvRecordingDumpUser.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>

namespace {

using Rect = qvMathRectOf<double>;
using P = qvCrdOf<double>;
using Record = std::unique_ptr<qvShapeBase>;

// w x h RGBA pixels, red 5 x, green 7 y, blue 1: no two alike, none black.
qvBitmap window_bitmap(int w, int h, int dpi = 0) {
    qvBitmap b(qvBitmapLayout(qvRgbaBitmap), w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            transform_reference::set(
                b, x, y, transform_reference::quad(static_cast<unsigned>(5 * x), static_cast<unsigned>(7 * y), 1));
    if (dpi != 0)
        b.dpi(dpi, dpi);
    return b;
}

Record window_image(qvBitmapReference const& bitmap, P anchor, unsigned alignment) {
    qvSimpleRestrictedImage image;
    image->bitmap(bitmap);
    image->anchor(anchor);
    image->alignment(static_cast<int>(alignment));
    return shape_test::scene_record(*image->record(), qvRestrictedImageKind, 0);
}

// The pixel of a sent image at device point p, placing the image as a
// driver does: the anchor on the low edge (start, top), the high edge (end,
// bottom and baseline) or the centre of each axis, a pixel taking
// resolution / pixels device units.
std::optional<std::uint32_t> pixel_at(qvShapeBase const& sent, P p) {
    qvSimpleRestrictedImage image(&sent);
    const qvBitmapReference b = image->bitmap();
    const unsigned a = static_cast<unsigned>(image->alignment());
    const double kx = (a & 12) == 8 ? 1.0 : (a & 12) == 12 ? 0.5 : 0.0;
    const double ky = (a & 3) == 1 ? 0.0 : (a & 3) == 3 ? 0.5 : 1.0;
    const double w = image->x_resolution(), h = image->y_resolution();
    const double column = std::floor((p.x - (image->anchor().x - kx * w)) / (w / b.width()));
    const double row = std::floor((p.y - (image->anchor().y - ky * h)) / (h / b.height()));
    if (!(column >= 0 && column < b.width() && row >= 0 && row < b.height()))
        return std::nullopt;
    return transform_reference::get(b, static_cast<int>(column), static_cast<int>(row));
}

// A scene port over a recording port whose window is `window`.
struct Windowed {
    qvStandardPalette palette;
    shape_test::RecordingFlavorPort target;
    qvViewTScenePort port{target};
    explicit Windowed(Rect const& window) {
        target.palette(&palette);
        target.draw().clip(window);
    }
};

const qvTransformation turned = qvTransformation(qvRotation(30)) * qvTransformation(qvScaling(3, 2));

}  // namespace

TEST(qvScenePortImageWindow, An_image_without_pixels_sends_nothing_not_even_a_transformation) {
    // Regression: 4352 x 0 pixels under a turn were resampled as 18 million.
    qvRecordingDumpUser sink;
    const qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&sink, 0, 0, 640, 480);
    const qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    const qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvViewTScenePort port(*qvQueryInterface<qvFlavorPort>(draw.get()));
    port.mapping(turned);
    for (auto [w, h] : {std::pair{4352, 0}, std::pair{0, 4352}}) {
        sink.lines.clear();
        EXPECT_FALSE(port.draw_shape(*window_image(qvBitmap(qvBitmapLayout(qvRgbaBitmap), w, h), P(10, 20), 15)));
        EXPECT_TRUE(sink.lines.empty()) << w << " x " << h;
    }
}

TEST(qvScenePortImageWindow, The_part_in_the_window_keeps_each_pixel_where_the_whole_image_put_it) {
    for (const unsigned alignment : {15u, 5u, 10u, 0u, 9u})
        for (const int dpi : {0, 144}) {
            const qvBitmap bits = window_bitmap(60, 40, dpi);
            auto draw = [&](Windowed& w) {
                w.target.transformation(qvRestrictedTransformation(2, 2, 30, 10));
                w.port.mapping(turned);
                EXPECT_TRUE(w.port.draw_shape(*window_image(bits, P(20, 15), alignment)));
                return w.target.record(0);
            };
            Windowed all(Rect(-1e5, -1e5, 1e5, 1e5));
            const Record whole = draw(all);
            // A window of 40 x 25 device units a little off the centre of
            // where the whole image lies.
            qvSimpleRestrictedImage placed(whole.get());
            const double kx = (alignment & 12) == 8 ? 1.0 : (alignment & 12) == 12 ? 0.5 : 0.0;
            const double ky = (alignment & 3) == 1 ? 0.0 : (alignment & 3) == 3 ? 0.5 : 1.0;
            const P centre(placed->anchor().x + (0.5 - kx) * placed->x_resolution() + 7.25,
                           placed->anchor().y + (0.5 - ky) * placed->y_resolution() - 3.5);
            const Rect window(centre.x - 20, centre.y - 12.5, centre.x + 20, centre.y + 12.5);
            Windowed part(window);
            const Record cut = draw(part);

            // The bitmaps are views into the copies, which must outlive them.
            qvSimpleRestrictedImage whole_copy(whole.get()), cut_copy(cut.get());
            const qvBitmapReference whole_bits = whole_copy->bitmap();
            const qvBitmapReference cut_bits = cut_copy->bitmap();
            // The part is the window, a pixel a device unit whatever the
            // image's resolution, and a pixel or two of margin.
            EXPECT_LE(cut_bits.width(), 40 + 4) << alignment << " " << dpi;
            EXPECT_LE(cut_bits.height(), 25 + 4) << alignment << " " << dpi;
            EXPECT_GT(whole_bits.width() * whole_bits.height(), 4 * cut_bits.width() * cut_bits.height());
            const P spots[] = {{window.x1 + 0.25, window.y1 + 0.25}, centre,
                               {window.x2 - 0.25, window.y2 - 0.25}, {window.x1 + 3.5, window.y2 - 1.5}};
            for (P const& spot : spots) {
                const auto expected = pixel_at(*whole, spot);
                ASSERT_TRUE(expected.has_value()) << alignment << " " << dpi;
                EXPECT_EQ(pixel_at(*cut, spot), expected)
                    << alignment << " " << dpi << " at " << spot.x << "," << spot.y;
            }
        }
}

TEST(qvScenePortImageWindow, A_raster_picture_of_the_part_equals_the_whole_image_inside_the_window) {
    auto draw = [](Rect const& clip) {
        qvRasterSettings settings;
        settings.window_width = 200;
        settings.window_height = 150;
        qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create(settings);
        const qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
        const qvISafePtr<qvDrawObject> surface = buffer->new_draw();
        qvFlavorPort& raster = *qvQueryInterface<qvFlavorPort>(surface.get());
        qvStandardPalette palette;
        raster.palette(&palette);
        surface->clip(clip);
        qvViewTScenePort port(raster);
        port.mapping(qvTransformation(qvRotation(-20)) * qvTransformation(qvScaling(2.5, 2)));
        // Centred on its anchor: the raster host draws it into its box.
        EXPECT_TRUE(port.draw_shape(*window_image(window_bitmap(50, 30), P(45, 40), 15)));
        return driver;
    };
    const Rect window(70, 50, 130, 100);
    const qvISafePtr<qvRasterDriver> whole = draw(Rect(-1e5, -1e5, 1e5, 1e5)), cut = draw(window);
    const qvRgbaQuad magenta(255, 0, 255, 255);
    long drawn = 0;
    for (long y = 0; y < 150; ++y)
        for (long x = 0; x < 200; ++x) {
            const bool inside = x >= 70 && x < 130 && y >= 50 && y < 100;
            if (!inside) {
                ASSERT_EQ(cut->pixel(x, y), magenta) << x << "," << y;
                continue;
            }
            ASSERT_EQ(cut->pixel(x, y), whole->pixel(x, y)) << x << "," << y;
            drawn += cut->pixel(x, y) == magenta ? 0 : 1;
        }
    EXPECT_GT(drawn, 60 * 50 / 2);
}

TEST(qvScenePortImageWindow, A_zoomed_in_image_is_resampled_only_where_the_window_shows_it) {
    // 100 x 100 pixels at 1000 device units each: once refused as too large.
    Windowed w(Rect(0, 0, 640, 480));
    w.port.mapping(qvTransformation(1000, 0, 0, 1000, -37200, -52300));
    const qvBitmap bits = window_bitmap(100, 100);
    ASSERT_TRUE(w.port.draw_shape(*window_image(bits, P(0, 0), 5)));   // start, top
    const Record sent = w.target.record(0);
    qvSimpleRestrictedImage copy(sent.get());
    const qvBitmapReference cut = copy->bitmap();
    EXPECT_LE(cut.width(), 644);
    EXPECT_LE(cut.height(), 484);
    // Device (300, 200) is the middle of source pixel (37, 52).
    EXPECT_EQ(pixel_at(*sent, P(300, 200)), transform_reference::get(bits, 37, 52));
    EXPECT_EQ(pixel_at(*sent, P(800, 200)), std::nullopt);
}

TEST(qvScenePortImageWindow, An_image_beside_the_window_is_not_drawn_and_one_with_no_clip_is_drawn_whole) {
    Windowed w(Rect(500, 500, 600, 600));
    w.target.transformation(qvRestrictedTransformation(2, 2, 5, 5));
    w.port.mapping(turned);
    EXPECT_FALSE(w.port.draw_shape(*window_image(window_bitmap(10, 10), P(0, 0), 15)));
    EXPECT_TRUE(w.target.calls.empty());
    EXPECT_EQ(w.target.transformation(), qvRestrictedTransformation(2, 2, 5, 5));

    // An empty clip region is no clipping (a selector's draw object has
    // none): the whole turned image is sent, as it was before windows
    // bounded the resampling.
    Windowed open(Rect(500, 500, 600, 600));
    open.target.draw().clip(qvRegion());
    open.port.mapping(turned);
    ASSERT_TRUE(open.port.draw_shape(*window_image(window_bitmap(10, 10), P(0, 0), 15)));
    qvSimpleRestrictedImage sent(open.target.record(0).get());
    // 10 x 10 turned 30 degrees spans 10 cos 30 + 10 sin 30 = 13.7 each way.
    EXPECT_GE(sent->bitmap().width(), 13);
    EXPECT_GE(sent->bitmap().height(), 13);
}

TEST(qvScenePortImageWindow, A_fine_image_is_resampled_at_the_device_density_not_its_own) {
    // 400 x 300 pixels at 7200 dpi take 4 x 3 device units: resampling all
    // 120,000 pixels for 12 device pixels made a fine image as costly as
    // a huge one.
    Windowed w(Rect(0, 0, 640, 480));
    w.port.mapping(qvTransformation(qvRotation(30)));
    ASSERT_TRUE(w.port.draw_shape(*window_image(window_bitmap(400, 300, 7200), P(100, 100), 15)));
    const Record sent = w.target.record(0);
    qvSimpleRestrictedImage image(sent.get());
    const qvBitmapReference out = image->bitmap();
    // The turned 4 x 3 units span 4 cos 30 + 3 sin 30 = 4.96 by 4.6.
    EXPECT_LE(out.width(), 7);
    EXPECT_LE(out.height(), 7);
    EXPECT_EQ(out.dpi_x(), 72);
    EXPECT_EQ(image->x_resolution(), out.width());
    EXPECT_EQ(image->y_resolution(), out.height());
}
