// qvGeneralPropertyClass: an opaque counted block of bytes per word (see
// qvGeneralPropertyClass.hpp for the block and stream form).

#include <orvane/attributes/qvGeneralPropertyClass.hpp>

#include "core/qvStreamFields.hpp"

#include <orvane/core/qvAssertionError.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t count_size = sizeof(std::int32_t);
// Bytes read before the buffer grows again: input decides how much memory a
// load takes, never the count it claims.
constexpr std::int32_t read_piece = 64 * 1024;

std::int32_t count_of(void const* block) noexcept {
    std::int32_t count;
    std::memcpy(&count, block, count_size);
    return count;
}

// A new heap block holding a copy of `size` bytes; freed by free_block.
unsigned char* copy_block(void const* bytes, std::size_t size) {
    auto* const block = new unsigned char[size];
    std::memcpy(block, bytes, size);
    return block;
}

void free_block(void* block) noexcept { delete[] static_cast<unsigned char*>(block); }

}  // namespace

void qvGeneralPropertyClass::create_object(long& word, void const* value) const {
    const std::int32_t count = count_of(value);
    QV_ASSERT(count >= 0);
    word = word_of(copy_block(value, count_size + static_cast<std::size_t>(count)));
}

void qvGeneralPropertyClass::destroy_object(long& word, qvPalette*) const {
    free_block(pointer_of(word));
    word = 0;
}

void qvGeneralPropertyClass::load_object(qvInputStream& is, long& word) const {
    const std::int32_t count = qvReadValue<std::int32_t>(is);
    if (count < 0)
        qvThrowInputStreamError(is, "Invalid count on input");
    std::vector<unsigned char> block(count_size);
    std::memcpy(block.data(), &count, count_size);
    for (std::int32_t left = count; left > 0;) {
        const std::int32_t piece = std::min(left, read_piece);
        const std::size_t at = block.size();
        block.resize(at + static_cast<std::size_t>(piece));
        qvReadExact(is, block.data() + at, piece);
        left -= piece;
    }
    word = word_of(copy_block(block.data(), block.size()));
}

void qvGeneralPropertyClass::save_object(qvOutputStream& os, long const& word) const {
    auto const* const block = static_cast<char const*>(pointer_of(word));
    os.putn(block, static_cast<int>(count_size));
    os.putn(block + count_size, count_of(block));
}

bool qvGeneralPropertyClass::equal_objects(void const* a, void const* b) const {
    QV_ASSERT_TEXT(a && b, "a && b");
    const std::int32_t count = count_of(a);
    if (count != count_of(b))
        return false;
    QV_ASSERT(count >= 0);
    return std::memcmp(a, b, count_size + static_cast<std::size_t>(count)) == 0;
}
