// Views: the every-kind scene (one shape of every drawable kind) drawn by
// the scene itself through the port of a 400 x 300 buffer of the raster
// test host, at scale 2 and offset 10, then written to orvane_scene.bmp and
// orvane_scene.gif in the current folder.

#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

#include "qvEveryKindScene.hpp"
#include "qvRasterDriver.hpp"
#include "qvRasterVBuf.hpp"

#include <filesystem>
#include <iostream>

namespace {

void print_pixel(qvRasterVBuf const& buffer, long x, long y) {
    const qvRgbaQuad p = buffer.pixel(x, y);
    std::cout << "    pixel (" << x << ", " << y << "): red " << int(p.red()) << ", green " << int(p.green())
              << ", blue " << int(p.blue()) << '\n';
}

}  // namespace

void example_views() {
    std::cout << "Views: the every-kind scene drawn into a raster buffer\n";
    qvEveryKindScene every;
    qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create();
    qvISafePtr<qvVBufObject> buffer = driver->new_vbuf(1, 400, 300, qvISafePtr<qvVBufObject>());
    qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
    port.palette(&every.scene().palette());
    port.transformation(qvRestrictedTransformation(2, 2, 10, 10));
    every.scene().render(port, -1, qvEveryKindScene::area(), false);

    qvRasterVBuf const& raster = *qvQueryInterface<qvRasterVBuf>(buffer.get());
    const bool written = raster.save_bmp("orvane_scene.bmp") && raster.save_gif("orvane_scene.gif");
    std::cout << "  " << driver->draw_count() << " shapes drawn into " << buffer->width() << " x " << buffer->height()
              << " pixels\n";
    if (written)
        std::cout << "  wrote orvane_scene.bmp (" << std::filesystem::file_size("orvane_scene.bmp")
                  << " bytes) and orvane_scene.gif (" << std::filesystem::file_size("orvane_scene.gif")
                  << " bytes) in the current folder\n";
    else
        std::cout << "  could not write orvane_scene.bmp and orvane_scene.gif here\n";
    print_pixel(raster, 50, 40);     // inside the rectangle
    print_pixel(raster, 140, 40);    // inside the ellipse
    print_pixel(raster, 395, 295);   // nothing drawn: the clear colour
}
