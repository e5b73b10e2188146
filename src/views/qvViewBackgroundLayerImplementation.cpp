// The background layer: one fill over the area being redrawn.
//
// The brush rule (has_background) reads the three flags of the attribute's
// brush cookie: an empty brush is opaque exactly when it has a colour; fill
// style 8 is always opaque; otherwise the brush is opaque when it has both
// a colour and a background colour.

#include "views/qvViewBackgroundLayerImplementation.hpp"

#include "views/qvViewHeldForCall.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvCookieAccess.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/rendering/qvTVBufObject.hpp>
#include <orvane/shapes/qvSimpleRectangle.hpp>
#include <orvane/views/qvRenderingHelper.hpp>
#include <orvane/views/qvViewManager.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <new>

namespace {

constexpr int background_brush_fill_style_opaque = 8;

qvViewBaseLayer background_layer_handle(qvViewBackgroundLayerImplementation* layer) {
    return qvViewBaseLayer(static_cast<qvViewBaseLayerObject*>(static_cast<qvViewBackgroundLayerObject*>(layer)));
}

// Cuts the fill to where the buffer has pixels. The renderer cuts what it
// redraws to a bounded window, but an unbounded one (a side negative)
// cuts nothing, so a layer's invalidation without limits would reach the
// driver as an infinite or saturated rectangle (and the fill's rectangle
// refuses what is past the float range, which would end the redraw). A
// transformed buffer tells where its real window lies (its area; its width
// and height are only that area's far edges); any other buffer tells
// nothing more, and a fill that no rectangle can hold is dropped.
void background_keep_to_window(qvGridRegion& work, qvVBufObject* buffer) {
    if (auto* const transformed = qvQueryInterface<qvTVBufObject>(buffer))
        work *= transformed->bbox();
    if (!work.empty() && !qvFitsFloat(work.bbox()))
        work.erase();
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

qvViewBackgroundLayerImplementation::qvViewBackgroundLayerImplementation(qvPalette* palette, bool owns)
    : owns_palette_(palette == nullptr || owns) {
    if (palette == nullptr)
        palette = new qvStandardPalette;
    attr_source(palette);
    collector_.attach(this);
    collector_.connect(view());
    reinitialize();
}

qvViewBackgroundLayerImplementation::~qvViewBackgroundLayerImplementation() {
    collector_.disconnect_all();
    qvPalette* const palette = attr_source();
    if (palette != nullptr && handle != 0)
        disconnect_attribute();
    if (owns_palette_) {
        handle = 0;
        attr_source(nullptr);
        delete palette;
    }
}

qvViewBaseLayer qvViewBackgroundLayerObject::create() {
    auto* const layer = new (std::nothrow) qvViewBackgroundLayerImplementation(nullptr, false);
    const qvViewBaseLayer held = background_layer_handle(layer);
    if (layer != nullptr) {
        layer->fill_color(1.0f);
        layer->fill_style(qvFillStyle(0));
    }
    return held;
}

qvViewBaseLayer qvViewBackgroundLayerObject::create(qvRgbColor const& color) {
    auto* const layer = new (std::nothrow) qvViewBackgroundLayerImplementation(nullptr, false);
    const qvViewBaseLayer held = background_layer_handle(layer);
    if (layer != nullptr) {
        layer->fill_color(color);
        layer->fill_style(qvFillStyle(0));
    }
    return held;
}

qvViewBaseLayer qvViewBackgroundLayerObject::create(qvPalette* palette, char const* name) {
    auto* const layer = new (std::nothrow) qvViewBackgroundLayerImplementation(palette, false);
    const qvViewBaseLayer held = background_layer_handle(layer);
    if (layer != nullptr && palette != nullptr && name != nullptr) {
        qvAttributeProxy proxy;
        proxy.attr_source(palette);
        if (proxy.connect_attribute(name))
            layer->connect_attribute(proxy);
    }
    return held;
}

qvViewBaseLayer qvViewBackgroundLayerImplementation::clone() {
    auto* const twin = new (std::nothrow) qvViewBackgroundLayerImplementation(nullptr, false);
    QV_ASSERT_TEXT(twin != nullptr, "p");
    const qvViewBaseLayer held = background_layer_handle(twin);
    twin->copy(static_cast<qvViewDataLayerObject const&>(*this));
    if (attr_handle() != 0 && attr_source() != nullptr)
        twin->connect_attribute(static_cast<qvAttributeFolderInterface const&>(*this));
    return held;
}

void* qvViewBackgroundLayerImplementation::query_interface(qvInterfaceInfo const& info) {
    if (void* found = qvViewDataLayerImplementation::query_interface(info))
        return found;
    return qvOfferInterfaces<qvAttributeInterface, qvAttributeFolderInterface, qvViewBackgroundLayerObject>(
        this, info);
}

// ---------------------------------------------------------------------------
// The fill

void qvViewBackgroundLayerImplementation::attr_handle(long new_handle) {
    invalidate(false);
    handle = new_handle;
}

void qvViewBackgroundLayerImplementation::update_has_background() {
    qvPalette* const palette = attr_source();
    if (attr_handle() == 0 || palette == nullptr) {
        has_background(false);
        return;
    }
    const qvCookieAccess<qvStandardBrushCookie> brush(*palette, attr_handle());
    qvStandardBrushCookie const& cookie = *brush.cookie;
    if (cookie.empty)
        has_background(!cookie.no_color);
    else if (static_cast<int>(cookie.fill_style) == background_brush_fill_style_opaque)
        has_background(true);
    else
        has_background(!cookie.no_color && !cookie.no_bg_color);
}

// ---------------------------------------------------------------------------
// View and redraw

void qvViewBackgroundLayerImplementation::view(qvViewManager const& manager) {
    if (manager.get() == view())
        return;
    collector_.flush();
    qvViewDataLayerImplementation::view(manager);
}

void qvViewBackgroundLayerImplementation::reinitialize() {
    qvViewDataLayerImplementation::reinitialize();
    added_width_ = 0.0;
    qvViewManagerObject* const manager = view();
    if (manager == nullptr)
        return;
    const qvISafePtr<qvDriverObject> driver = manager->driver();
    if (driver)
        added_width_ = static_cast<double>(driver->added_width());
    collector_.connect(manager);
    update_has_background();
}

void qvViewBackgroundLayerImplementation::prepare(qvBaseRegion& region, bool front_to_back) {
    update_has_background();
    qvViewDataLayerImplementation::prepare(region, front_to_back);
}

void qvViewBackgroundLayerImplementation::cleanup() {
    qvViewDataLayerImplementation::cleanup();
    collector_.rearm();
}

// The prepared region cut to the buffer's clip is what this redraw repairs:
// the layer's own invalid area would leave unpainted the place a shape of
// another layer moved away from.
bool qvViewBackgroundLayerImplementation::render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    if (!has_background() || attr_source() == nullptr)
        return true;
    qvGridRegion& work = work_;
    work = prepared_region();
    work *= vbuf.clipping();
    background_keep_to_window(work, vbuf.vbuf().get());
    if (work.empty())
        return true;
    vbuf.push();
    try {
        vbuf.mul_clipping(work);
        if (qvFlavorPort* const port = vbuf.port()) {
            qvRenderingHelper helper(*port, this);
            if (!no_local_device_clipping())
                vbuf.mul_clipping(local_device_clipping());
            vbuf.enforce_settings();
            qvScene* const old_scene = helper.scene();
            helper.scene(nullptr);
            // Set, not saved: every layer sets the port's transformation
            // before it draws, and putting it back would hand the driver
            // one more transformation than the fill needs.
            helper.transformation(qvTranslation(origin.x, origin.y));
            const qvFlavorPortPalette keep_palette(helper, attr_source());
            qvMathRectOf<double> const& box = work.bbox();
            helper.device_bbox(qvMathRectOf<double>(box.x1 - added_width_, box.y1 - added_width_,
                                                    box.x2 + added_width_, box.y2 + added_width_));
            qvSimpleRectangle fill;
            fill->rectangle(helper.model_bbox());
            fill->record()->attribute_handle = static_cast<std::int32_t>(attr_handle());
            try {
                helper.draw_shape(*fill->record());
            } catch (...) {
                helper.scene(old_scene);
                throw;
            }
            helper.scene(old_scene);
        }
    } catch (...) {
        vbuf.pop();
        vbuf.enforce_settings();
        throw;
    }
    vbuf.pop();
    vbuf.enforce_settings();
    return true;
}
