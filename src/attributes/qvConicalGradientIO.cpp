// qvConicalGradientIO: the conical prefix (centre, angle) around the common
// gradient part.

#include <orvane/attributes/qvConicalGradientIO.hpp>

#include "attributes/qvGradientStreamForm.hpp"

#include <orvane/attributes/qvConicalGradient.hpp>
#include <orvane/core/qvAssertionError.hpp>

using namespace qvGradientStreamForm;

void qvConicalGradientIO::save(qvOutputStream& os, qvConicalGradient const& gradient) {
    QV_ASSERT(gradient.get() != nullptr);
    save_point(os, gradient->center());
    save_double(os, gradient->angle());
    save_common(os, *gradient);
}

void qvConicalGradientIO::load(qvInputStream& is, qvCustomBrush& brush) {
    const qvCrdOf<double> center = load_point(is);
    const double angle = load_double(is);
    qvConicalGradient gradient(center, angle);
    load_common(is, *gradient);
    brush = gradient;
}
