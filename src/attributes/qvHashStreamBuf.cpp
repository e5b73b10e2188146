// qvHashStreamBuf: the rotate-and-xor hash of written bytes (see
// qvHashStreamBuf.hpp).

#include <orvane/attributes/qvHashStreamBuf.hpp>

qvHashStreamBuf::int_type qvHashStreamBuf::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        feed(static_cast<unsigned char>(traits_type::to_char_type(c)));
    return 0;
}

std::streamsize qvHashStreamBuf::xsputn(char const* bytes, std::streamsize n) {
    for (std::streamsize i = 0; i < n; ++i)
        feed(static_cast<unsigned char>(bytes[i]));
    return n;
}
