#pragma once
// qvAperture: the shear that makes the image of the y axis stand at `angle`
// degrees from the x axis: the identity except m1 = cos(a)/sin(a). Exactly
// the identity at 90 degrees and wherever sin(a) is 0.
//
// qvApertureCos: the cosine of the angle between the images of the x and y
// axes under a transformation. A transformation that collapses an axis has a
// zero denominator; the result is then IEEE NaN or infinity, unguarded.

#include <orvane/geometry/qvTransformation.hpp>

class qvAperture : public qvTransformation {
public:
    explicit qvAperture(double degrees) noexcept;
};

double qvApertureCos(qvTransformation const& t) noexcept;
