#pragma once
// qvRecordingDumpUser: a dump driver sink that writes one transcript line
// per call, so tests compare what a driver was handed as text. Numbers are
// in shortest round-trip form; rectangles (x1,y1,x2,y2), points (x,y)
// lists, colours rgba(r,g,b,a), bitmaps "type WxH". For example
//   line rgba(0,0,1,1) w=1.5 style=0
//   polyline 2 (0,0)(200,0)

#include <orvane/rendering/qvDumpDriverUser.hpp>

#include <charconv>
#include <string>
#include <vector>

class qvRecordingDumpUser : public qvDumpDriverUser {
public:
    std::vector<std::string> lines;

    template <class T>
    static std::string num(T value) {
        char buffer[64];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
        return std::string(buffer, end);
    }
    static std::string point(qvCrdOf<double> const& p) { return "(" + num(p.x) + "," + num(p.y) + ")"; }
    static std::string rect(qvMathRectOf<double> const& r) {
        return "(" + num(r.x1) + "," + num(r.y1) + "," + num(r.x2) + "," + num(r.y2) + ")";
    }
    static std::string rgba(qvRgbColor const& c) {
        return "rgba(" + num(c.red()) + "," + num(c.green()) + "," + num(c.blue()) + "," + num(c.alpha()) + ")";
    }
    static std::string bitmap(qvBitmapHeader const& h) {
        return num(h.type) + " " + num(h.width) + "x" + num(h.height);
    }
    static std::string points(qvCrdOf<double> const* p, long n) {
        std::string out = num(n) + (p == nullptr ? " null" : " ");
        for (long i = 0; p != nullptr && i < n; ++i) out += point(p[i]);
        return out;
    }

    void transformation(qvRestrictedTransformation const& t) override {
        lines.push_back("transformation " + num(t.m0()) + " " + num(t.m3()) + " " + num(t.m4()) + " " + num(t.m5()));
    }
    void clip(qvRegion const& region) override {
        std::string out = "clip";
        for (auto it = region.enumerate(); it; ++it) out += " " + rect(*it);
        lines.push_back(out);
    }
    void fill_attributes(qvRgbColor color, long style, qvBitmap const& image) override {
        lines.push_back("fill " + rgba(color) + " style=" + num(style) + " image=" + bitmap(*image.header()));
    }
    void line_attributes(qvRgbColor color, double width, long style, qvLinePattern pattern) override {
        lines.push_back("line " + rgba(color) + " w=" + num(width) + " style=" + num(style) +
                        (pattern.count() > 0 ? " dashes=" + num(pattern.count()) : std::string()));
    }
    void polymarker(qvCrdOf<double> const* p, long n) override { lines.push_back("polymarker " + points(p, n)); }
    void marker_attributes(long style, qvBitmap const& image) override {
        lines.push_back("marker style=" + num(style) + " image=" + bitmap(*image.header()));
    }
    void font_attributes(long family, char const* name, long slant, long weight) override {
        lines.push_back("font family=" + num(family) + " name=\"" + std::string(name ? name : "") +
                        "\" slant=" + num(slant) + " weight=" + num(weight));
    }
    void rectangle(qvMathRectOf<double> const& r) override { lines.push_back("rectangle " + rect(r)); }
    void ellipse(qvMathRectOf<double> const& r) override { lines.push_back("ellipse " + rect(r)); }
    void restricted_text(char const* text, qvCrdOf<double> const& anchor, double angle, unsigned align) override {
        lines.push_back("restricted_text \"" + std::string(text) + "\" " + point(anchor) + " angle=" + num(angle) +
                        " align=" + num(align));
    }
    void scaled_text(char const* text, qvCrdOf<double> const& anchor, double height, double stretch, double angle,
                     unsigned align) override {
        lines.push_back("scaled_text \"" + std::string(text) + "\" " + point(anchor) + " height=" + num(height) +
                        " stretch=" + num(stretch) + " angle=" + num(angle) + " align=" + num(align));
    }
    void polyline(qvCrdOf<double> const* p, long n) override { lines.push_back("polyline " + points(p, n)); }
    void polygon(qvCrdOf<double> const* p, long n) override { lines.push_back("polygon " + points(p, n)); }
    void bezier(qvCrdOf<double> const* p, qvPointTag const* tags, long n) override {
        std::string out = "bezier " + points(p, n);
        if (tags != nullptr) {
            out += " tags";
            for (long i = 0; i < n; ++i) out += " " + num(static_cast<int>(tags[i]));
        }
        lines.push_back(out);
    }
    void restricted_image(qvCrdOf<double> const& anchor, unsigned align, qvBitmapHeader const& header,
                          qvColorMapEntry const* colors, unsigned char const* pixels) override {
        lines.push_back("restricted_image " + point(anchor) + " align=" + num(align) + " " + bitmap(header) +
                        " colors=" + num(colors ? header.color_count : 0) + (pixels ? " pixels" : " no-pixels"));
    }
    void scaled_image(qvCrdOf<double> const& anchor, qvCrdOf<double> const& x, qvCrdOf<double> const& y,
                      qvBitmapHeader const& header, qvColorMapEntry const* colors,
                      unsigned char const* pixels) override {
        lines.push_back("scaled_image " + point(anchor) + " " + point(x) + " " + point(y) + " " + bitmap(header) +
                        " colors=" + num(colors ? header.color_count : 0) + (pixels ? " pixels" : " no-pixels"));
    }
};
