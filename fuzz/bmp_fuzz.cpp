// libFuzzer target of the BMP reader: any input ends in a bitmap or a
// qvError; an assertion, crash, leak or sanitizer report is a finding.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace {

// Images the reader rightly accepts can announce up to 2 GiB of pixels;
// allocating that is no finding, only slow, so such headers are left out.
constexpr std::int64_t max_fuzzed_pixels = std::int64_t{1} << 24;

bool announces_huge_image(std::uint8_t const* data, std::size_t size) {
    if (size < 26) return false;
    std::int32_t width, height;
    std::memcpy(&width, data + 18, 4);
    std::memcpy(&height, data + 22, 4);
    const std::int64_t w = width < 0 ? -std::int64_t{width} : width;
    const std::int64_t h = height < 0 ? -std::int64_t{height} : height;
    return w > max_fuzzed_pixels || h > max_fuzzed_pixels || w * h > max_fuzzed_pixels;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    // A binary stream header (0xA9 ...) would be taken off the input and
    // shift every field the size check looks at.
    if (size > 0 && data[0] == 0xA9) return 0;
    if (announces_huge_image(data, size)) return 0;
    std::stringbuf buffer(std::string(reinterpret_cast<char const*>(data), size));
    qvInputStream in(&buffer);
    qvBitmap bitmap;
    try {
        qvLoadFromBmp(in, bitmap);
    } catch (qvAssertionError const&) {
        std::abort();
    } catch (qvError const&) {
    }
    return 0;
}
