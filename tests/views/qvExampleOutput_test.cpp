// The pictures the example program writes, read back from the folder it
// ran in, named by ORVANE_EXAMPLE_OUTPUT (the example_output fixture sets
// it; without it the cases are skipped). Each picture is probed at named
// spots, before and after an edit where there is one: two blank pictures
// are equal, so equality of two renders proves nothing on its own.
//  - orvane_scene.* (examples/example_views.cpp): the background in two
//    margins, the moved rectangle's new strip, the strip it left, and the
//    ellipse. The GIF holds each colour as the writer maps it onto the
//    6 x 6 x 6 colour cube.
//  - orvane_pipeline*.bmp (examples/example_pipeline.cpp): background,
//    field, well, label, star and the application's cursor layer; after the
//    drag the moved corner, the strip it left, and no cursor.
//  - orvane_scale_*.bmp (examples/example_scale.cpp): the rectangle before
//    and after its corner was pulled out.
//  - orvane_tvbuf.bmp (examples/example_tvbuf.cpp): painted to every corner.
//  - orvane_drawings.bmp (examples/example_drawings.cpp): the moved
//    rectangle in the view and again in the scene adapter's corner copy.
//  - orvane_preview.bmp (examples/example_printing.cpp): each page's print
//    area with its part of the printed view; no sheet or shadow, whose fill
//    style 0 the raster host paints as nothing.

#include "qvEveryKindScene.hpp"
#include "qvImageFileTestSupport.hpp"
#include "qvRasterCanvas.hpp"

#include <orvane/attributes/qvColorCube.hpp>
#include <orvane/attributes/qvRgbToIndex.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

using Rect = qvMathRectOf<double>;

// What the example draws: keep in step with examples/example_views.cpp.
const qvRgbColor example_paper(0.95f, 0.90f, 0.75f);
const qvRestrictedTransformation example_view_mapping(2, 2, 10, 10);
constexpr double example_move_x = 3, example_move_y = 2;

std::uint32_t rgb_of_color(qvRgbColor const& c) {
    return std::uint32_t{qvRasterChannel(c.red())} << 16 | std::uint32_t{qvRasterChannel(c.green())} << 8 |
           qvRasterChannel(c.blue());
}

// The colour the GIF writer gives `rgb`: its cell's entry of the colour
// cube.
std::uint32_t through_cube(std::uint32_t rgb) {
    const qvColorCube cube;
    const qvRgbToIndex nearest(cube);
    const unsigned char index = nearest(static_cast<short>(rgb >> 16 & 0xFF), static_cast<short>(rgb >> 8 & 0xFF),
                                        static_cast<short>(rgb & 0xFF));
    for (int i = 0; i < cube.size(); ++i)
        if (qvColorMapEntry const& e = cube.data()[i]; e.index() == index)
            return std::uint32_t(e.red()) << 16 | std::uint32_t(e.green()) << 8 | e.blue();
    return 0x1000000;   // no entry: matches no pixel
}

struct Probe {
    long x, y;
    std::uint32_t rgb;
    char const* what;
};

// The five probes, from the scene the example draws.
std::vector<Probe> example_probes() {
    qvEveryKindScene every;
    Rect before;
    bool found = false;
    qvCrdOf<double> ellipse_centre{};
    for (qvIndirectIterator<qvGraphic> it = every.scene().enumerate(-1); it; ++it) {
        if (const qvRectangle r(*it); r && !found) {
            before = r->rectangle();
            found = true;
        }
        else if (const qvEllipse e(*it); e)
            ellipse_centre = e->center();
    }
    const Rect old_box = qvTransformRect(before, example_view_mapping);
    const Rect new_box = qvTransformRect(
        Rect(before.x1 + example_move_x, before.y1 + example_move_y, before.x2 + example_move_x,
             before.y2 + example_move_y),
        example_view_mapping);
    const std::uint32_t paper = rgb_of_color(example_paper);
    const std::uint32_t rectangle = rgb_of_color(every.fill_color(qvRectangleKind));
    const qvCrdOf<double> ellipse{2 * ellipse_centre.x + 10, 2 * ellipse_centre.y + 10};
    return {
        {5, 5, paper, "the background, top left"},
        {200, 295, paper, "the background, bottom"},
        {static_cast<long>(new_box.x1) + 8, static_cast<long>(new_box.y2) - 2, rectangle,
         "the rectangle's new strip"},
        {static_cast<long>(old_box.x1) + 2, static_cast<long>(old_box.y1) + 1, paper, "the strip it left"},
        {static_cast<long>(ellipse.x), static_cast<long>(ellipse.y), rgb_of_color(every.fill_color(qvEllipseKind)),
         "the ellipse"},
    };
}

std::string file_bytes(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The folder the example ran in, or null (the case is then skipped).
char const* example_folder() {
    char const* const folder = std::getenv("ORVANE_EXAMPLE_OUTPUT");
    return folder != nullptr && *folder != '\0' ? folder : nullptr;
}

// Reads `name` from the example's folder, checks its size and every probe.
void expect_bmp_probes(std::string const& name, long width, long height, std::vector<Probe> const& probes) {
    const std::string bytes = file_bytes(std::string(example_folder()) + "/" + name);
    ASSERT_FALSE(bytes.empty()) << name;
    qvBitmap bitmap;
    image_test::load_bmp(bytes, bitmap);
    const image_test::RgbPixels pixels = image_test::rgb_of(bitmap);
    ASSERT_EQ(pixels.width, width) << name;
    ASSERT_EQ(pixels.height, height) << name;
    for (Probe const& p : probes)
        EXPECT_EQ(pixels.rgb[static_cast<std::size_t>(p.y * width + p.x)], p.rgb)
            << p.what << " in " << name << " at " << p.x << ", " << p.y;
}

// What examples/example_pipeline.cpp draws, in device pixels of its
// 200 x 120 window (scale 2, offset 10): the field (10, 10)-(60, 40) at
// (30, 30)-(130, 90), dragged by its top-right corner to model (50, 34),
// device (110, 78); the well, centre (75, 30) radius 8, at (144, 54)-(176,
// 86) under the star at (160, 70); the label below the field; the cursor a
// square of 6 pixels around (50, 50).
const std::uint32_t pipeline_paper = rgb_of_color(qvRgbColor(0.95f, 0.95f, 0.85f));
const std::uint32_t pipeline_grass = rgb_of_color(qvRgbColor(0.55f, 0.75f, 0.45f));
const std::uint32_t pipeline_water = rgb_of_color(qvRgbColor(0.3f, 0.5f, 0.85f));
const std::uint32_t pipeline_red = rgb_of_color(qvRgbColor(0.75f, 0.15f, 0.1f));
const std::uint32_t pipeline_cursor = rgb_of_color(qvRgbColor(0.5f, 0.2f, 0.6f));

// The rectangle of examples/example_scale.cpp: (30, 30)-(110, 70) in its
// 200 x 150 window, pulled out to (30, 30)-(170, 100); its handles are the
// gadget palette's grey squares, drawn over it.
const std::uint32_t scale_paper = pipeline_paper;
const std::uint32_t scale_brick = rgb_of_color(qvRgbColor(0.8f, 0.4f, 0.25f));
const std::uint32_t scale_handle = rgb_of_color(qvRgbColor(0.25f, 0.25f, 0.25f));

// What examples/example_drawings.cpp draws on its 400 x 300 window: the
// every-kind scene's first rectangle, (4, 4)-(40, 28), moved by (20, 10),
// at scale 2 and offset 10, then again through the scene adapter that maps
// the scene's area (0, 0)-(180, 130) onto (300, 230)-(390, 295), scale 0.5.
constexpr long drawings_width = 400, drawings_height = 300;

// What examples/example_printing.cpp previews on its 700 x 440 window at
// scale 0.5 and offset 20: the printed picture's point (x, y) of page 1
// lands at 0.5 (x + 36) + 20, of page 2 at 0.5 (x + 146) + 20 across.
const std::uint32_t preview_grey = rgb_of_color(qvRgbColor(0.6f, 0.6f, 0.6f));
const std::uint32_t preview_white = rgb_of_color(qvRgbColor(1.0f, 1.0f, 1.0f));

}  // namespace

#define QV_NEEDS_EXAMPLE_FOLDER()                                                                         \
    if (example_folder() == nullptr)                                                                      \
    GTEST_SKIP() << "ORVANE_EXAMPLE_OUTPUT names no folder: run through ctest (the example_output fixture)"

TEST(qvExampleOutput, Both_pictures_show_the_repaired_view_at_five_probes) {
    QV_NEEDS_EXAMPLE_FOLDER();
    char const* const folder = example_folder();
    const std::string base = std::string(folder) + "/orvane_scene.";
    const std::string bmp = file_bytes(base + "bmp"), gif = file_bytes(base + "gif");
    ASSERT_FALSE(bmp.empty()) << base << "bmp";
    ASSERT_FALSE(gif.empty()) << base << "gif";
    qvBitmap from_bmp, from_gif;
    image_test::load_bmp(bmp, from_bmp);
    ASSERT_TRUE(image_test::load_gif(gif, from_gif));
    const image_test::RgbPixels bmp_pixels = image_test::rgb_of(from_bmp);
    const image_test::RgbPixels gif_pixels = image_test::rgb_of(from_gif);
    ASSERT_EQ(bmp_pixels.width, 400);
    ASSERT_EQ(bmp_pixels.height, 300);
    ASSERT_EQ(gif_pixels.width, 400);
    ASSERT_EQ(gif_pixels.height, 300);
    for (Probe const& p : example_probes()) {
        const std::size_t at = static_cast<std::size_t>(p.y * 400 + p.x);
        EXPECT_EQ(bmp_pixels.rgb[at], p.rgb) << p.what << " in the BMP at " << p.x << ", " << p.y;
        EXPECT_EQ(gif_pixels.rgb[at], through_cube(p.rgb)) << p.what << " in the GIF at " << p.x << ", " << p.y;
    }
}

TEST(qvExampleOutput, The_whole_road_shows_every_layer_before_the_drag) {
    QV_NEEDS_EXAMPLE_FOLDER();
    expect_bmp_probes("orvane_pipeline.bmp", 200, 120,
                      {
                          {5, 5, pipeline_paper, "the background, top left"},
                          {195, 115, pipeline_paper, "the background, bottom right"},
                          {100, 40, pipeline_grass, "the field"},
                          {120, 85, pipeline_grass, "the field's corner before the drag"},
                          {148, 70, pipeline_water, "the well, beside the star"},
                          {160, 70, pipeline_red, "the star, on the well"},
                          {80, 100, pipeline_red, "the label's text box"},
                          {50, 50, pipeline_cursor, "the cursor layer, over the field"},
                      });
}

TEST(qvExampleOutput, The_whole_road_after_the_drag_shows_the_moved_corner_and_no_cursor) {
    QV_NEEDS_EXAMPLE_FOLDER();
    expect_bmp_probes("orvane_pipeline_edited.bmp", 200, 120,
                      {
                          {5, 5, pipeline_paper, "the background, top left"},
                          {107, 75, pipeline_grass, "the field inside its moved corner"},
                          {120, 85, pipeline_paper, "the strip the corner left, right"},
                          {70, 84, pipeline_paper, "the strip the corner left, below"},
                          {50, 50, pipeline_grass, "the field where the removed cursor was"},
                          {148, 70, pipeline_water, "the well"},
                          {160, 70, pipeline_red, "the star"},
                          {80, 100, pipeline_red, "the label's text box"},
                      });
}

TEST(qvExampleOutput, The_scale_pictures_show_the_rectangle_before_and_after_its_corner_was_pulled) {
    QV_NEEDS_EXAMPLE_FOLDER();
    expect_bmp_probes("orvane_scale_before.bmp", 200, 150,
                      {
                          {5, 5, scale_paper, "the background"},
                          {70, 50, scale_brick, "the rectangle"},
                          {140, 85, scale_paper, "where the rectangle will grow"},
                          {175, 105, scale_paper, "beyond the pulled corner"},
                          {110, 70, scale_handle, "handle 7 on the corner"},
                          {30, 30, scale_handle, "handle 0 on the opposite corner"},
                      });
    expect_bmp_probes("orvane_scale_after.bmp", 200, 150,
                      {
                          {5, 5, scale_paper, "the background"},
                          {70, 50, scale_brick, "the rectangle"},
                          {140, 85, scale_brick, "the part the rectangle grew"},
                          {165, 95, scale_brick, "inside the pulled corner"},
                          {175, 105, scale_paper, "beyond the pulled corner"},
                          {170, 100, scale_handle, "handle 7 on the moved corner"},
                          {110, 70, scale_brick, "the handle's old place, repainted"},
                      });
}

// The raster host starts a buffer unpainted (magenta); the example paints
// the whole of it before the half-scale scene lands in the middle.
TEST(qvExampleOutput, The_transformed_buffer_picture_is_painted_to_every_corner) {
    QV_NEEDS_EXAMPLE_FOLDER();
    qvEveryKindScene every;
    Rect rectangle;
    for (qvIndirectIterator<qvGraphic> it = every.scene().enumerate(-1); it; ++it)
        if (const qvRectangle r(*it); r) {
            rectangle = r->rectangle();
            break;
        }
    // Scale 2 into the buffer, then 0.5 and moved by (100, 50).
    const long x = static_cast<long>((rectangle.x1 + rectangle.x2) / 2 + 100);
    const long y = static_cast<long>((rectangle.y1 + rectangle.y2) / 2 + 50);
    expect_bmp_probes("orvane_tvbuf.bmp", 400, 300,
                      {
                          {0, 0, pipeline_paper, "the top left corner"},
                          {399, 0, pipeline_paper, "the top right corner"},
                          {0, 299, pipeline_paper, "the bottom left corner"},
                          {399, 299, pipeline_paper, "the bottom right corner"},
                          {x, y, rgb_of_color(every.fill_color(qvRectangleKind)), "the rectangle"},
                      });
}

TEST(qvExampleOutput, The_drawings_picture_shows_the_moved_rectangle_in_the_view_and_in_the_adapter_corner) {
    QV_NEEDS_EXAMPLE_FOLDER();
    const qvEveryKindScene every;
    const std::uint32_t rectangle = rgb_of_color(every.fill_color(qvRectangleKind));
    const std::uint32_t paper = rgb_of_color(example_paper);
    expect_bmp_probes("orvane_drawings.bmp", drawings_width, drawings_height,
                      {
                          {5, 5, paper, "the background"},
                          {80, 70, rectangle, "the moved rectangle, (58, 38)-(130, 86)"},
                          {22, 22, paper, "the place it left, from (18, 18)"},
                          {320, 246, rectangle, "the corner copy, (312, 237)-(330, 249)"},
                          {304, 234, paper, "the place the corner copy left, from (302, 232)"},
                          {395, 297, paper, "below and right of the corner copy"},
                      });
}

TEST(qvExampleOutput, The_preview_shows_each_print_area_with_its_part_of_the_picture_and_no_sheets) {
    QV_NEEDS_EXAMPLE_FOLDER();
    expect_bmp_probes("orvane_preview.bmp", 700, 440,
                      {
                          {5, 5, preview_grey, "the preview's background"},
                          {60, 380, preview_white, "page 1's print area, (38, 38)-(308, 398)"},
                          {150, 120, rgb_of_color(qvRgbColor(0.2f, 0.3f, 0.9f)), "the blue box on page 1"},
                          {190, 280, rgb_of_color(qvRgbColor(0.9f, 0.2f, 0.2f)), "the red box on page 1"},
                          {400, 120, rgb_of_color(qvRgbColor(0.2f, 0.3f, 0.9f)), "the blue box on page 2"},
                          {520, 300, rgb_of_color(qvRgbColor(0.2f, 0.7f, 0.3f)), "the green box on page 2"},
                          {25, 25, preview_grey, "page 1's sheet margin, fill style 0"},
                          {320, 410, preview_grey, "page 1's shadow, fill style 0"},
                      });
}
