// libFuzzer target of the GIF reader: any input ends in a bitmap, false
// (no such image) or a qvError; an assertion, crash, hang, leak or sanitizer
// report is a finding. The first image is read: the blocks after it are
// walked too. An image read must write as a GIF that reads back into the
// same pixels.
//
// Unlike the BMP reader, the GIF reader rightly makes a large image from a
// small file (rows the data never reaches stay zero), so inputs announcing
// more than max_fuzzed_pixels are left out: allocating them is no finding.

#include "fuzz_support.hpp"

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvGifFile.hpp>

namespace {

constexpr std::int64_t max_fuzzed_pixels = std::int64_t{1} << 20;

// A light walk over the blocks: true when any image descriptor found before
// the data run out announces a huge image.
bool announces_huge_image(std::uint8_t const* p, std::size_t size) {
    std::size_t at = 13;
    if (size < at) return false;
    if (p[10] & 0x80) at += 3u * (2u << (p[10] & 7));
    auto skip_sub_blocks = [&] {
        while (at < size && p[at] != 0) at += 1u + p[at];
        ++at;
    };
    while (at < size) {
        if (p[at] == 0x21) {
            at += 2;
            skip_sub_blocks();
        } else if (p[at] == 0x2C) {
            if (at + 10 > size) return false;
            const std::int64_t w = p[at + 5] | p[at + 6] << 8, h = p[at + 7] | p[at + 8] << 8;
            if (w * h > max_fuzzed_pixels) return true;
            const std::uint8_t packed = p[at + 9];
            at += 10;
            if (packed & 0x80) at += 3u * (2u << (packed & 7));
            at += 1;   // minimum code size
            skip_sub_blocks();
        } else {
            return false;
        }
    }
    return false;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    // A binary stream header (0xA9 ...) would be taken off the input and
    // shift every field the size check looks at.
    if (size > 0 && data[0] == 0xA9) return 0;
    if (announces_huge_image(data, size)) return 0;
    std::stringbuf buffer(qvfuzz::bytes_of(data, size));
    qvInputStream in(&buffer);
    qvBitmap bitmap;
    bool found = false;
    if (!qvfuzz::attempt([&] { found = qvLoadFromGif(in, bitmap, 1); }) || !found) return 0;
    const std::string file =
        qvfuzz::saved([&](qvOutputStream& out) { qvSaveToGif(out, bitmap, false, true); }, qvVersion());
    std::stringbuf again(file);
    qvInputStream reread(&again);
    qvBitmap copy;
    if (!qvfuzz::attempt([&] { found = qvLoadFromGif(reread, copy, 1); }) || !found) std::abort();
    qvfuzz::require_same_image(bitmap, copy);
    return 0;
}
