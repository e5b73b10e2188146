// The colour serializers per stream version: see qvColorSerializers.hpp.

#include "attributes/qvColorSerializers.hpp"

#include "core/qvLibraryStaticsAnchor.hpp"
#include "core/qvStreamFields.hpp"

#include <array>
#include <cstring>

namespace {

// The tables live in the start-up statics: whoever streams a colour links
// them, from a static library too.
[[gnu::used]] constinit char const* const color_serializers_anchor = &qvLibraryStaticsAnchor;

constexpr qvVersion form_000{0};
constexpr qvVersion form_341{0x03040001};

qvRgbColorVersionBasedSerializer* loaded_rgb_table = nullptr;
qvGrayColorVersionBasedSerializer* loaded_gray_table = nullptr;

// N float32 fields read whole; a short read raises `short_message` and
// leaves nothing half-read behind in the caller's value.
template <int N>
std::array<float, N> read_floats(qvInputStream& is, char const* short_message) {
    char bytes[N * 4];
    if (is.getn(bytes, N * 4) != N * 4)
        qvThrowInputStreamError(is, short_message);
    std::array<float, N> fields;
    std::memcpy(fields.data(), bytes, sizeof bytes);
    return fields;
}

[[noreturn]] void raise_not_loaded() {
    qvRaise(qvErrorFrom<qvVersion>("Unknown stream version"));
}

}  // namespace

// ---------------------------------------------------------------------------
// The process-wide tables

qvRgbColorVersionBasedSerializer& qvRgbColorVersionBasedSerializer::instance() {
    if (loaded_rgb_table == nullptr)
        raise_not_loaded();
    return *loaded_rgb_table;
}

qvGrayColorVersionBasedSerializer& qvGrayColorVersionBasedSerializer::instance() {
    if (loaded_gray_table == nullptr)
        raise_not_loaded();
    return *loaded_gray_table;
}

qvColorSerializers::qvColorSerializers() noexcept {
    loaded_rgb_table = &rgb_table_;
    loaded_gray_table = &gray_table_;
}

qvColorSerializers::~qvColorSerializers() {
    if (loaded_gray_table == &gray_table_)
        loaded_gray_table = nullptr;
    if (loaded_rgb_table == &rgb_table_)
        loaded_rgb_table = nullptr;
}

// ---------------------------------------------------------------------------
// RGB

qvRgbColorSerializer000::qvRgbColorSerializer000(qvRgbColorVersionBasedSerializer& table) {
    table.append(form_000, this);
}

void qvRgbColorSerializer000::save(qvOutputStream& os, qvRgbColor const& color) const {
    qvWriteValue(os, color.red());
    qvWriteValue(os, color.green());
    qvWriteValue(os, color.blue());
}

void qvRgbColorSerializer000::load(qvInputStream& is, qvRgbColor& color) const {
    const auto f = read_floats<3>(is, "Invalid input stream");
    color = qvRgbColor(f[0], f[1], f[2]);
}

qvRgbColorSerializer341::qvRgbColorSerializer341(qvRgbColorVersionBasedSerializer& table) {
    table.append(form_341, this);
}

void qvRgbColorSerializer341::save(qvOutputStream& os, qvRgbColor const& color) const {
    qvWriteValue(os, color.red());
    qvWriteValue(os, color.green());
    qvWriteValue(os, color.blue());
    qvWriteValue(os, color.alpha());
}

void qvRgbColorSerializer341::load(qvInputStream& is, qvRgbColor& color) const {
    const auto f = read_floats<4>(is, "Incomplete data on input");
    color = qvRgbColor::unchecked(f[0], f[1], f[2], f[3]);
}

// ---------------------------------------------------------------------------
// Grey

qvGrayColorSerializer000::qvGrayColorSerializer000(qvGrayColorVersionBasedSerializer& table) {
    table.append(form_000, this);
}

void qvGrayColorSerializer000::save(qvOutputStream& os, qvGrayColor const& gray) const {
    qvWriteValue(os, gray.intensity());
}

void qvGrayColorSerializer000::load(qvInputStream& is, qvGrayColor& gray) const {
    const auto f = read_floats<1>(is, "Invalid input stream");
    gray = qvGrayColor(f[0]);
}

qvGrayColorSerializer341::qvGrayColorSerializer341(qvGrayColorVersionBasedSerializer& table) {
    table.append(form_341, this);
}

void qvGrayColorSerializer341::save(qvOutputStream& os, qvGrayColor const& gray) const {
    qvWriteValue(os, gray.intensity());
    qvWriteValue(os, gray.alpha());
}

void qvGrayColorSerializer341::load(qvInputStream& is, qvGrayColor& gray) const {
    const auto f = read_floats<2>(is, "Incomplete data on input");
    gray = qvGrayColor::unchecked(f[0], f[1]);
}
