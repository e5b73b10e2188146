// Texts at work: compute_extent of 100,000 stand-alone texts in one font,
// measured by the default provider and by a host provider (each measure is
// one registry look-up and one provider call, nothing cached); text setters
// on in-scene texts of a memory scene, alternating two lengths so that every
// call resizes the record; and get_transformed_text_data under a rotation.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>
#include <orvane/shapes/qvSimpleRestrictedText.hpp>
#include <orvane/shapes/qvTextExtentClass.hpp>
#include <orvane/shapes/qvTextExtentInterface.hpp>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int text_count = 100'000;

// A host's provider: a width per byte from a table, as a font would give.
class TableProvider : public qvTextExtentClass, public qvTextExtentInterface {
public:
    TableProvider() : qvTextExtentClass(77) {
        for (int i = 0; i < 256; ++i)
            advance_[i] = 0.4 + (i % 7) * 0.1;
    }
    qvTextExtentInterface* extent_interface() override { return this; }
    qvTextExtent text_extent(char const* text, qvFontFamily, char const*, qvWrap<float> size, qvFontSlant,
                             qvFontWeight, qvFontTechnology) override {
        double width = 0;
        for (char const* p = text; *p != '\0'; ++p)
            width += advance_[static_cast<unsigned char>(*p)];
        const double s = static_cast<float>(size);
        return qvTextExtent(width * s, 0.8 * s, 0.2 * s, 0.1 * s);
    }
    qvFontSizeMode font_size_mode(qvFontSizeMode requested) override {
        return static_cast<qvFontSizeMode>(requested & QV_FSM_DESCENT);
    }

private:
    double advance_[256];
};

TableProvider host_provider;

// 100,000 stand-alone texts of 4 to 40 letters (fixed seed).
std::vector<qvSimpleRestrictedText> make_texts() {
    std::mt19937 rng(20240612);
    std::uniform_int_distribution<int> length(4, 40), letter('a', 'z');
    std::vector<qvSimpleRestrictedText> texts(text_count);
    std::string s;
    for (auto& t : texts) {
        s.assign(static_cast<std::size_t>(length(rng)), ' ');
        for (char& c : s)
            c = static_cast<char>(letter(rng));
        t->text(s.c_str());
    }
    return texts;
}

void measure_all(benchmark::State& state, long metric) {
    qvTextExtentClass::get_default_extent();
    const long before = qvTextExtent::current_metric();
    qvTextExtent::current_metric(metric);
    std::vector<qvSimpleRestrictedText> texts = make_texts();
    qvStandardPalette palette;
    qvAttributeProxy font(palette, 0);
    font.font_size(12.0f);
    double sum = 0;
    for (auto _ : state) {
        for (auto& t : texts)
            sum += t->compute_extent(font).width;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * text_count);
    qvTextExtent::current_metric(before);
}

void BM_ComputeExtent_DefaultProvider(benchmark::State& state) { measure_all(state, -4); }
BENCHMARK(BM_ComputeExtent_DefaultProvider)->Unit(benchmark::kMillisecond);

void BM_ComputeExtent_HostProvider(benchmark::State& state) { measure_all(state, host_provider.handle()); }
BENCHMARK(BM_ComputeExtent_HostProvider)->Unit(benchmark::kMillisecond);

// Text setters on 1,000 in-scene texts, each call a resize and a box update
// with one report pair (nobody listening).
void BM_TextSetters_InScene(benchmark::State& state) {
    qvStandardPalette palette;
    qvMemoryScene scene(&palette, false);
    std::vector<qvRestrictedText> texts;
    for (int i = 0; i < 1000; ++i)
        texts.emplace_back(scene, qvCrdOf<double>(i, i), "start", nullptr, nullptr);
    char const* const words[] = {"a short one", "a somewhat longer text than that"};
    int turn = 0;
    for (auto _ : state) {
        char const* const word = words[turn++ & 1];
        for (auto& t : texts)
            t->text(word);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(BM_TextSetters_InScene);

// A measured text turned 30 degrees and sheared, prepared for a device that
// scales by 3 and points its y axis down.
void BM_TransformedTextData_Rotated(benchmark::State& state) {
    qvSimpleRestrictedText t;
    t->text("prepared for a device");
    t->extent(qvExtent{120, 3, 9});
    t->angle(30);
    t->aperture(80);
    t->alignment(15);
    auto const& data = static_cast<qvShape<qvTextData> const*>(t->record())->data();
    const qvTransformation device = qvScaling(3, -3) * qvRotation(5);
    double sum = 0;
    for (auto _ : state) {
        const qvTransformedTextData out = data.get_transformed_text_data(device, 20.0, false);
        sum += out.width;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TransformedTextData_Rotated);

}  // namespace
