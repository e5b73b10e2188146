// libFuzzer target of the palette loads: the standard palette and the
// matching palette over it (the first byte picks one). The stream's header,
// when there is one, sets the version the colour values are read in. Out-
// of-range handles fail their documented assertions, an unknown folder path
// fails "fldr", values fail their own documented checks (colour ranges, a
// custom brush's "false"); everything else is success or a qvError. A
// loaded palette must save and load back into the same bytes; a failed load
// leaves the palette as it was.
//
// A load may give a registered folder that has no class yet the class the
// stream names: that process-wide change outlives the input, as it would in
// an application reading the file.

#include "fuzz_support.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvWrap.hpp>

#include <memory>

namespace {

const std::initializer_list<std::string_view> documented = {
    "a_handle >=0 && a_handle <= a_max",
    "f_handle >=0 && f_handle < f_max",
    "p_handle >=0 && p_handle < p_max",
    "fldr",
    "false",
    "0 <= xr && xr <= 1 && 0 <= xg && xg <= 1 && 0 <= xb && xb <= 1 || xr == -1 && xg == -1 && xb == -1",
    "0 <= xi && xi <= 1 || xi == -1",
};

std::unique_ptr<qvPalette> make_palette(bool matching) {
    if (matching) return std::make_unique<qvMatchingPalette>();
    return std::make_unique<qvStandardPalette>();
}

// Two attributes, one shared, with a colour and a line width.
void fill(qvPalette& palette) {
    qvFolder const& color = *qvFolder::folder_by_name("pen/color_device/color");
    qvFolder const& width = *qvFolder::folder_by_name("pen/color_device/line_width");
    const qvRgbColor red(1.0f, 0.0f, 0.0f);
    const qvWrap<double> two{2.0};
    long a = palette.alloc(false);
    a = palette.property(a, color, &red, false);
    long b = palette.alloc(true);
    b = palette.property(b, width, &two, true);
}

std::string saved(qvPalette const& palette, qvVersion version) {
    return qvfuzz::saved([&](qvOutputStream& out) { palette.save(out); }, version);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size == 0) return 0;
    const bool matching = data[0] & 1;
    std::stringbuf buffer(qvfuzz::bytes_of(data + 1, size - 1));
    qvInputStream in(&buffer);
    const qvVersion version = in.version();
    std::unique_ptr<qvPalette> palette = make_palette(matching);
    fill(*palette);
    std::string before;
    if (!qvfuzz::attempt([&] { before = saved(*palette, version); })) return 0;   // no serializer for it
    if (!qvfuzz::attempt([&] { palette->load(in); }, documented)) {
        qvfuzz::require_same(before, saved(*palette, version), "failed palette load");
        return 0;
    }
    const std::string first = saved(*palette, version);
    qvfuzz::VersionedInput again(first, version);
    std::unique_ptr<qvPalette> copy = make_palette(matching);
    if (!qvfuzz::attempt([&] { copy->load(again.in); })) std::abort();
    qvfuzz::require_same(first, saved(*copy, version), "palette");
    return 0;
}
