// Scene port: a memory scene drawn through a scene port that turns the
// picture by 30 degrees and scales it by 2, in front of a dump driver's
// port. The dump sink prints what reaches the driver: the rectangle as a
// turned polygon, the ellipse as a closed Bezier curve, and the star
// polymarker as one star-shaped polygon per point, each with its line
// width scaled by 2.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvDumpDriverUser.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include <cmath>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>

namespace {

// One transcript line per primitive; points to two decimals.
class TranscriptSink : public qvDumpDriverUser {
public:
    void transformation(qvRestrictedTransformation const&) override {}
    void clip(qvRegion const&) override {}
    void fill_attributes(qvRgbColor, long, qvBitmap const&) override {}
    void line_attributes(qvRgbColor, double width, long, qvLinePattern) override {
        std::cout << "  line w=" << width << "\n";
    }
    void polymarker(qvCrdOf<double> const* p, long n) override { points("polymarker", p, n); }
    void marker_attributes(long style, qvBitmap const&) override { std::cout << "  marker style=" << style << "\n"; }
    void font_attributes(long, char const*, long, long) override {}
    void rectangle(qvMathRectOf<double> const&) override { std::cout << "  rectangle\n"; }
    void ellipse(qvMathRectOf<double> const&) override { std::cout << "  ellipse\n"; }
    void restricted_text(char const* text, qvCrdOf<double> const&, double, unsigned) override {
        std::cout << "  restricted_text \"" << text << "\"\n";
    }
    void scaled_text(char const* text, qvCrdOf<double> const&, double, double, double, unsigned) override {
        std::cout << "  scaled_text \"" << text << "\"\n";
    }
    void polyline(qvCrdOf<double> const* p, long n) override { points("polyline", p, n); }
    void polygon(qvCrdOf<double> const* p, long n) override { points("polygon", p, n); }
    void bezier(qvCrdOf<double> const* p, qvPointTag const*, long n) override { points("bezier", p, n); }
    void restricted_image(qvCrdOf<double> const&, unsigned, qvBitmapHeader const&, qvColorMapEntry const*,
                          unsigned char const*) override {}
    void scaled_image(qvCrdOf<double> const&, qvCrdOf<double> const&, qvCrdOf<double> const&, qvBitmapHeader const&,
                      qvColorMapEntry const*, unsigned char const*) override {}

private:
    // Two decimals; what rounds to zero prints as 0.00, never -0.00.
    static std::string num(double v) {
        std::ostringstream out;
        out << std::fixed << std::setprecision(2) << (std::abs(v) < 0.005 ? 0.0 : v);
        return out.str();
    }
    static void points(char const* name, qvCrdOf<double> const* p, long n) {
        std::cout << "  " << name << " " << n << " ";
        for (long i = 0; i < n; ++i) std::cout << "(" << num(p[i].x) << "," << num(p[i].y) << ")";
        std::cout << "\n";
    }
};

}  // namespace

void example_scene_port() {
    std::cout << "Scene port: rotation 30 degrees and scale 2 in front of a dump driver\n";
    qvMemoryScene scene;
    qvAttributeProxy style(scene.palette(), 0);
    style.line_style(qvLineStyle{0});   // solid
    style.line_color(0.0f, 0.0f, 1.0f);
    style.line_width(1.0);
    style.marker_style(qvMarkerStyle{3});   // a star
    style.marker_size(qvMarkerSize(2.0));
    qvRectangle(scene, 0, 0, 40, 20, &style);
    qvEllipse(scene, qvMathRectOf<double>(50, 0, 90, 20), &style);
    const qvCrdOf<double> stars[] = {{10, 50}, {30, 50}};
    qvPolyMarker(scene, 2, stars, &style);

    TranscriptSink sink;
    qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&sink, 0, 0, 400, 300);
    qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvFlavorPort& dump_port = *qvQueryInterface<qvFlavorPort>(draw.get());
    dump_port.device_bbox(qvMathRectOf<double>(0, 0, 400, 300));

    qvViewTScenePort port(dump_port);
    port.mapping(qvRotation(30) * qvTransformation(qvScaling(2)));
    scene.render(port, -1, qvMathRectOf<double>(-1000, -1000, 1000, 1000), false);
}
