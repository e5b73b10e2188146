// The shared fields of the gradient stream forms: see qvGradientStreamForm.hpp.

#include "attributes/qvGradientStreamForm.hpp"

#include "core/qvStreamFields.hpp"

#include <array>

namespace qvGradientStreamForm {

void save_point(qvOutputStream& os, qvCrdOf<double> const& point) {
    qvWriteValue(os, point.x);
    qvWriteValue(os, point.y);
}

qvCrdOf<double> load_point(qvInputStream& is) {
    const auto xy = qvReadValue<std::array<double, 2>>(is);
    return {xy[0], xy[1]};
}

void save_double(qvOutputStream& os, double value) { qvWriteValue(os, value); }

double load_double(qvInputStream& is) { return qvReadValue<double>(is); }

namespace {

void save_transformation(qvOutputStream& os, qvTransformation const& t) {
    for (double m : {t.m0(), t.m1(), t.m2(), t.m3(), t.m4(), t.m5()})
        qvWriteValue(os, m);
}

qvTransformation load_transformation(qvInputStream& is) {
    const auto m = qvReadValue<std::array<double, 6>>(is);
    return {m[0], m[1], m[2], m[3], m[4], m[5]};
}

static_assert(sizeof(std::array<double, 6>) == 48, "the transformation is six float64");

}  // namespace

void save_common(qvOutputStream& os, qvGradientDataAccess const& gradient) {
    qvWriteInt32(os, gradient.setting_a());
    qvWriteInt32(os, gradient.setting_b());
    save_transformation(os, gradient.transformation());
    const int count = gradient.stop_count();
    qvWriteInt32(os, count);
    for (int i = 0; i < count; ++i) {
        os << gradient.stop_color(i);
        qvWriteValue(os, gradient.stop_position(i));
    }
}

// The count is hostile: stops are taken one by one as they arrive, so a
// huge count on a short stream fails before any large allocation.
void load_common(qvInputStream& is, qvGradientDataAccess& gradient) {
    gradient.setting_a(static_cast<int>(qvReadInt32(is)));
    gradient.setting_b(static_cast<int>(qvReadInt32(is)));
    gradient.transformation(load_transformation(is));
    const long count = qvReadInt32(is);
    for (long i = 0; i < count; ++i) {
        qvRgbColor color;
        is >> color;
        const double position = qvReadValue<double>(is);
        gradient.add_stop(position, color);
    }
}

}  // namespace qvGradientStreamForm
