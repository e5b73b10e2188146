// qvRgbColor: construction checks, comparison and the stream operators.
// The stream forms live in the serializers (qvColorSerializers.cpp); the
// operators only hand the value to the process-wide table.

#include <orvane/attributes/qvRgbColor.hpp>

#include "attributes/qvColorRules.hpp"

#include <orvane/attributes/qvGrayColor.hpp>

// ---------------------------------------------------------------------------
// Construction

qvRgbColor::qvRgbColor(float r, float g, float b) : red_(r), green_(g), blue_(b) {
    qvColorRules::check_rgb(r, g, b);
}

qvRgbColor::qvRgbColor(float r, float g, float b, float a)
    : red_(r), green_(g), blue_(b), alpha_(a) {
    qvColorRules::check_rgba(r, g, b, a);
}

qvRgbColor::qvRgbColor(double r, double g, double b)
    : red_(static_cast<float>(r)), green_(static_cast<float>(g)), blue_(static_cast<float>(b)) {
    qvColorRules::check_rgb(r, g, b);
}

qvRgbColor::qvRgbColor(double r, double g, double b, double a)
    : red_(static_cast<float>(r)),
      green_(static_cast<float>(g)),
      blue_(static_cast<float>(b)),
      alpha_(static_cast<float>(a)) {
    qvColorRules::check_rgba(r, g, b, a);
}

qvRgbColor::qvRgbColor(int r, int g, int b)
    : qvRgbColor(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)) {}

qvRgbColor::qvRgbColor(int r, int g, int b, int a)
    : qvRgbColor(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                 static_cast<float>(a)) {}

qvRgbColor::qvRgbColor(qvGrayColor const& gray) noexcept
    : red_(gray.intensity()), green_(gray.intensity()), blue_(gray.intensity()),
      alpha_(gray.alpha()) {}

qvRgbColor qvRgbColor::unchecked(float r, float g, float b, float a) noexcept {
    qvRgbColor color;
    color.red_ = r;
    color.green_ = g;
    color.blue_ = b;
    color.alpha_ = a;
    return color;
}

// ---------------------------------------------------------------------------
// Queries

bool qvRgbColor::operator==(qvRgbColor const& other) const noexcept {
    return red_ == other.red_ && green_ == other.green_ && blue_ == other.blue_ &&
           alpha_ == other.alpha_;
}

bool qvRgbColor::is_empty() const noexcept { return red_ < 0 || green_ < 0 || blue_ < 0; }

void qvRgbColor::make_empty() noexcept { *this = unchecked(-1, -1, -1, -1); }

// ---------------------------------------------------------------------------
// Streams

qvOutputStream& operator<<(qvOutputStream& os, qvRgbColor const& color) {
    qvRgbColorVersionBasedSerializer::instance().save(os, color);
    return os;
}

qvInputStream& operator>>(qvInputStream& is, qvRgbColor& color) {
    qvRgbColor read;
    qvRgbColorVersionBasedSerializer::instance().load(is, read);
    color = read;
    return is;
}
