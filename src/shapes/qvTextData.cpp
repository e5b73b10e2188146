// The text data's copy operator (see qvTextData.hpp).

#include <orvane/shapes/qvTextData.hpp>

#include <cstring>

void qvTextData::copy_from(qvTextData const& source) {
    const std::int16_t n = source.length;
    char const* const from = n > 0 ? source.text() : nullptr;
    anchor = source.anchor;
    angle = source.angle;
    aperture = source.aperture;
    alignment = source.alignment;
    padding = 0;
    extent = source.extent;
    stretch = source.stretch;
    length = n;
    height = source.height;
    if (n <= 0) {
        text_offset = 0;
        return;
    }
    char* const to = qvSelfRelative::align8(reinterpret_cast<char*>(this) + sizeof(qvTextData));
    // The source bytes are read before any is written: source and
    // destination may be the same record.
    void const* const zero = std::memchr(from, 0, static_cast<std::size_t>(n));
    const std::size_t kept =
        zero != nullptr ? static_cast<std::size_t>(static_cast<char const*>(zero) - from) : static_cast<std::size_t>(n);
    std::memmove(to, from, kept);
    std::memset(to + kept, 0, static_cast<std::size_t>(n) - kept + 1);
    qvSelfRelative::point(text_offset, to);
}
