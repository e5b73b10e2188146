// libFuzzer target of the scene port: any bytes as one record (size field
// set to the input's length) drawn through a scene port over the recording
// port, once for each of the 16 combinations of its four flags, under a
// mapping that turns and scales and a target transformation that scales
// and moves, with a palette of three attributes (line widths, marker styles
// and sizes), clipped to a quarter of its 640 x 480 device box. Each draw
// ends in a result or a qvError; a record the check refuses never reaches
// the target; the target's palette is back after every draw; a crash, an
// assertion or a sanitizer report is a finding.

#include "fuzz_support.hpp"
#include "qvShapeTestSupport.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>

#include "shapes/qvShapeRecordCheck.hpp"

namespace {

struct Drawing {
    qvStandardPalette palette;
    qvAttributeProxy thin{palette, 0}, star{palette, 0}, circle{palette, 0};
    shape_test::RecordingFlavorPort target;
    qvViewTScenePort port{target};
    Drawing() {
        thin.line_width(0.5);
        star.line_width(2.0);
        star.marker_style(qvMarkerStyle{3});
        star.marker_size(qvMarkerSize(0.0));
        circle.marker_style(qvMarkerStyle{4});
        circle.marker_size(qvMarkerSize(3.0));
        target.palette(&palette);
        target.device_bbox(qvMathRectOf<double>(0, 0, 640, 480));
        // Restricted images are resampled where the clip shows them, at
        // most its 320 x 240 pixels and a margin a draw, 16 draws an input:
        // well inside the 1 s that run_all.sh gives every input.
        target.draw().clip(qvMathRectOf<double>(0, 0, 320, 240));
        port.transformation(qvRestrictedTransformation(2, -2, 10, 480));
        port.mapping(qvRotation(30) * qvTransformation(qvScaling(1.5, 3)));
    }
};

void require(bool holds, char const* what) {
    if (holds) return;
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    static Drawing drawing;
    std::unique_ptr<qvShapeBase> record = qvfuzz::record_of(data, size);
    if (!record) return 0;
    const bool valid = qvShapeRecordValid(*record);
    for (int flags = 0; flags < 16; ++flags) {
        qvViewTScenePort& port = drawing.port;
        port.scale_font_size((flags & 1) != 0);
        port.scale_line_width((flags & 2) != 0);
        port.scale_markers((flags & 4) != 0);
        port.rotate_markers((flags & 8) != 0);
        bool drawn = false;
        qvfuzz::attempt([&] { drawn = port.draw_shape(*record); });
        require(valid || (!drawn && drawing.target.calls.empty()), "a record the check refuses reached the target");
        require(drawing.target.palette() == &drawing.palette, "the target's palette was not put back");
        drawing.target.calls.clear();
        drawing.target.drawn.clear();
        drawing.target.palettes.assign(1, &drawing.palette);
        drawing.target.driver.drops.clear();
        drawing.target.driver.drop_palettes.clear();
    }
    return 0;
}
