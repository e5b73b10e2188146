// libFuzzer target of the colour map and bitmap loads (their stream forms,
// not the BMP or GIF files). The first byte picks the loader. A loaded value
// must save and load back into the same bytes; a failed load leaves the
// target as it was (checked by its saved bytes).

#include "fuzz_support.hpp"

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/attributes/qvColorRamp.hpp>
#include <orvane/attributes/qvRgbColor.hpp>

namespace {

template <class T>
std::string saved(T const& value) {
    return qvfuzz::saved([&](qvOutputStream& out) { value.save(out); }, qvVersion());
}

template <class T>
void round_trip(std::string const& input, T& target, char const* what) {
    const std::string before = saved(target);
    std::stringbuf buffer(input);
    qvInputStream in(&buffer);
    if (!qvfuzz::attempt([&] { target.load(in); })) {
        qvfuzz::require_same(before, saved(target), what);
        return;
    }
    const std::string first = saved(target);
    std::stringbuf again(first);
    qvInputStream reread(&again);
    if (!qvfuzz::attempt([&] { target.load(reread); })) std::abort();
    qvfuzz::require_same(first, saved(target), what);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string rest = qvfuzz::bytes_of(data + 1, size - 1);
    if (data[0] & 1) {
        qvBitmap bitmap(qvBitmapLayout(qvIndexedBitmap), 3, 2);
        bitmap.colormap(qvColorRamp(4, qvRgbColor(1.0f, 1.0f, 1.0f), qvRgbColor(0.0f, 0.0f, 0.0f)));
        round_trip(rest, bitmap, "bitmap");
    } else {
        qvColorMap map = qvColorRamp(5, qvRgbColor(1.0f, 0.5f, 0.0f), qvRgbColor(0.0f, 0.0f, 1.0f));
        round_trip(rest, map, "colour map");
    }
    return 0;
}
