#pragma once
// Support of the attribute tests: the bytes a value writes after the stream
// header of a chosen version, an input stream over that header and given
// bytes, a value's little-endian bytes, and the text of what a call raises.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvVersion.hpp>

#include <cstring>
#include <sstream>
#include <string>

namespace attribute_test {

inline const qvVersion v000{0};
inline const qvVersion v340{3, 4, 0};
inline const qvVersion v341{3, 4, 1};

inline std::string header(qvVersion const& version) {   // empty for version 0
    std::stringbuf buffer;
    qvOutputStream os(&buffer, version, true);
    return buffer.str();
}

// The bytes write(os) puts after the header.
template <class Write>
std::string written(qvVersion const& version, Write&& write) {
    std::stringbuf buffer;
    {
        qvOutputStream os(&buffer, version, true);
        write(os);
    }
    return buffer.str().substr(header(version).size());
}

// An input stream of `version` over `body`; remaining() counts unread body bytes.
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

template <class T>
std::string le(T value) {   // the machine is little-endian
    std::string out(sizeof value, '\0');
    std::memcpy(out.data(), &value, sizeof value);
    return out;
}

// The text of the E that call() raises, "(nothing raised)" or "(other) <text>".
template <class E, class Call>
std::string raised(Call&& call) {
    try {
        try {
            call();
        } catch (E const& error) {
            return static_cast<char const*>(error);
        }
    } catch (qvError const& error) {
        return std::string("(other) ") + static_cast<char const*>(error);
    }
    return "(nothing raised)";
}

template <class Call>
std::string assertion_text(Call&& call) {
    return raised<qvAssertionError>(call);
}

}  // namespace attribute_test
