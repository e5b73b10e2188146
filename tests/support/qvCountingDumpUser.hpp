#pragma once
// qvCountingDumpUser: a dump driver sink that only counts the calls it is
// handed, for benchmarks that measure the drawing road rather than a sink's
// output. A sink that must look at what it is handed overrides the calls
// it reads and counts them itself.

#include <orvane/rendering/qvDumpDriverUser.hpp>

class qvCountingDumpUser : public qvDumpDriverUser {
public:
    long calls = 0;
    void transformation(qvRestrictedTransformation const&) override { ++calls; }
    void clip(qvRegion const&) override { ++calls; }
    void fill_attributes(qvRgbColor, long, qvBitmap const&) override { ++calls; }
    void line_attributes(qvRgbColor, double, long, qvLinePattern) override { ++calls; }
    void polymarker(qvCrdOf<double> const*, long) override { ++calls; }
    void marker_attributes(long, qvBitmap const&) override { ++calls; }
    void font_attributes(long, char const*, long, long) override { ++calls; }
    void rectangle(qvMathRectOf<double> const&) override { ++calls; }
    void ellipse(qvMathRectOf<double> const&) override { ++calls; }
    void restricted_text(char const*, qvCrdOf<double> const&, double, unsigned) override { ++calls; }
    void scaled_text(char const*, qvCrdOf<double> const&, double, double, double, unsigned) override { ++calls; }
    void polyline(qvCrdOf<double> const*, long) override { ++calls; }
    void polygon(qvCrdOf<double> const*, long) override { ++calls; }
    void bezier(qvCrdOf<double> const*, qvPointTag const*, long) override { ++calls; }
    void restricted_image(qvCrdOf<double> const&, unsigned, qvBitmapHeader const&, qvColorMapEntry const*,
                          unsigned char const*) override { ++calls; }
    void scaled_image(qvCrdOf<double> const&, qvCrdOf<double> const&, qvCrdOf<double> const&, qvBitmapHeader const&,
                      qvColorMapEntry const*, unsigned char const*) override { ++calls; }
};
