// The BMP reader allocates no more than its input holds: a header that
// announces a huge image over a few bytes of pixels fails on the short data
// without first making the announced bitmap. (Found by bmp_fuzz: a 60-byte
// file announcing 40000 x 40000 pixels made the reader allocate and zero
// 1.6 GB before it noticed the missing rows.)
//

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/core/qvInputStream.hpp>

#include <gtest/gtest.h>

#include "qvAllocationProbe.hpp"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <sstream>
#include <string>


namespace {

void put32(std::string& f, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<char>(v >> (8 * i));
}

// An 8-bit grey file header (256-entry table) announcing width x height,
// followed by `pixel_bytes` bytes of pixels.
std::string announced_file(std::int32_t width, std::int32_t height, int bits, std::size_t pixel_bytes) {
    const int colors = bits <= 8 ? 1 << bits : 0;
    std::string f(54 + 4 * colors, '\0');
    f[0] = 'B';
    f[1] = 'M';
    put32(f, 10, static_cast<std::uint32_t>(f.size()));
    put32(f, 14, 40);
    put32(f, 18, static_cast<std::uint32_t>(width));
    put32(f, 22, static_cast<std::uint32_t>(height));
    f[26] = 1;
    f[28] = static_cast<char>(bits);
    return f + std::string(pixel_bytes, '\x55');
}

std::string load_error(std::string const& file, qvBitmap& target) {
    std::stringbuf buffer(file);
    qvInputStream in(&buffer);
    qv_allocation_probe::reset();
    try {
        qvLoadFromBmp(in, target);
    } catch (qvError const& error) {
        return static_cast<char const*>(error);
    }
    return "(nothing raised)";
}

constexpr std::size_t small = std::size_t{8} << 20;   // far below any announced image

TEST(qvBmpFileAllocation, Huge_announced_image_over_short_data_fails_without_allocating_it) {
    qvBitmap target;
    EXPECT_EQ(load_error(announced_file(40000, 40000, 8, 1024), target), "Incomplete bitmap on input");
    EXPECT_LT(qv_allocation_probe::largest_request, small);
    EXPECT_EQ(target.width(), 0);
}

TEST(qvBmpFileAllocation, Huge_top_down_image_of_converted_rows_fails_the_same_way) {
    qvBitmap target;
    EXPECT_EQ(load_error(announced_file(20000, -20000, 24, 4096), target), "Incomplete data on input");
    EXPECT_LT(qv_allocation_probe::largest_request, small);
}

TEST(qvBmpFileAllocation, Image_whose_rows_are_all_there_still_loads) {
    // 3 x 2 at 24 bits: rows of 9 bytes padded to 12, stored bottom-up.
    std::string file = announced_file(3, 2, 24, 0);
    file += std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\0\0\0", 12);   // bottom
    file += std::string("\x11\x12\x13\x14\x15\x16\x17\x18\x19\0\0\0", 12);   // top
    qvBitmap target;
    EXPECT_EQ(load_error(file, target), "(nothing raised)");
    ASSERT_EQ(target.width(), 3);
    EXPECT_EQ(target.scan_line(0)[0], 0x11);   // the top row came last
    EXPECT_EQ(target.scan_line(1)[8], 0x07);   // third pixel's blue
}

}   // namespace
