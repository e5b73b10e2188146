// qvConicalGradient: the constructors that make a new gradient.

#include <orvane/attributes/qvConicalGradient.hpp>

#include "attributes/qvConicalGradientImplementation.hpp"

qvConicalGradient::qvConicalGradient(qvCrdOf<double> center, double angle)
    : qvGradientHandle(new qvConicalGradientImplementation(center, angle)) {}

qvConicalGradient::qvConicalGradient(qvCrdOf<double> center, qvRgbColor start_color,
                                     double angle, qvRgbColor end_color)
    : qvGradientHandle(
          new qvConicalGradientImplementation(center, start_color, angle, end_color)) {}
