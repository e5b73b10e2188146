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

UnbufferedSeekableBuf::int_type UnbufferedSeekableBuf::underflow() {
    return next_ < text_.size() ? traits_type::to_int_type(text_[next_]) : traits_type::eof();
}

UnbufferedSeekableBuf::int_type UnbufferedSeekableBuf::uflow() {
    const int_type c = underflow();
    if (!traits_type::eq_int_type(c, traits_type::eof())) ++next_;
    return c;
}

UnbufferedSeekableBuf::pos_type UnbufferedSeekableBuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                               std::ios_base::openmode) {
    const off_type base = dir == std::ios_base::beg   ? 0
                          : dir == std::ios_base::cur ? static_cast<off_type>(next_)
                                                      : static_cast<off_type>(text_.size());
    return seekpos(pos_type(base + off), std::ios_base::in);
}

UnbufferedSeekableBuf::pos_type UnbufferedSeekableBuf::seekpos(pos_type pos, std::ios_base::openmode) {
    const off_type at = pos;
    if (at < 0 || at > static_cast<off_type>(text_.size())) return pos_type(off_type(-1));
    next_ = static_cast<std::size_t>(at);
    return pos;
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
