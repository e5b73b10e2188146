// qvRadialGradient: the constructors that make a new gradient.

#include <orvane/attributes/qvRadialGradient.hpp>

#include "attributes/qvRadialGradientImplementation.hpp"

qvRadialGradient::qvRadialGradient(qvCrdOf<double> center, double radius, qvCrdOf<double> focal)
    : qvGradientHandle(new qvRadialGradientImplementation(center, radius, focal)) {}

qvRadialGradient::qvRadialGradient(qvCrdOf<double> center, qvRgbColor focal_color, double radius,
                                   qvRgbColor end_color, qvCrdOf<double> focal)
    : qvGradientHandle(
          new qvRadialGradientImplementation(center, focal_color, radius, end_color, focal)) {}
