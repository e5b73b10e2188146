// qvRadialGradientIO: the radial prefix (centre, focal point, radius)
// around the common gradient part.

#include <orvane/attributes/qvRadialGradientIO.hpp>

#include "attributes/qvGradientStreamForm.hpp"

#include <orvane/attributes/qvRadialGradient.hpp>
#include <orvane/core/qvAssertionError.hpp>

using namespace qvGradientStreamForm;

void qvRadialGradientIO::save(qvOutputStream& os, qvRadialGradient const& gradient) {
    QV_ASSERT(gradient.get() != nullptr);
    save_point(os, gradient->center());
    save_point(os, gradient->focal_point());
    save_double(os, gradient->radius());
    save_common(os, *gradient);
}

void qvRadialGradientIO::load(qvInputStream& is, qvCustomBrush& brush) {
    const qvCrdOf<double> center = load_point(is);
    const qvCrdOf<double> focal = load_point(is);
    const double radius = load_double(is);
    qvRadialGradient gradient(center, radius, focal);
    load_common(is, *gradient);
    brush = gradient;
}
