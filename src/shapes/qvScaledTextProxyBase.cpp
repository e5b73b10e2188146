// The scaled text's box-keeping height and its measuring (see
// qvScaledTextProxyBase.hpp).

#include <orvane/shapes/qvScaledTextProxyBase.hpp>

#include <orvane/shapes/qvShapeCoordinates.hpp>
#include <orvane/shapes/qvShapeReadLock.hpp>
#include <orvane/shapes/qvShapeWriteLock.hpp>

void qvScaledTextProxyBase::height(double h) {
    check_height(h);
    const qvShapeWriteLock lock(*this, true, true);
    Height::height(h);
    store_box();
}

void qvScaledTextProxyBase::adjust_extent() {
    const qvShapeWriteLock lock(*this, false, true);
    if (record_ == nullptr || data().length == 0)
        return;
    const qvTextExtent e = compute_extent(*this);
    const unsigned mode = static_cast<unsigned>(qvTextExtent::font_size_mode());
    double font_height = 0.0;
    if ((mode & QV_FSM_ASCENT) != 0)
        font_height = e.ascent - e.extra;
    if ((mode & QV_FSM_DESCENT) != 0)
        font_height += e.descent;
    if ((mode & QV_FSM_EXTRA) != 0)
        font_height += e.extra;
    if (font_height == 0.0)
        font_height = 1.0;
    qvTextData& d = data();
    const double h = d.height;
    const double s = d.stretch;
    const qvExtent scaled{s * h * e.width / font_height, h * e.descent / font_height, h * e.ascent / font_height};
    qvShapeCoordinates::require(scaled);   // a huge height or font: nothing written
    d.extent = scaled;
    store_box();
}
