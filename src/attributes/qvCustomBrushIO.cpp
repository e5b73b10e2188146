// qvCustomBrushIO: dispatch on the fill's kind (see the header).

#include <orvane/attributes/qvCustomBrushIO.hpp>

#include "core/qvStreamFields.hpp"

#include <orvane/attributes/qvConicalGradient.hpp>
#include <orvane/attributes/qvConicalGradientIO.hpp>
#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/attributes/qvLinearGradientIO.hpp>
#include <orvane/attributes/qvRadialGradient.hpp>
#include <orvane/attributes/qvRadialGradientIO.hpp>
#include <orvane/core/qvAssertionError.hpp>

namespace {

//   kind word   meaning
enum Kind : long {
    no_gradient = -1,
    linear = 0,
    radial = 1,
    conical = 2,
};

}  // namespace

void qvCustomBrushIO::save(qvOutputStream& os, qvCustomBrush const& brush) {
    if (const qvLinearGradient gradient(brush); gradient) {
        qvWriteInt32(os, linear);
        qvLinearGradientIO::save(os, gradient);
    } else if (const qvRadialGradient gradient(brush); gradient) {
        qvWriteInt32(os, radial);
        qvRadialGradientIO::save(os, gradient);
    } else if (const qvConicalGradient gradient(brush); gradient) {
        qvWriteInt32(os, conical);
        qvConicalGradientIO::save(os, gradient);
    } else {
        qvWriteInt32(os, no_gradient);
    }
}

void qvCustomBrushIO::load(qvInputStream& is, qvCustomBrush& brush) {
    switch (qvReadInt32(is)) {
    case no_gradient:
        brush = qvCustomBrush();
        break;
    case linear:
        qvLinearGradientIO::load(is, brush);
        break;
    case radial:
        qvRadialGradientIO::load(is, brush);
        break;
    case conical:
        qvConicalGradientIO::load(is, brush);
        break;
    default:
        QV_ASSERT_TEXT(false, "false");
    }
}
