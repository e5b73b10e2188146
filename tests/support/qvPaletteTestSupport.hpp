#pragma once
// Support of the palette tests: folders by path, a palette's saved bytes and
// loads from bytes (3.4.1 streams), the records of the palette stream,
// cookies that count their deaths, and a receiver of a palette's events.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/core/qvString.hpp>

#include "qvAttributeStreams.hpp"
#include "qvNotificationProbe.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace palette_test {

using attribute_test::assertion_text;
using attribute_test::v341;

inline qvFolder& folder(char const* path) {
    qvFolder* const found = qvFolder::folder_by_name(path);
    if (found == nullptr) ADD_FAILURE() << "no folder " << path;
    return *found;
}

inline std::string saved(qvPalette const& palette) {
    return attribute_test::written(v341, [&](qvOutputStream& os) { palette.save(os); });
}

inline void load(qvPalette& palette, std::string const& body) {
    attribute_test::Input in(v341, body);
    palette.load(in.stream());
}

inline std::string i32(std::int32_t value) { return attribute_test::le(value); }
inline std::string f64(double value) { return attribute_test::le(value); }
inline std::string str(char const* text) {
    return attribute_test::le(static_cast<std::int16_t>(std::strlen(text))) + text;
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
inline std::string end_record() { return std::string(12, '\0'); }

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

struct CountedCookie : qvCookie {
    explicit CountedCookie(int& deaths_) : deaths(deaths_) {}
    ~CountedCookie() override { ++deaths; }
    int& deaths;
};

class PaletteListener {
public:
    explicit PaletteListener(qvPalette& palette) : receiver("r", log) {
        receiver.connect(palette.publisher());
    }
    // The events in order: "all", or "handle/flag" for one attribute.
    std::string events() const {
        std::string out;
        std::size_t item = 0;
        for (std::string const& line : log) {
            out += out.empty() ? "" : " ";
            if (line == "r all") {
                out += "all";
            } else {
                out += std::to_string(receiver.items.at(item)) + "/" + std::to_string(receiver.flags.at(item));
                ++item;
            }
        }
        return out;
    }
    qvNotificationLog log;
    qvRecordingReceiver<long> receiver;
};

inline double width_of(qvPalette const& palette, long handle) {   // -1 when absent
    auto const* value =
        static_cast<qvWrap<double> const*>(palette.property(handle, folder("pen/color_device/line_width")));
    return value != nullptr ? static_cast<double>(*value) : -1.0;
}

inline std::int32_t simple_of(qvPalette const& palette, long handle, char const* path) {   // -1 when absent
    auto const* value = static_cast<std::int32_t const*>(palette.property(handle, folder(path)));
    return value != nullptr ? *value : -1;
}

}  // namespace palette_test
