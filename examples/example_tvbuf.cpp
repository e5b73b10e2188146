// Transformed buffer: a virtual buffer laid over a 400 x 300 buffer of the
// raster test host at scale 0.5, moved by (100, 50). The every-kind scene
// is drawn at scale 2 into the virtual buffer through its port and lands,
// halved and moved, on the real buffer, texts and images included; the
// real pixels are written to orvane_tvbuf.bmp in the current folder.

#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvTVBuf.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

#include "qvEveryKindScene.hpp"
#include "qvRasterDriver.hpp"
#include "qvRasterVBuf.hpp"

#include <filesystem>
#include <iostream>

void example_tvbuf() {
    std::cout << "Transformed buffer: scale 0.5, moved by (100, 50), over a raster buffer\n";
    qvEveryKindScene every;
    qvISafePtr<qvRasterDriver> driver = qvRasterDriver::create();
    qvISafePtr<qvVBufObject> real = driver->new_vbuf(1, 400, 300, qvISafePtr<qvVBufObject>());
    qvTVBuf tv(*real);
    tv->transformation(qvTransformation(0.5, 0, 0, 0.5, 100, 50));
    qvMathRectOf<double> const& area = tv->bbox();
    std::cout << "  area (" << area.x1 << ", " << area.y1 << ", " << area.x2 << ", " << area.y2 << "), width "
              << tv->width() << ", height " << tv->height() << '\n';

    {
        qvISafePtr<qvDrawObject> draw = tv->new_draw();
        qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
        port.palette(&every.scene().palette());
        port.transformation(qvRestrictedTransformation(2, 2, 0, 0));
        every.scene().render(port, -1, qvEveryKindScene::area(), false);
    }
    std::cout << "  " << driver->draw_count() << " shapes reached the real buffer\n";

    qvRasterVBuf const& raster = *qvQueryInterface<qvRasterVBuf>(real.get());
    if (raster.save_bmp("orvane_tvbuf.bmp"))
        std::cout << "  wrote orvane_tvbuf.bmp (" << std::filesystem::file_size("orvane_tvbuf.bmp")
                  << " bytes) in the current folder\n";
    else
        std::cout << "  could not write orvane_tvbuf.bmp here\n";
}
