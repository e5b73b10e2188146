#pragma once
// Support of the attribute value tests: memory streams of a chosen version
// (the bytes a value writes after the stream header, and an input stream
// over a header of that version followed by given bytes) and the text of
// the assertion a call fails.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvVersion.hpp>

#include <memory>
#include <sstream>
#include <string>

namespace attribute_test {

inline constexpr std::size_t header_size = 26;
inline const qvVersion v000{0};
inline const qvVersion v340{3, 4, 0};
inline const qvVersion v341{3, 4, 1};

// The header that a stream of `version` starts with (none for version 0).
inline std::string header(qvVersion const& version) {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, version, true);
    return buffer.str();
}

// The bytes that write(os) puts after the header.
template <class Write>
std::string written(qvVersion const& version, Write&& write) {
    std::stringbuf buffer;
    {
        qvOutputStream os(&buffer, version, true);
        write(os);
    }
    return buffer.str().substr(header(version).size());
}

// An input stream of `version` over `body`; remaining() tells how many body
// bytes are still unread.
class Input {
public:
    Input(qvVersion const& version, std::string const& body)
        : buffer_(header(version) + body), stream_(&buffer_) {}
    qvInputStream& stream() { return stream_; }
    std::size_t remaining() { return static_cast<std::size_t>(buffer_.in_avail()); }

private:
    std::stringbuf buffer_;
    qvInputStream stream_;
};

// The expression of the assertion that call() fails, or "(no assertion)".
template <class Call>
std::string assertion_text(Call&& call) {
    try {
        call();
    } catch (qvAssertionError const& error) {
        return static_cast<char const*>(error);
    }
    return "(no assertion)";
}

}  // namespace attribute_test
