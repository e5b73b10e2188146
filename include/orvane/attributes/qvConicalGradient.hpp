#pragma once
// qvConicalGradient: the handle of a conical gradient. The geometry
// constructors make a new gradient (settings 0, identity transformation);
// the colour form adds the stops (0.0, start colour) and (1.0, end colour).

#include <orvane/attributes/qvConicalGradientDataAccess.hpp>
#include <orvane/attributes/qvGradientHandle.hpp>

class qvConicalGradient : public qvGradientHandle<qvConicalGradientDataAccess> {
public:
    using qvGradientHandle<qvConicalGradientDataAccess>::qvGradientHandle;
    qvConicalGradient() noexcept = default;

    qvConicalGradient(qvCrdOf<double> center, double angle);
    qvConicalGradient(qvCrdOf<double> center, qvRgbColor start_color, double angle,
                      qvRgbColor end_color);
};
