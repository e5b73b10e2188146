#pragma once
// qvRotation: counter-clockwise rotation about the origin (y growing
// upwards) by an angle in degrees: (c, -s, s, c, 0, 0), so (1, 0) turns
// toward (0, 1). Trigonometry comes from the C library and may differ by an
// ulp between platforms.

#include <orvane/geometry/qvTransformation.hpp>

class qvRotation : public qvTransformation {
public:
    explicit qvRotation(double degrees) noexcept;
};
