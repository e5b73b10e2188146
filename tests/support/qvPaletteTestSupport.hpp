#pragma once
// Support of the palette tests: folders by path, a palette's saved bytes and
// loads from bytes, hex dumps, the records of the palette stream, cookies
// that count their deaths, and a recording receiver connected to a
// palette's publisher.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvString.hpp>
#include <orvane/core/qvVersion.hpp>

#include "qvNotificationProbe.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace palette_test {

inline const qvVersion v341{3, 4, 1};

inline qvFolder& folder(char const* path) {
    qvFolder* const found = qvFolder::folder_by_name(path);
    if (found == nullptr)
        ADD_FAILURE() << "no folder " << path;
    return *found;
}

inline std::string header() {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, v341, true);
    return buffer.str();
}

// The bytes a palette saves, after the stream header.
inline std::string saved(qvPalette const& palette) {
    std::stringbuf buffer;
    {
        qvOutputStream os(&buffer, v341, true);
        palette.save(os);
    }
    return buffer.str().substr(header().size());
}

// Loads `body` (a palette stream without the stream header).
inline void load(qvPalette& palette, std::string const& body) {
    std::stringbuf buffer(header() + body);
    qvInputStream is(&buffer);
    palette.load(is);
}

inline std::string hex(std::string const& bytes) {
    std::string out;
    char cell[4];
    for (unsigned char c : bytes) {
        std::snprintf(cell, sizeof cell, "%02X ", c);
        out += cell;
    }
    if (!out.empty())
        out.pop_back();
    return out;
}

inline std::string i32(std::int32_t value) {
    std::string out(4, '\0');
    std::memcpy(out.data(), &value, 4);
    return out;
}

inline std::string f64(double value) {
    std::string out(8, '\0');
    std::memcpy(out.data(), &value, 8);
    return out;
}

inline std::string str(char const* text) {
    const auto n = static_cast<std::int16_t>(std::strlen(text));
    std::string out(2, '\0');
    std::memcpy(out.data(), &n, 2);
    return out + text;
}

// The records of the palette stream.
inline std::string head(std::int32_t last, std::int32_t folders, std::int32_t classes) {
    return i32(last) + i32(folders) + i32(classes);
}
inline std::string class_record(std::int32_t type, char const* name) {
    return i32(0) + i32(0) + i32(type) + str(name);
}
inline std::string folder_record(std::int32_t f, std::int32_t type, char const* path) {
    return i32(0) + i32(f) + i32(type) + str(path);
}
inline std::string value_record(std::int32_t a, std::int32_t f, std::string const& value) {
    return i32(a) + i32(f) + value;
}
inline std::string end_record() { return i32(0) + i32(0) + i32(0); }

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

// The expression of the assertion f() fails, or "(no assertion)".
template <class F>
std::string assertion_text(F&& f) {
    try {
        f();
    } catch (qvAssertionError const& error) {
        return static_cast<char const*>(error);
    }
    return "(no assertion)";
}

struct CountedCookie : qvCookie {
    explicit CountedCookie(int& deaths_) : deaths(deaths_) {}
    ~CountedCookie() override { ++deaths; }
    int& deaths;
};

// A receiver of a palette's invalidations.
class PaletteListener {
public:
    explicit PaletteListener(qvPalette& palette) : receiver("r", log) {
        receiver.connect(palette.publisher());
    }
    void clear() {
        log.clear();
        receiver.items.clear();
        receiver.flags.clear();
    }
    qvNotificationLog log;
    qvRecordingReceiver<long> receiver;
};

inline double width_of(qvPalette const& palette, long handle) {
    auto const* value = static_cast<qvWrap<double> const*>(
        palette.property(handle, folder("pen/color_device/line_width")));
    return value != nullptr ? static_cast<double>(*value) : -1.0;
}

inline std::int32_t simple_of(qvPalette const& palette, long handle, char const* path) {
    auto const* value = static_cast<std::int32_t const*>(palette.property(handle, folder(path)));
    return value != nullptr ? *value : -1;
}

}  // namespace palette_test
