// qvLinearGradient: the constructors that make a new gradient.

#include <orvane/attributes/qvLinearGradient.hpp>

#include "attributes/qvLinearGradientImplementation.hpp"

qvLinearGradient::qvLinearGradient(qvCrdOf<double> start, qvCrdOf<double> end)
    : qvGradientHandle(new qvLinearGradientImplementation(start, end)) {}

qvLinearGradient::qvLinearGradient(qvCrdOf<double> start, qvRgbColor start_color,
                                   qvCrdOf<double> end, qvRgbColor end_color)
    : qvGradientHandle(new qvLinearGradientImplementation(start, start_color, end, end_color)) {}
