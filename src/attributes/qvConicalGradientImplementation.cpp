// qvConicalGradientImplementation: see the header.

#include "attributes/qvConicalGradientImplementation.hpp"

qvConicalGradientImplementation::qvConicalGradientImplementation(qvCrdOf<double> center,
                                                                 double angle)
    : center_(center), angle_(angle) {}

qvConicalGradientImplementation::qvConicalGradientImplementation(qvCrdOf<double> center,
                                                                 qvRgbColor start_color,
                                                                 double angle,
                                                                 qvRgbColor end_color)
    : center_(center), angle_(angle) {
    add_end_stops(start_color, end_color);
}

void* qvConicalGradientImplementation::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvCustomBrushDataAccess, qvGradientDataAccess,
                             qvConicalGradientDataAccess>(this, info);
}
