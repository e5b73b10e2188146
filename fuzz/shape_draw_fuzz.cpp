// libFuzzer target of drawing a record: any bytes as one record (size
// field set to the input's length) drawn through a dump driver, with a
// counting sink and a palette holding a few attributes, then drawn again
// through a rendering helper in front of the same port. Drawing refuses
// what the record check refuses and reads nothing outside the record; the
// helper may also raise "Attempt to render a malformed shape" (kind 0, or
// a refused flavour record); a crash, an assertion or a sanitizer report
// is a finding.

#include "fuzz_support.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/views/qvRenderingHelper.hpp>

#include "qvCountingDumpUser.hpp"
#include "shapes/qvShapeRecordCheck.hpp"

namespace {

// Touches every point, tag and text byte it is handed, so a read outside
// the record shows under the address sanitizer.
class CountingSink : public qvCountingDumpUser {
public:
    double sum = 0;
    void polymarker(qvCrdOf<double> const* p, long n) override { touch(p, n); }
    void font_attributes(long, char const* name, long, long) override { text(name); }
    void restricted_text(char const* t, qvCrdOf<double> const&, double, unsigned) override { text(t); }
    void scaled_text(char const* t, qvCrdOf<double> const&, double, double, double, unsigned) override { text(t); }
    void polyline(qvCrdOf<double> const* p, long n) override { touch(p, n); }
    void polygon(qvCrdOf<double> const* p, long n) override { touch(p, n); }
    void bezier(qvCrdOf<double> const* p, qvPointTag const* tags, long n) override {
        touch(p, n);
        for (long i = 0; i < n; ++i) sum += static_cast<double>(tags[i]);
    }
    void restricted_image(qvCrdOf<double> const&, unsigned, qvBitmapHeader const& h, qvColorMapEntry const* c,
                          unsigned char const* px) override { image(h, c, px); }
    void scaled_image(qvCrdOf<double> const&, qvCrdOf<double> const&, qvCrdOf<double> const&,
                      qvBitmapHeader const& h, qvColorMapEntry const* c, unsigned char const* px) override {
        image(h, c, px);
    }

private:
    void touch(qvCrdOf<double> const* p, long n) {
        ++calls;
        if ((p == nullptr) != (n <= 0)) std::abort();
        for (long i = 0; i < n; ++i) sum += p[i].x + p[i].y;
    }
    void text(char const* t) {
        ++calls;
        while (*t != '\0') sum += *t++;
    }
    void image(qvBitmapHeader const& h, qvColorMapEntry const* c, unsigned char const* px) {
        ++calls;
        if (c != nullptr) for (int i = 0; i < h.color_count; ++i) sum += c[i].red();
        if (px != nullptr) sum += px[0];
    }
};

struct Drawing {
    CountingSink sink;
    qvStandardPalette palette;
    qvAttributeProxy first{palette, 0}, second{palette, 0};
    qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&sink, 0, 0, 640, 480);
    qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
    qvRenderingHelper helper{port, nullptr};
    Drawing() {
        first.line_width(2.0);
        second.font_size(12.0f);
        port.palette(&palette);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    static Drawing drawing;
    std::unique_ptr<qvShapeBase> record = qvfuzz::record_of(data, size);
    if (!record) return 0;
    const long before = drawing.sink.calls;
    bool drawn = false;
    qvfuzz::attempt([&] { drawn = drawing.port.draw_shape(*record); });
    if (!qvShapeRecordValid(*record) && (drawn || drawing.sink.calls != before)) {
        std::fprintf(stderr, "finding: a record the check refuses reached the sink\n");
        std::abort();
    }
    const long before_helper = drawing.sink.calls;
    bool helped = false;
    qvfuzz::attempt([&] { helped = drawing.helper.draw_shape(*record); });
    if ((record->kind == 0 || !qvShapeRecordValid(*record)) && (helped || drawing.sink.calls != before_helper)) {
        std::fprintf(stderr, "finding: the helper passed on a record it must stop\n");
        std::abort();
    }
    return 0;
}
