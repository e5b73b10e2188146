// The pictures the example program writes (examples/example_views.cpp),
// read back from the folder it ran in, named by ORVANE_EXAMPLE_OUTPUT (the
// example_output fixture sets it; without it the case is skipped). Five
// probes: the background in two margins, the moved rectangle's new strip,
// the strip it left, and the ellipse. The GIF holds each colour as the
// writer maps it onto the 6 x 6 x 6 colour cube.

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

}  // namespace

TEST(qvExampleOutput, Both_pictures_show_the_repaired_view_at_five_probes) {
    char const* const folder = std::getenv("ORVANE_EXAMPLE_OUTPUT");
    if (folder == nullptr || *folder == '\0')
        GTEST_SKIP() << "ORVANE_EXAMPLE_OUTPUT names no folder: run through ctest (the example_output fixture)";
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
