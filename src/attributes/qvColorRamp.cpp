// qvColorRamp: a linear ramp between two colours; see the header.

#include <orvane/attributes/qvColorRamp.hpp>

#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/core/qvError.hpp>

namespace {

// Sizes above 256 are left to the colour map's own check.
int checked_ramp_size(int n) {
    if (n < 2) qvRaise(qvErrorFrom<qvColorRamp>("Color ramp should have at least 2 colors"));
    return n;
}

// Computed in double, rounded to float, then taken to a byte.
unsigned char ramp_byte(float first, float second, int i, int n) {
    const double v = (static_cast<double>(first) - second) * i / (n - 1) + second;
    return qvColorFloatToByte(static_cast<float>(v));
}

}  // namespace

qvColorRamp::qvColorRamp(int n, qvRgbColor const& first, qvRgbColor const& second)
    : qvColorMap(checked_ramp_size(n)) {
    for (int i = 0; i < n; ++i) {
        const qvBitmapColor color(ramp_byte(first.red(), second.red(), i, n),
                                  ramp_byte(first.green(), second.green(), i, n),
                                  ramp_byte(first.blue(), second.blue(), i, n));
        data()[i] = qvColorMapEntry(color, static_cast<unsigned char>(i));
    }
}
