// libFuzzer target of the hit tests: the input is read as a run of records
// by the record reader; every record it accepts goes through the spot, box
// and polygon selectors (containment and touch, with and without the whole-
// area option) under a fixed transformation and a palette holding a few
// attributes. Each input ends in verdicts or a qvError; an assertion, crash
// or sanitizer report is a finding. The first bytes past the records, when
// there are any, pick the spot and the selection, so NaN and infinite
// coordinates are reached too.

#include "fuzz_support.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/interaction/qvBoxSelector.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>
#include <orvane/shapes/qvShapeRecords.hpp>
#include <orvane/shapes/qvShapeSerialization.hpp>

#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Selectors {
    qvStandardPalette palette;
    qvAttributeProxy wide{palette, 0}, filled{palette, 0}, marker{palette, 0};
    qvRestrictedTransformation t{1.5, -2.0, 10.0, 400.0};
    qvSpotSelectorObject spot{qvCrdOf<double>{20, 380}, nullptr};
    qvBoxSelectorObject box{qvMathRectOf<double>(0, 0, 300, 400), nullptr, false};
    std::vector<qvCrdOf<double>> polygon = {{0, 0}, {300, 50}, {150, 150}, {300, 400}, {0, 300}};
    qvPolygonSelectorObject star{5, polygon.data(), nullptr, false};
    Selectors() {
        wide.line_width(4.0);
        filled.fill_style(qvFillStyle{2});
        filled.fill_color(0.5f);
        marker.marker_style(qvMarkerStyle{4});
        marker.font_size(14.0f);
    }

    // Overrides from the bytes past the records, 8 bytes a double.
    void steer(std::string const& rest) {
        double v[4] = {20, 380, 5, 300};
        for (std::size_t i = 0; i < 4 && (i + 1) * 8 <= rest.size(); ++i) std::memcpy(&v[i], rest.data() + i * 8, 8);
        spot.setup({v[0], v[1]}, v[2]);
        box.setup(qvMathRectOf<double>(v[0], v[1], v[3], v[3]), false);
        polygon[2] = {v[0], v[1]};
        star.setup(5, polygon.data(), false);
    }

    void test(qvShapeBase const& record) {
        const qvSelector::Info info{&t, &palette};
        for (unsigned options : {0u, qvSelector::whole_area}) {
            spot.options(options);
            (void)spot.check_selection(&record, info);
        }
        for (bool touch : {false, true}) {
            box.setup(box.bbox(), touch);
            (void)box.check_selection(&record, info);
            star.setup(5, polygon.data(), touch);
            (void)star.check_selection(&record, info);
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    static Selectors selectors;
    std::stringbuf buffer(qvfuzz::bytes_of(data, size));
    qvInputStream in(&buffer);
    std::vector<std::unique_ptr<qvShapeBase>> records;
    for (int n = 0; n < 16 && in; ++n) {
        orvane::auto_ptr<qvShape<qvShapeData>> record;
        if (!qvfuzz::attempt([&] { record = qvCreateShapeFromSerialization(in); }))
            break;
        records.emplace_back(record.release());
    }
    // The input itself as one record, its size field the input's length:
    // the record check must keep every test inside it.
    if (size >= sizeof(qvShapeBase) && size <= 1 << 16) {
        std::unique_ptr<qvShapeBase> raw(qvNewShapeRecord(static_cast<int>(size)));
        std::memcpy(raw.get(), data, size);
        raw->size = static_cast<std::int32_t>(size);
        records.push_back(std::move(raw));
    }
    const std::streamoff read = buffer.pubseekoff(0, std::ios::cur, std::ios::in);
    const std::string all = buffer.str();
    selectors.steer(read >= 0 && static_cast<std::size_t>(read) <= all.size() ? all.substr(static_cast<std::size_t>(read))
                                                                               : std::string());
    for (auto const& record : records)
        qvfuzz::attempt([&] { selectors.test(*record); });
    return 0;
}
