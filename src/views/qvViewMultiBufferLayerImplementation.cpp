// The multi-buffer layer (see qvViewMultiBufferLayerImplementation.hpp).
//
// Buffers are bitmap buffers of the driver that draws the layer's view,
// made at the size of that renderer's window when the first one is made;
// the size then stays until release_all, even when the window changes, so
// every buffer of the layer has one size.

#include "views/qvViewMultiBufferLayerImplementation.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDriverBitmapVBuf.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvViewManagerObject.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <new>

namespace {

// The handle of a layer just made (empty for null), holding its one count.
qvViewBaseLayer multi_buffer_layer_handle(qvViewMultiBufferLayerImplementation* layer) {
    return qvViewBaseLayer(
        static_cast<qvViewBaseLayerObject*>(static_cast<qvViewMultiBufferLayerObject*>(layer)));
}

// Sets a flag for a scope; cleared on every way out.
class qvMultiBufferRenderingScope {
public:
    explicit qvMultiBufferRenderingScope(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    qvMultiBufferRenderingScope(qvMultiBufferRenderingScope const&) = delete;
    qvMultiBufferRenderingScope& operator=(qvMultiBufferRenderingScope const&) = delete;
    ~qvMultiBufferRenderingScope() { flag_ = false; }

private:
    bool& flag_;
};

}  // namespace

// ---------------------------------------------------------------------------
// Construction and identity

qvViewMultiBufferLayerImplementation::qvViewMultiBufferLayerImplementation(int n)
    : buffers_(static_cast<std::size_t>(n > 0 ? n : 0)) {}

qvViewMultiBufferLayerImplementation::~qvViewMultiBufferLayerImplementation() = default;

qvViewBaseLayer qvViewMultiBufferLayerObject::create(int n) {
    return multi_buffer_layer_handle(new (std::nothrow) qvViewMultiBufferLayerImplementation(n));
}

qvViewBaseLayer qvViewMultiBufferLayerImplementation::clone() {
    auto* const twin = new (std::nothrow) qvViewMultiBufferLayerImplementation(buffer_count());
    QV_ASSERT_TEXT(twin != nullptr, "p");
    const qvViewBaseLayer held = multi_buffer_layer_handle(twin);
    twin->copy(*this);
    return held;
}

void* qvViewMultiBufferLayerImplementation::query_interface(qvInterfaceInfo const& info) {
    if (void* found = qvViewActiveLayerImplementation::query_interface(info))
        return found;
    return qvOfferInterfaces<qvViewMultiBufferLayerObject>(this, info);
}

// ---------------------------------------------------------------------------
// The records

bool qvViewMultiBufferLayerImplementation::select(int i) {
    if (i != -1 && !in_range(i))
        return false;
    selected_ = i;
    return true;
}

bool qvViewMultiBufferLayerImplementation::dirty(int i) const {
    if (!in_range(i))
        return true;
    Record const& record = buffers_[static_cast<std::size_t>(i)];
    return !record.buffer || record.dirty;
}

void qvViewMultiBufferLayerImplementation::mark_dirty(int i) {
    if (in_range(i))
        buffers_[static_cast<std::size_t>(i)].dirty = true;
}

int qvViewMultiBufferLayerImplementation::mark_all_dirty() {
    for (Record& record : buffers_)
        record.dirty = true;
    return buffer_count();
}

bool qvViewMultiBufferLayerImplementation::allocated(int i) const {
    return in_range(i) && buffers_[static_cast<std::size_t>(i)].buffer;
}

void qvViewMultiBufferLayerImplementation::release(int i) {
    if (!in_range(i))
        return;
    Record& record = buffers_[static_cast<std::size_t>(i)];
    record.buffer = qvISafePtr<qvVBufObject>();
    record.dirty = true;
}

int qvViewMultiBufferLayerImplementation::release_all() {
    for (Record& record : buffers_) {
        record.buffer = qvISafePtr<qvVBufObject>();
        record.dirty = true;
    }
    buffer_width_ = -1;
    buffer_height_ = -1;
    return -1;
}

int qvViewMultiBufferLayerImplementation::image_type(int type) {
    image_type_ = type >= 1 && type <= 3 ? type : 3;
    return type;
}

void qvViewMultiBufferLayerImplementation::color_map(qvColorMapReference const& map) { color_map_ = map; }

qvVBufObject* qvViewMultiBufferLayerImplementation::buffer(int i) const {
    return in_range(i) ? buffers_[static_cast<std::size_t>(i)].buffer.get() : nullptr;
}

// ---------------------------------------------------------------------------
// Making and filling a buffer

// A driver that does not support the image type is asked once for another
// (1 and 3 become 2, 2 becomes 3), and the change is kept; whether it
// supports that one is not asked again, its answer tells.
void qvViewMultiBufferLayerImplementation::make_buffer(int i) {
    qvViewManagerObject* const manager = view();
    const qvBaseRenderer renderer = manager != nullptr ? manager->renderer() : qvBaseRenderer();
    const qvISafePtr<qvDriverObject> driver = renderer ? renderer->driver() : qvISafePtr<qvDriverObject>();
    if ((buffer_width_ == -1 || buffer_height_ == -1) && renderer) {
        const long width = renderer->width(), height = renderer->height();
        if (width > 0 && height > 0) {
            const int w = qvCheckedInt32(width), h = qvCheckedInt32(height);
            buffer_width_ = w;
            buffer_height_ = h;
        }
    }
    if (buffer_width_ == -1 || buffer_height_ == -1 || !driver)
        return;
    auto* const maker = qvQueryInterface<qvDriverBitmapVBuf>(driver.get());
    if (maker == nullptr)
        return;
    if (!maker->supports(image_type_))
        image_type_ = image_type_ == 2 ? 3 : 2;
    Record& record = buffers_[static_cast<std::size_t>(i)];
    record.buffer = maker->new_bitmap_vbuf(image_type_, buffer_width_, buffer_height_,
                                           image_type_ == 3 ? qvColorMapReference() : color_map_);
    record.dirty = true;
    if (!record.buffer)
        qvRaise(qvErrorFrom<qvViewMultiBufferLayerImplementation>(
            "The requested bitmap image type is not supported by driver"));
}

bool qvViewMultiBufferLayerImplementation::render_into(int i) {
    if (!in_range(i))
        return false;
    Record& record = buffers_[static_cast<std::size_t>(i)];
    if (!record.buffer)
        make_buffer(i);
    else
        mark_dirty(i);
    // Held: a child may let the record's buffer go while it draws.
    const qvISafePtr<qvVBufObject> target = record.buffer;
    if (!target)
        return false;
    {
        const qvMultiBufferRenderingScope scope(rendering_into_buffer_);
        const qvMathRectOf<double> whole(0.0, 0.0, static_cast<double>(target->width()),
                                         static_cast<double>(target->height()));
        try {
            qvGridRegion region(whole);
            prepare(region, false);
            qvViewVBuf vbuf(target, qvGridRegion(whole), qvCrdOf<double>{0.0, 0.0});
            render(vbuf, qvCrdOf<double>{0.0, 0.0});
        } catch (...) {
            cleanup();
            throw;
        }
        cleanup();
    }
    if (record.buffer.get() == target.get())
        record.dirty = false;
    return true;
}

// ---------------------------------------------------------------------------
// The redraw

void qvViewMultiBufferLayerImplementation::prepare(qvBaseRegion& region, bool front_to_back) {
    if (!showing_buffer()) {
        qvViewActiveLayerImplementation::prepare(region, front_to_back);
        return;
    }
    qvViewLayerImplementation::prepare(region, front_to_back);
    region.erase();
}

bool qvViewMultiBufferLayerImplementation::render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    if (!showing_buffer())
        return qvViewActiveLayerImplementation::render(vbuf, origin);
    if (selected_dirty() || prepared_region().empty())
        return true;
    qvMathRectOf<double> shown = prepared_region().bbox();
    const qvMathRectOf<double> clip = vbuf.clipping().bbox();
    if (qvRectsOverlap(shown, clip))
        shown = qvRectIntersection(shown, clip);
    const qvISafePtr<qvDrawObject> draw = vbuf.draw();
    if (!draw)
        return true;
    vbuf.enforce_settings();
    draw->copy(*buffers_[static_cast<std::size_t>(selected_)].buffer, shown, shown);
    return true;
}

void qvViewMultiBufferLayerImplementation::cleanup() {
    if (showing_buffer())
        qvViewLayerImplementation::cleanup();
    else
        qvViewActiveLayerImplementation::cleanup();
}
