// libFuzzer target of the small attribute values: RGB colour, grey colour,
// line pattern and marker size. The first byte picks the value; the rest is
// a binary stream whose header (when there is one) sets the version, and so
// the colour form read. A value read must save in the stream's version and
// read back into the same bytes; a failed read leaves the value as it was.

#include "fuzz_support.hpp"

#include <orvane/attributes/qvGrayColor.hpp>
#include <orvane/attributes/qvLinePattern.hpp>
#include <orvane/attributes/qvMarkerSize.hpp>
#include <orvane/attributes/qvRgbColor.hpp>

namespace {

// The range checks of the colours built from the old forms.
const std::initializer_list<std::string_view> colour_checks = {
    "0 <= xr && xr <= 1 && 0 <= xg && xg <= 1 && 0 <= xb && xb <= 1 || xr == -1 && xg == -1 && xb == -1",
    "0 <= xi && xi <= 1 || xi == -1",
};

template <class T>
std::string saved(T const& value, qvVersion version) {
    return qvfuzz::saved([&](qvOutputStream& out) { out << value; }, version);
}

template <class T>
void round_trip(std::string const& input, T initial, char const* what) {
    std::stringbuf buffer(input);
    qvInputStream in(&buffer);
    const qvVersion version = in.version();
    T value = initial;
    std::string before;
    // A version no serializer serves ("Unknown stream version") is refused
    // before anything is read or written.
    if (!qvfuzz::attempt([&] { before = saved(value, version); })) return;
    if (!qvfuzz::attempt([&] { in >> value; }, colour_checks)) {
        qvfuzz::require_same(before, saved(value, version), what);
        return;
    }
    const std::string first = saved(value, version);
    qvfuzz::VersionedInput again(first, version);
    T copy = initial;
    if (!qvfuzz::attempt([&] { again.in >> copy; })) std::abort();
    qvfuzz::require_same(first, saved(copy, version), what);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string rest = qvfuzz::bytes_of(data + 1, size - 1);
    switch (data[0] & 3) {
        case 0:
            round_trip(rest, qvRgbColor(0.25f, 0.5f, 0.75f, 1.0f), "rgb colour");
            break;
        case 1:
            round_trip(rest, qvGrayColor(0.5f, 0.25f), "grey colour");
            break;
        case 2: {
            const double dashes[3] = {1.0, 2.5, 4.0};
            round_trip(rest, qvLinePattern(dashes, 3, 0.5), "line pattern");
            break;
        }
        default:
            round_trip(rest, qvMarkerSize(3.5), "marker size");
            break;
    }
    return 0;
}
