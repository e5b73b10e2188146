#pragma once
// qvRgbColor: a colour as four 32-bit floats red, green, blue, alpha.
//
// Keeps true: a constructed colour has red, green, blue (and alpha where the
// constructor takes it) in 0..1, or is the undefined colour with every given
// component -1; anything else is refused with a qvAssertionError naming the
// rule. Colours read unchecked from newer streams may hold any float.
//
// Stream form, chosen by the stream's version (little-endian):
//   version < 3.4.1   offset  size  meaning
//                          0     4  red   (float32)
//                          4     4  green (float32)
//                          8     4  blue  (float32); read back with alpha 1
//   version >= 3.4.1       0     4  red
//                          4     4  green
//                          8     4  blue
//                         12     4  alpha (float32)

#include <orvane/core/qvVersionBasedSerializer.hpp>

class qvGrayColor;
class qvInputStream;
class qvOutputStream;

class qvRgbColor {
public:
    qvRgbColor() noexcept = default;
    qvRgbColor(float r, float g, float b);
    qvRgbColor(float r, float g, float b, float a);
    qvRgbColor(double r, double g, double b);
    qvRgbColor(double r, double g, double b, double a);
    // Integers are taken as they are, not divided by 255: only 0, 1 and the
    // all -1 undefined colour pass.
    qvRgbColor(int r, int g, int b);
    qvRgbColor(int r, int g, int b, int a);
    explicit qvRgbColor(qvGrayColor const& gray) noexcept;

    float red() const noexcept { return red_; }
    float green() const noexcept { return green_; }
    float blue() const noexcept { return blue_; }
    float alpha() const noexcept { return alpha_; }

    bool operator==(qvRgbColor const& other) const noexcept;
    bool operator!=(qvRgbColor const& other) const noexcept { return !(*this == other); }

    // Alpha is not looked at: a colour is empty when one of red, green, blue
    // is below 0.
    bool is_empty() const noexcept;
    void make_empty() noexcept;

    // Builds a colour from stream fields as they are, without any check.
    static qvRgbColor unchecked(float r, float g, float b, float a) noexcept;

private:
    float red_ = 0.0f;
    float green_ = 0.0f;
    float blue_ = 0.0f;
    float alpha_ = 1.0f;
};

static_assert(sizeof(qvRgbColor) == 16, "four float32 components");

// The process-wide serializer table of RGB colours, keyed by stream version.
class qvRgbColorVersionBasedSerializer : public qvVersionBasedSerializerBase<qvRgbColor> {
public:
    static qvRgbColorVersionBasedSerializer& instance();
};

qvOutputStream& operator<<(qvOutputStream& os, qvRgbColor const& color);
// On failure the colour keeps its old value.
qvInputStream& operator>>(qvInputStream& is, qvRgbColor& color);
