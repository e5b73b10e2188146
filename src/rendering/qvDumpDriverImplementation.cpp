// The dump driver and its buffer (see qvDumpDriverObject.hpp).

#include "rendering/qvDumpDriverImplementation.hpp"

#include "rendering/qvDumpDraw.hpp"
#include "rendering/qvDumpVBuf.hpp"

#include <orvane/core/qvNumericConversion.hpp>

#include <climits>
#include <cmath>

namespace {

// A side of the area in pixels: truncated toward zero; a side that is not a
// finite number within int's range names no device and gives 0.
long side(double from, double to) noexcept {
    const int pixels = qvTruncToInt(to - from);
    return pixels == INT_MIN ? 0 : pixels;
}

}  // namespace

qvISafePtr<qvDumpDriverObject> qvDumpDriverObject::create(qvDumpDriverUser* user, double x0, double y0,
                                                          double x1, double y1) {
    return qvISafePtr<qvDumpDriverObject>(new qvDumpDriverImplementation(user, x0, y0, x1, y1));
}

// An area with any coordinate that is not a finite number names no device
// at all: both sides are 0, not only the side the coordinate belongs to.
qvDumpDriverImplementation::qvDumpDriverImplementation(qvDumpDriverUser* user, double x0, double y0, double x1,
                                                       double y1) noexcept
    : user_(user), width_(side(x0, x1)), height_(side(y0, y1)) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) ||
        !std::isfinite(y1))
        width_ = height_ = 0;
}

void* qvDumpDriverImplementation::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvDumpDriverUserInterface, qvDumpDriverObject>(this, info);
}

qvISafePtr<qvVBufObject> qvDumpDriverImplementation::new_master_vbuf() {
    return qvISafePtr<qvVBufObject>(new qvDumpVBuf(*this));
}

qvISafePtr<qvDrawObject> qvDumpVBuf::new_draw() {
    if (qvDumpDraw* const live = draw_.get())
        return qvISafePtr<qvDrawObject>(live);
    qvISafePtr<qvDumpDraw> made(new qvDumpDraw(*this));
    draw_ = made;
    return qvISafePtr<qvDrawObject>(made.get());
}
