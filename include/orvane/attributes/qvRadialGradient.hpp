#pragma once
// qvRadialGradient: the handle of a radial gradient. The geometry
// constructors make a new gradient (settings 0, identity transformation);
// the colour form adds the stops (0.0, focal colour) and (1.0, end colour).

#include <orvane/attributes/qvGradientHandle.hpp>
#include <orvane/attributes/qvRadialGradientDataAccess.hpp>

class qvRadialGradient : public qvGradientHandle<qvRadialGradientDataAccess> {
public:
    using qvGradientHandle<qvRadialGradientDataAccess>::qvGradientHandle;
    qvRadialGradient() noexcept = default;

    qvRadialGradient(qvCrdOf<double> center, double radius, qvCrdOf<double> focal);
    qvRadialGradient(qvCrdOf<double> center, qvRgbColor focal_color, double radius,
                     qvRgbColor end_color, qvCrdOf<double> focal);
};
