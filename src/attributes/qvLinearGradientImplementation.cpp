// qvLinearGradientImplementation: see the header.

#include "attributes/qvLinearGradientImplementation.hpp"

qvLinearGradientImplementation::qvLinearGradientImplementation(qvCrdOf<double> start,
                                                               qvCrdOf<double> end)
    : start_(start), end_(end) {}

qvLinearGradientImplementation::qvLinearGradientImplementation(qvCrdOf<double> start,
                                                               qvRgbColor start_color,
                                                               qvCrdOf<double> end,
                                                               qvRgbColor end_color)
    : start_(start), end_(end) {
    add_end_stops(start_color, end_color);
}

void* qvLinearGradientImplementation::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvCustomBrushDataAccess, qvGradientDataAccess,
                             qvLinearGradientDataAccess>(this, info);
}
