// libFuzzer target of qvBitmapTransformation: fuzzed headers (storage no
// larger than the input), frames, coefficients, flags, masks and tables,
// driven through transform_extended (or transform with whole frames), and
// query_frame on the source frame. See bitmap_transform_input.hpp for the
// input's layout.
//
// Every input ends in a result or a qvError. The one assertion let pass is
// the colour map's "i < _size" (a pixel value beyond an identity map's
// colours), which the transformation documents. A request the transformation
// refuses with its own error must leave destination and mask unchanged: its
// checks come before any pixel is written.

#include "bitmap_transform_input.hpp"
#include "fuzz_support.hpp"

#include <orvane/attributes/qvRgbToIndex.hpp>
#include <orvane/rendering/qvBitmapTransformation.hpp>

#include <memory>
#include <optional>

namespace {

qvBitmapFrame read_frame(qvfuzz::ByteReader& in) {
    qvBitmapFrame f;   // as given, reversed edges included
    f.x1 = in.take<std::int16_t>();
    f.y1 = in.take<std::int16_t>();
    f.x2 = in.take<std::int16_t>();
    f.y2 = in.take<std::int16_t>();
    return f;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    qvfuzz::ByteReader in(data, size);
    const int flags = in.take<std::uint8_t>();
    double a[4];
    for (double& v : a) v = in.take<double>();
    qvfuzz::FuzzBitmap source, destination, mask;
    if (!source.read(in) || !destination.read(in) || !mask.read(in)) return 0;
    const qvBitmapFrame source_frame = read_frame(in), clipping = read_frame(in);
    const qvBitmapFrame destination_frame = read_frame(in), mask_frame = read_frame(in);
    std::optional<qvRgbToIndex> table;
    if (flags & 4) {
        const int n = in.take<std::uint8_t>();
        std::vector<qvColorMapEntry> entries(static_cast<std::size_t>(n));
        if (!in.take_bytes(entries.data(), 4 * entries.size())) return 0;
        table.emplace(qvColorMapReference(n, (flags & 8) != 0, entries.data()));
    }

    const qvBitmapTransformation t(qvTransformation(a[0], a[1], a[2], a[3], 0, 0), (flags & 1) != 0);
    qvfuzz::attempt([&] { t.query_frame(source_frame); });

    const std::string dst_before(destination.pixels.begin(), destination.pixels.end());
    const std::string mask_before(mask.pixels.begin(), mask.pixels.end());
    try {
        if (flags & 2)
            t.transform(source.view(), destination.view(), mask.view(), table ? &*table : nullptr);
        else
            t.transform_extended(source.view(), source_frame, clipping, destination.view(), destination_frame,
                                 mask.view(), mask_frame, table ? &*table : nullptr);
    } catch (qvErrorFrom<qvBitmapTransformation> const& refused) {
        if (std::string(destination.pixels.begin(), destination.pixels.end()) != dst_before ||
            std::string(mask.pixels.begin(), mask.pixels.end()) != mask_before)
            qvfuzz::finding(refused, "pixels written before a refusal");
    } catch (qvAssertionError const& failed) {
        if (std::string_view(failed) != "i < _size") qvfuzz::finding(failed, "assertion");
    } catch (qvError const&) {
    }
    return 0;
}
