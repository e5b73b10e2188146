// qvLinearGradientIO: the linear prefix (start and end points) around the
// common gradient part.

#include <orvane/attributes/qvLinearGradientIO.hpp>

#include "attributes/qvGradientStreamForm.hpp"

#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/core/qvAssertionError.hpp>

using namespace qvGradientStreamForm;

void qvLinearGradientIO::save(qvOutputStream& os, qvLinearGradient const& gradient) {
    QV_ASSERT(gradient.get() != nullptr);
    save_point(os, gradient->start_point());
    save_point(os, gradient->end_point());
    save_common(os, *gradient);
}

void qvLinearGradientIO::load(qvInputStream& is, qvCustomBrush& brush) {
    const qvCrdOf<double> start = load_point(is);
    const qvCrdOf<double> end = load_point(is);
    qvLinearGradient gradient(start, end);
    load_common(is, *gradient);
    brush = gradient;
}
