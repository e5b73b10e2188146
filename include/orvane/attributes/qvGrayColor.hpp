#pragma once
// qvGrayColor: a grey as two 32-bit floats intensity and alpha.
//
// Keeps true: a checked grey has intensity (and alpha where given) in 0..1,
// or is undefined with every given component -1. The grey of an RGB colour is
// 0.3 red + 0.59 green + 0.11 blue computed in double, unchecked.
//
// Stream form, chosen by the stream's version (little-endian):
//   version < 3.4.1   offset  size  meaning
//                          0     4  intensity (float32); read back with alpha 1
//   version >= 3.4.1       0     4  intensity
//                          4     4  alpha (float32)

#include <orvane/core/qvVersionBasedSerializer.hpp>

class qvRgbColor;
class qvInputStream;
class qvOutputStream;

class qvGrayColor {
public:
    qvGrayColor() noexcept = default;
    qvGrayColor(float intensity);
    qvGrayColor(float intensity, float alpha);
    explicit qvGrayColor(qvRgbColor const& color) noexcept;

    float intensity() const noexcept { return intensity_; }
    operator float() const noexcept { return intensity_; }
    float alpha() const noexcept { return alpha_; }

    bool operator==(qvGrayColor const& other) const noexcept;
    bool operator!=(qvGrayColor const& other) const noexcept { return !(*this == other); }

    // Empty only when both the intensity and the alpha are below 0.
    bool is_empty() const noexcept;
    void make_empty() noexcept;

    // Builds a grey from stream fields as they are, without any check.
    static qvGrayColor unchecked(float intensity, float alpha) noexcept;

private:
    float intensity_ = 0.0f;
    float alpha_ = 1.0f;
};

static_assert(sizeof(qvGrayColor) == 8, "two float32 components");

// The process-wide serializer table of greys, keyed by stream version.
class qvGrayColorVersionBasedSerializer : public qvVersionBasedSerializerBase<qvGrayColor> {
public:
    static qvGrayColorVersionBasedSerializer& instance();
};

qvOutputStream& operator<<(qvOutputStream& os, qvGrayColor const& gray);
// On failure the grey keeps its old value.
qvInputStream& operator>>(qvInputStream& is, qvGrayColor& gray);
