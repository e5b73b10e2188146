#pragma once
// qvLinearGradient: the handle of a linear gradient. The geometry
// constructors make a new gradient (settings 0, identity transformation);
// the colour forms add the stops (0.0, start colour) and (1.0, end colour).

#include <orvane/attributes/qvGradientHandle.hpp>
#include <orvane/attributes/qvLinearGradientDataAccess.hpp>

class qvLinearGradient : public qvGradientHandle<qvLinearGradientDataAccess> {
public:
    using qvGradientHandle<qvLinearGradientDataAccess>::qvGradientHandle;
    qvLinearGradient() noexcept = default;

    qvLinearGradient(qvCrdOf<double> start, qvCrdOf<double> end);
    qvLinearGradient(qvCrdOf<double> start, qvRgbColor start_color, qvCrdOf<double> end,
                     qvRgbColor end_color);
};
