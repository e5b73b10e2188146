// qvTextOutline: the class-wide provider pointer. It is constant-initialised
// (no start-up code), so it is null before any static constructor runs.

#include <orvane/geometry/qvTextOutline.hpp>

namespace {

qvTextOutline* installed = nullptr;

}  // namespace

qvTextOutline::~qvTextOutline() {
    if (installed == this) installed = nullptr;
}

qvTextOutline* qvTextOutline::instance() noexcept { return installed; }

void qvTextOutline::instance(qvTextOutline* provider) noexcept { installed = provider; }
