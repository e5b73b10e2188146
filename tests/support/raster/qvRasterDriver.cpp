// The raster test host driver (see qvRasterDriver.hpp).

#include "qvRasterDriver.hpp"

#include "qvRasterVBuf.hpp"

#include <algorithm>
#include <sstream>

namespace {

std::string raster_number(double v) {
    std::ostringstream out;
    out << v;
    return out.str();
}

}  // namespace

std::string qvRasterText(qvMathRectOf<double> const& r) {
    return "(" + raster_number(r.x1) + " " + raster_number(r.y1) + " " + raster_number(r.x2) + " " +
           raster_number(r.y2) + ")";
}

// The rectangles of the region in its own order, so a test can tell a
// region of several rectangles from its bounding box.
std::string qvRasterText(qvBaseRegion const& region) {
    if (region.empty())
        return "()";
    std::string text;
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it)
        text += (text.empty() ? "" : "+") + qvRasterText(*it);
    return text;
}

// ---------------------------------------------------------------------------
// Construction and identity

qvISafePtr<qvRasterDriver> qvRasterDriver::create(qvRasterSettings const& settings) {
    return qvISafePtr<qvRasterDriver>(new qvRasterDriver(settings));
}

qvRasterDriver::qvRasterDriver(qvRasterSettings const& settings) : settings_(settings) {
    window_.width = settings.window_width;
    window_.height = settings.window_height;
    if (settings.window_offset)
        window_.offset = *settings.window_offset;
    if (settings.pixels)
        window_.pixels = qvRasterPixels::make(window_.width, window_.height, settings.clear_color);
}

void* qvRasterDriver::query_interface(qvInterfaceInfo const& info) {
    if (settings_.attribute_cache)
        if (void* found = qvOfferInterfaces<qvDriverAttributeCache>(this, info))
            return found;
    if (!settings_.image_types.empty())
        if (void* found = qvOfferInterfaces<qvDriverBitmapVBuf>(this, info))
            return found;
    return qvOfferInterfaces<qvDriverObject, qvRasterDriver>(this, info);
}

unsigned qvRasterDriver::info(int type) const {
    if (type < 0 || type >= available())
        return 0;
    return settings_.buffer_types[static_cast<std::size_t>(type)];
}

// ---------------------------------------------------------------------------
// Buffers

qvISafePtr<qvVBufObject> qvRasterDriver::new_master_vbuf() {
    note("new_master_vbuf");
    return qvISafePtr<qvVBufObject>(new qvRasterVBuf(*this));
}

qvISafePtr<qvVBufObject> qvRasterDriver::new_vbuf(int type, long width, long height,
                                                  qvISafePtr<qvVBufObject> const&) {
    if (fails(qvRasterOp::new_vbuf_null)) {
        note("new_vbuf " + std::to_string(type) + " " + std::to_string(width) + " " + std::to_string(height) +
             " failed");
        return {};
    }
    const bool empty = fails(qvRasterOp::new_vbuf_empty);
    note("new_vbuf " + std::to_string(type) + " " + std::to_string(width) + " " + std::to_string(height) +
         (empty ? " empty" : ""));
    if (type < 0 || type >= available())
        return {};
    if (empty)
        return qvISafePtr<qvVBufObject>(new qvRasterVBuf(*this, type, 0, 0));
    return qvISafePtr<qvVBufObject>(new qvRasterVBuf(*this, type, width, height));
}

bool qvRasterDriver::supports(int image_type) {
    return std::find(settings_.image_types.begin(), settings_.image_types.end(), image_type) !=
           settings_.image_types.end();
}

qvISafePtr<qvVBufObject> qvRasterDriver::new_bitmap_vbuf(int type, long width, long height,
                                                         qvColorMapReference const&) {
    note("new_bitmap_vbuf " + std::to_string(type) + " " + std::to_string(width) + " " + std::to_string(height));
    if (!supports(type))
        return {};
    // A bitmap buffer is a memory buffer of the last type.
    return qvISafePtr<qvVBufObject>(new qvRasterVBuf(*this, std::max(available() - 1, 0), width, height));
}

// ---------------------------------------------------------------------------
// Attribute cache

void qvRasterDriver::drop(qvPalette*, long handle) { note("drop " + std::to_string(handle)); }
void qvRasterDriver::drop_all(qvPalette*) { note("drop_all"); }

// ---------------------------------------------------------------------------
// Log, failures, probes

void qvRasterDriver::note(std::string line) {
    if (settings_.log)
        log_.push_back(std::move(line));
}

void qvRasterDriver::fail_next(qvRasterOp op, int n, int after) { failures_[op] = Failure{after, n}; }

bool qvRasterDriver::fails(qvRasterOp op) {
    const auto found = failures_.find(op);
    if (found == failures_.end())
        return false;
    Failure& f = found->second;
    if (f.after > 0) {
        --f.after;
        return false;
    }
    if (f.n <= 0)
        return false;
    --f.n;
    return true;
}

qvRegion qvRasterDriver::take_invalid() {
    qvRegion taken;
    if (window_.whole) {
        const double ox = static_cast<double>(window_.offset.x), oy = static_cast<double>(window_.offset.y);
        taken = qvMathRectOf<double>(ox, oy, ox + static_cast<double>(window_.width),
                                     oy + static_cast<double>(window_.height));
    } else {
        taken = window_.area;
    }
    window_.whole = false;
    window_.area.erase();
    return taken;
}

qvRgbaQuad qvRasterDriver::pixel(long x, long y) const {
    qvRasterPixels const* const store = window_.pixels.get();
    return store != nullptr && store->holds(x, y) ? store->at(x, y) : qvRgbaQuad();
}

long qvRasterDriver::draw_count(int kind) const {
    const auto found = drawn_.find(kind);
    return found == drawn_.end() ? 0 : found->second;
}

long qvRasterDriver::draw_count() const {
    long total = 0;
    for (auto const& [kind, n] : drawn_)
        total += n;
    return total;
}

bool qvRasterDriver::save_bmp(char const* path) const {
    return qvRasterSaveBmp(window_.pixels.get(), settings_.dpi, path);
}

bool qvRasterDriver::save_gif(char const* path) const {
    return qvRasterSaveGif(window_.pixels.get(), settings_.dpi, path);
}
