// The hash stream: the rotate-and-xor hash of what a value writes.

#include <orvane/attributes/qvHashStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <gtest/gtest.h>

namespace {

unsigned long hash_of(char const* bytes, int n, unsigned long seed = qvHashStreamBuf::default_seed) {
    qvHashStream stream(seed, false);
    stream.putn(bytes, n);
    return stream.hash();
}

}  // namespace

TEST(qvHashStream, No_bytes_hash_to_the_seed) {
    EXPECT_EQ(qvHashStream().hash(), 0xE1D2B478UL);
    EXPECT_EQ(hash_of("", 0, 0x1234), 0x1234UL);
}

TEST(qvHashStream, Abc_hashes_to_the_published_value) { EXPECT_EQ(hash_of("abc", 3), 0x5A3DF8CAUL); }

TEST(qvHashStream, Bytes_count_as_0_to_255_and_the_rotation_stays_in_32_bits) {
    // 0xFF is fed as 255, not as a negative char spreading into high bits.
    const unsigned long h = hash_of("\xFF", 1, 0x80000000UL);
    EXPECT_EQ(h, (0x00000010UL ^ 0xFFUL));
    qvHashStream one_by_one;
    for (char c : {'a', 'b', 'c'})
        one_by_one.put(c);
    EXPECT_EQ(one_by_one.hash(), 0x5A3DF8CAUL);
}

TEST(qvHashStream, Writes_no_header_and_has_version_3_4_1) {
    qvHashStream stream;
    EXPECT_EQ(stream.hash(), 0xE1D2B478UL);
    EXPECT_EQ(stream.version().version_value(), 0x03040001);
}
