// libFuzzer target of the custom brush and gradient loads: the brush form
// with its version word, the kind word and body alone, and each gradient's
// own form. The first byte picks the loader. A wrong version or kind fails
// the documented assertion "false". A loaded brush must save and load back
// into the same bytes; a failed load leaves the brush as it was.

#include "fuzz_support.hpp"

#include <orvane/attributes/qvConicalGradientIO.hpp>
#include <orvane/attributes/qvCustomBrush.hpp>
#include <orvane/attributes/qvCustomBrushIO.hpp>
#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/attributes/qvLinearGradientIO.hpp>
#include <orvane/attributes/qvRadialGradientIO.hpp>
#include <orvane/attributes/qvRgbColor.hpp>

namespace {

std::string saved(qvCustomBrush const& brush) {
    return qvfuzz::saved([&](qvOutputStream& out) { brush.save(out); }, qvVersion::default_version());
}

// The brush every input starts from: a linear gradient with three stops.
qvCustomBrush initial_brush() {
    qvLinearGradient gradient(qvCrdOf<double>(0, 0), qvRgbColor(1.0f, 0.0f, 0.0f), qvCrdOf<double>(10, 5),
                              qvRgbColor(0.0f, 0.0f, 1.0f));
    gradient->add_stop(0.5, qvRgbColor(0.0f, 1.0f, 0.0f, 0.5f));
    return gradient;
}

template <class Load>
void round_trip(std::string const& input, Load&& load) {
    qvCustomBrush brush = initial_brush();
    const std::string before = saved(brush);
    qvfuzz::VersionedInput source(input, qvVersion::default_version());
    if (!qvfuzz::attempt([&] { load(source.in, brush); }, {"false"})) {
        qvfuzz::require_same(before, saved(brush), "failed brush load");
        return;
    }
    const std::string first = saved(brush);
    qvfuzz::VersionedInput again(first, qvVersion::default_version());
    qvCustomBrush copy;
    if (!qvfuzz::attempt([&] { copy.load(again.in); })) std::abort();
    qvfuzz::require_same(first, saved(copy), "brush");
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string rest = qvfuzz::bytes_of(data + 1, size - 1);
    switch (data[0] % 5) {
        case 0:
            round_trip(rest, [](qvInputStream& in, qvCustomBrush& brush) { brush.load(in); });
            break;
        case 1:
            round_trip(rest,
                       [](qvInputStream& in, qvCustomBrush& brush) { qvCustomBrushIO::load(in, brush); });
            break;
        case 2:
            round_trip(rest,
                       [](qvInputStream& in, qvCustomBrush& brush) { qvLinearGradientIO::load(in, brush); });
            break;
        case 3:
            round_trip(rest,
                       [](qvInputStream& in, qvCustomBrush& brush) { qvRadialGradientIO::load(in, brush); });
            break;
        default:
            round_trip(rest,
                       [](qvInputStream& in, qvCustomBrush& brush) { qvConicalGradientIO::load(in, brush); });
            break;
    }
    return 0;
}
