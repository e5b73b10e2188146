// The buffers of the raster test host (see qvRasterVBuf.hpp).

#include "qvRasterVBuf.hpp"

#include "qvRasterDraw.hpp"

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/attributes/qvGifFile.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <fstream>

namespace {

template <class Writer>
bool raster_save(qvRasterPixels const* pixels, double dpi, char const* path, Writer&& write) {
    if (pixels == nullptr || path == nullptr)
        return false;
    std::filebuf file;
    if (file.open(path, std::ios::out | std::ios::binary | std::ios::trunc) == nullptr)
        return false;
    const int whole_dpi = qvTruncToInt(dpi);
    const qvBitmap image = pixels->bitmap(whole_dpi > 0 ? whole_dpi : 96);
    {
        // Image files carry no stream header.
        qvOutputStream out(&file, qvVersion(0), false);
        write(out, image);
    }
    return file.close() != nullptr;
}

}  // namespace

bool qvRasterSaveBmp(qvRasterPixels const* pixels, double dpi, char const* path) {
    return raster_save(pixels, dpi, path, [](qvOutputStream& out, qvBitmap const& image) { qvSaveToBmp(out, image); });
}

bool qvRasterSaveGif(qvRasterPixels const* pixels, double dpi, char const* path) {
    return raster_save(pixels, dpi, path,
                       [](qvOutputStream& out, qvBitmap const& image) { qvSaveToGif(out, image, false, true); });
}

// ---------------------------------------------------------------------------
// Construction and identity

qvRasterVBuf::qvRasterVBuf(qvRasterDriver& driver) : driver_(&driver), window_(true), type_(0) {}

qvRasterVBuf::qvRasterVBuf(qvRasterDriver& driver, int type, long width, long height)
    : driver_(&driver), window_(false), type_(type), width_(width), height_(height) {
    if (driver.settings().pixels)
        own_pixels_ = qvRasterPixels::make(width, height, driver.settings().clear_color);
}

void* qvRasterVBuf::query_interface(qvInterfaceInfo const& id) {
    if (window_ && driver_->settings().window_invalidate)
        if (void* found = qvOfferInterfaces<qvVBufInvalidate>(this, id))
            return found;
    if ((info() & qvVBufInfoPlacementOffset) != 0)
        if (void* found = qvOfferInterfaces<qvVBufOffset>(this, id))
            return found;
    return qvOfferInterfaces<qvVBufObject, qvRasterVBuf>(this, id);
}

unsigned qvRasterVBuf::info() const {
    const unsigned own = driver_->info(type_);
    if (window_)
        return driver_->settings().window_offset ? (own | qvVBufInfoPlacementOffset)
                                                 : (own & ~qvVBufInfoPlacementOffset);
    return own;
}

qvRasterPixels* qvRasterVBuf::pixels() const noexcept {
    return window_ ? driver_->window().pixels.get() : own_pixels_.get();
}

qvCrdOf<double> qvRasterVBuf::offset() const noexcept {
    qvCrdOf<long> const& o = offset_ref();
    return {static_cast<double>(o.x), static_cast<double>(o.y)};
}

qvMathRectOf<double> qvRasterVBuf::device_rect() const noexcept {
    const qvCrdOf<double> o = offset();
    return qvMathRectOf<double>(o.x, o.y, o.x + static_cast<double>(width()), o.y + static_cast<double>(height()));
}

qvRgbaQuad qvRasterVBuf::pixel(long x, long y) const {
    qvRasterPixels const* const store = pixels();
    return store != nullptr && store->holds(x, y) ? store->at(x, y) : qvRgbaQuad();
}

bool qvRasterVBuf::save_bmp(char const* path) const { return qvRasterSaveBmp(pixels(), driver_->h_dpi(), path); }
bool qvRasterVBuf::save_gif(char const* path) const { return qvRasterSaveGif(pixels(), driver_->h_dpi(), path); }

// ---------------------------------------------------------------------------
// Draw objects and scrolling

qvISafePtr<qvDrawObject> qvRasterVBuf::new_draw() {
    if (driver_->fails(qvRasterOp::new_draw)) {
        driver_->note("new_draw failed");
        return {};
    }
    driver_->note("new_draw");
    return qvISafePtr<qvDrawObject>(new qvRasterDraw(*this));
}

// Works on pixel indices: the moved block is the pixels whose centres lie
// in the area; a shift of a whole side or more exposes all of it.
bool qvRasterVBuf::scroll(long dx, long dy, qvMathRectOf<double> const* area) {
    if (driver_->logging())
        driver_->note("scroll " + std::to_string(dx) + " " + std::to_string(dy) +
                      (area != nullptr ? " " + qvRasterText(*area) : std::string()));
    if (driver_->fails(qvRasterOp::scroll))
        return false;
    const qvCrdOf<double> o = offset();
    const qvMathRectOf<double> bounds = area != nullptr ? *area : device_rect();
    long x0, x1, y0, y1;
    if (!qvRasterPixels::index_range(bounds.x1, bounds.x2, o.x, width(), x0, x1) ||
        !qvRasterPixels::index_range(bounds.y1, bounds.y2, o.y, height(), y0, y1))
        return true;
    const long w = x1 - x0, h = y1 - y0;
    const long sx = std::clamp(dx, -w, w), sy = std::clamp(dy, -h, h);

    if (qvRasterPixels* const store = pixels()) {
        const qvRgbaQuad clear = driver_->settings().clear_color;
        std::vector<qvRgbaQuad> block(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
        for (long y = 0; y < h; ++y)
            std::copy_n(store->row(y0 + y) + x0, w, block.begin() + y * w);
        for (long y = 0; y < h; ++y) {
            qvRgbaQuad* const row = store->row(y0 + y) + x0;
            const long from_y = y - sy;
            for (long x = 0; x < w; ++x) {
                const long from_x = x - sx;
                row[x] = from_x >= 0 && from_x < w && from_y >= 0 && from_y < h ? block[static_cast<std::size_t>(from_y * w + from_x)]
                                                                               : clear;
            }
        }
    }

    if (window_) {
        // The exposed strips, in device coordinates, as an expose reports them.
        const double left = static_cast<double>(x0) + o.x, right = static_cast<double>(x1) + o.x;
        const double top = static_cast<double>(y0) + o.y, bottom = static_cast<double>(y1) + o.y;
        qvRasterDriver::Window& win = driver_->window();
        if (sx > 0)
            win.area += qvMathRectOf<double>(left, top, left + static_cast<double>(sx), bottom);
        else if (sx < 0)
            win.area += qvMathRectOf<double>(right + static_cast<double>(sx), top, right, bottom);
        if (sy > 0)
            win.area += qvMathRectOf<double>(left, top, right, top + static_cast<double>(sy));
        else if (sy < 0)
            win.area += qvMathRectOf<double>(left, bottom + static_cast<double>(sy), right, bottom);
    }
    return true;
}

// ---------------------------------------------------------------------------
// The window's invalidation channel

void qvRasterVBuf::open_callback(bool open) {
    driver_->note(open ? "open_callback 1" : "open_callback 0");
    driver_->window().open = open;
}

bool qvRasterVBuf::callback_ready() {
    driver_->note("callback_ready");
    return driver_->ready();
}

bool qvRasterVBuf::record(qvRegion const& area) {
    if (!driver_->ready())
        return false;
    driver_->window().area += area;
    return true;
}

// Invalidations are on the views' hot paths: the log line is spelled out
// only when the driver logs, so that timings without a log measure the views
// rather than the host's text.
bool qvRasterVBuf::invalidate(qvBaseRegion const& region) {
    if (driver_->logging())
        driver_->note("invalidate region " + qvRasterText(region));
    return record(qvRegion(region));
}

bool qvRasterVBuf::invalidate(qvMathRectOf<double> const& rect) {
    if (driver_->logging())
        driver_->note("invalidate rect " + qvRasterText(rect));
    return record(qvRegion(rect));
}

// A point stands for the unit square it starts.
bool qvRasterVBuf::invalidate(qvCrdOf<double> const& point) {
    if (driver_->logging())
        driver_->note("invalidate point " + qvRasterText(qvMathRectOf<double>(point.x, point.y, point.x, point.y)));
    const double x = std::floor(point.x), y = std::floor(point.y);
    return record(qvRegion(qvMathRectOf<double>(x, y, x + 1, y + 1)));
}

bool qvRasterVBuf::invalidate() {
    driver_->note("invalidate all");
    if (!driver_->ready())
        return false;
    driver_->window().whole = true;
    return true;
}
