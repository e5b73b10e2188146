// Transformed buffer: a virtual buffer laid over a 400 x 300 buffer of the
// raster test host at scale 0.5, moved by (100, 50). The every-kind scene
// is drawn at scale 2 into the virtual buffer through its port and lands,
// halved and moved, on the real buffer, texts and images included; the
// real pixels are written to orvane_tvbuf.bmp in the current folder. The
// host paints the whole real buffer with its paper first, as a window's
// background: the transformed buffer covers only the scene's half-size
// area of it. Records sized in device units keep that size through the
// transformed buffer's port: the restricted image is resampled to the
// buffer's scale, so its 5 x 4 pixels come out as a dot. The port draws
// markers that follow the scale as shapes of their own, in the marker
// style of their attribute; the every-kind scene gives its poly-markers no
// marker style, which draws none, so they do not reach the real buffer
// (12 of the 14 shapes do), where a direct drawing leaves marker shapes to
// the host. tests/views/qvExampleOutput_test.cpp probes the picture: keep
// the paper colour in step with it.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvTVBuf.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvSimpleRectangle.hpp>

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
    {
        // A fill shows with a fill style other than 0 or 1 and a colour.
        qvStandardPalette paper_palette;
        qvAttributeProxy paper(paper_palette, 0);
        paper.fill_style(qvFillStyle(2));
        paper.fill_color(qvRgbColor(0.95f, 0.95f, 0.85f));
        qvISafePtr<qvDrawObject> draw = real->new_draw();
        qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
        port.palette(&paper_palette);
        qvSimpleRectangle sheet;
        sheet->rectangle(qvMathRectOf<double>(0, 0, 400, 300));
        sheet->record()->attribute_handle = static_cast<std::int32_t>(paper.attr_handle());
        port.draw_shape(*sheet->record());
        port.palette(nullptr);
    }
    const long sheets = driver->draw_count();
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
    std::cout << "  " << driver->draw_count() - sheets << " shapes reached the real buffer\n";

    qvRasterVBuf const& raster = *qvQueryInterface<qvRasterVBuf>(real.get());
    if (raster.save_bmp("orvane_tvbuf.bmp"))
        std::cout << "  wrote orvane_tvbuf.bmp (" << std::filesystem::file_size("orvane_tvbuf.bmp")
                  << " bytes) in the current folder\n";
    else
        std::cout << "  could not write orvane_tvbuf.bmp here\n";
}
