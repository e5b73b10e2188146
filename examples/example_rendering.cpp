// Rendering: a memory scene with a rectangle, a compact polyline and a
// restricted text, drawn through a dump driver whose sink prints one line
// per primitive it is handed: the baked attributes, then the shape.

#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvDumpDriverUser.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>

#include <iostream>
#include <sstream>
#include <string>

namespace {

class PrintingSink : public qvDumpDriverUser {
public:
    void transformation(qvRestrictedTransformation const& t) override {
        std::cout << "  transformation " << t.m0() << " " << t.m3() << " " << t.m4() << " " << t.m5() << "\n";
    }
    void clip(qvRegion const& r) override { std::cout << "  clip " << box(r.bbox()) << "\n"; }
    void fill_attributes(qvRgbColor c, long style, qvBitmap const&) override {
        std::cout << "  fill " << rgba(c) << " style=" << style << "\n";
    }
    void line_attributes(qvRgbColor c, double width, long style, qvLinePattern) override {
        std::cout << "  line " << rgba(c) << " w=" << width << " style=" << style << "\n";
    }
    void polymarker(qvCrdOf<double> const* p, long n) override { points("polymarker", p, n); }
    void marker_attributes(long style, qvBitmap const&) override { std::cout << "  marker style=" << style << "\n"; }
    void font_attributes(long family, char const* name, long slant, long weight) override {
        std::cout << "  font family=" << family << " name=\"" << name << "\" slant=" << slant << " weight=" << weight
                  << "\n";
    }
    void rectangle(qvMathRectOf<double> const& r) override { std::cout << "  rectangle " << box(r) << "\n"; }
    void ellipse(qvMathRectOf<double> const& r) override { std::cout << "  ellipse " << box(r) << "\n"; }
    void restricted_text(char const* text, qvCrdOf<double> const& a, double angle, unsigned align) override {
        std::cout << "  restricted_text \"" << text << "\" (" << a.x << "," << a.y << ") angle=" << angle
                  << " align=" << align << "\n";
    }
    void scaled_text(char const* text, qvCrdOf<double> const&, double, double, double, unsigned) override {
        std::cout << "  scaled_text \"" << text << "\"\n";
    }
    void polyline(qvCrdOf<double> const* p, long n) override { points("polyline", p, n); }
    void polygon(qvCrdOf<double> const* p, long n) override { points("polygon", p, n); }
    void bezier(qvCrdOf<double> const* p, qvPointTag const*, long n) override { points("bezier", p, n); }
    void restricted_image(qvCrdOf<double> const&, unsigned, qvBitmapHeader const& h, qvColorMapEntry const*,
                          unsigned char const*) override {
        std::cout << "  restricted_image " << h.width << "x" << h.height << "\n";
    }
    void scaled_image(qvCrdOf<double> const&, qvCrdOf<double> const&, qvCrdOf<double> const&,
                      qvBitmapHeader const& h, qvColorMapEntry const*, unsigned char const*) override {
        std::cout << "  scaled_image " << h.width << "x" << h.height << "\n";
    }

private:
    // Written through one stream: g++ 12 at -O3 reports a false -Wrestrict
    // in chains of std::string operator+.
    static std::string box(qvMathRectOf<double> const& r) {
        std::ostringstream out;
        out << "(" << r.x1 << "," << r.y1 << "," << r.x2 << "," << r.y2 << ")";
        return out.str();
    }
    static std::string rgba(qvRgbColor const& c) {
        std::ostringstream out;
        out << "rgba(" << c.red() << "," << c.green() << "," << c.blue() << "," << c.alpha() << ")";
        return out.str();
    }
    static void points(char const* name, qvCrdOf<double> const* p, long n) {
        std::cout << "  " << name << " " << n << " ";
        for (long i = 0; i < n; ++i) std::cout << "(" << p[i].x << "," << p[i].y << ")";
        std::cout << "\n";
    }
};

}  // namespace

void example_rendering() {
    std::cout << "Rendering through a dump driver\n";
    qvMemoryScene scene;
    qvRectangle(scene, 0, 0, 200, 100);
    const qvCrdOf<double> line[] = {{0, 0}, {200, 0}, {100, 50}};
    qvPolyline(scene, 3, line);
    qvRestrictedText(scene, qvCrdOf<double>(20, 30), "Orvane", nullptr, nullptr);

    PrintingSink sink;
    qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&sink, 0, 0, 200, 100);
    qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
    port.palette(&scene.palette());
    scene.render(port, -1, qvMathRectOf<double>(-1000, -1000, 1000, 1000), false);
}
