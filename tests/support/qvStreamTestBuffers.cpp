// Bodies of the stream test buffers.

#include "qvStreamTestBuffers.hpp"

#include <cstdlib>

namespace stream_test {

std::string bytes(char const* hex) {
    std::string out;
    std::istringstream in(hex);
    std::string token;
    while (in >> token) out += static_cast<char>(std::strtoul(token.c_str(), nullptr, 16));
    return out;
}

CountedStringBuf::CountedStringBuf(int* deletions, std::string const& text)
    : std::stringbuf(text), deletions_(deletions) {}

CountedStringBuf::~CountedStringBuf() { ++*deletions_; }

NonSeekableBuf::NonSeekableBuf(std::string text) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
}

LimitedBuf::~LimitedBuf() {
    if (deletions_) ++*deletions_;
}

LimitedBuf::int_type LimitedBuf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (written_.size() >= limit_) return traits_type::eof();
    written_ += traits_type::to_char_type(c);
    return c;
}

}  // namespace stream_test
