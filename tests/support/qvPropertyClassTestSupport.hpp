#pragma once
// Streams for the property-class, folder and start-up tests: the bytes a
// save writes after the stream header, an input stream over given bytes,
// and the classes' save and load round trips.

#include <orvane/attributes/qvPropertyClass.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvVersion.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <sstream>
#include <string>

namespace property_test {

inline const qvVersion v000{0};
inline const qvVersion v341{3, 4, 1};

inline std::string header(qvVersion const& version) {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, version, true);
    return buffer.str();
}

// The bytes write(os) puts after the header.
template <class Write>
std::string written(Write&& write, qvVersion const& version = v341) {
    std::stringbuf buffer;
    {
        qvOutputStream os(&buffer, version, true);
        write(os);
    }
    return buffer.str().substr(header(version).size());
}

// An input stream of `version` over `body`.
class Input {
public:
    explicit Input(std::string const& body, qvVersion const& version = v341)
        : buffer_(header(version) + body), stream_(&buffer_) {}
    qvInputStream& stream() { return stream_; }
    std::size_t remaining() { return static_cast<std::size_t>(buffer_.in_avail()); }

private:
    std::stringbuf buffer_;
    qvInputStream stream_;
};

inline std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

inline std::string int32_bytes(std::int32_t value) {
    std::string out(4, '\0');
    std::memcpy(out.data(), &value, 4);
    return out;
}

inline std::string saved(qvPropertyClass const& type, long const& word,
                         qvVersion const& version = v341) {
    return written([&](qvOutputStream& os) { type.save_object(os, word); }, version);
}

// Loads one value; every byte of `body` must be consumed.
inline long loaded(qvPropertyClass const& type, std::string const& body,
                   qvVersion const& version = v341) {
    Input in(body, version);
    long word = 0;
    type.load_object(in.stream(), word);
    if (in.remaining() != 0)
        ADD_FAILURE() << in.remaining() << " bytes left unread";
    return word;
}

// f() must raise E with exactly this message.
template <class E, class F>
void expect_raises(F&& f, char const* message) {
    try {
        f();
        ADD_FAILURE() << "nothing raised, expected \"" << message << "\"";
    } catch (E const& error) {
        EXPECT_STREQ(static_cast<char const*>(error), message);
    }
}

}  // namespace property_test
