// qvRadialGradientImplementation: see the header.

#include "attributes/qvRadialGradientImplementation.hpp"

qvRadialGradientImplementation::qvRadialGradientImplementation(qvCrdOf<double> center,
                                                               double radius,
                                                               qvCrdOf<double> focal)
    : center_(center), focal_(focal), radius_(radius) {}

qvRadialGradientImplementation::qvRadialGradientImplementation(qvCrdOf<double> center,
                                                               qvRgbColor focal_color,
                                                               double radius,
                                                               qvRgbColor end_color,
                                                               qvCrdOf<double> focal)
    : center_(center), focal_(focal), radius_(radius) {
    add_end_stops(focal_color, end_color);
}

void* qvRadialGradientImplementation::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvCustomBrushDataAccess, qvGradientDataAccess,
                             qvRadialGradientDataAccess>(this, info);
}
