#pragma once
// CursorLayer: a layer an application writes itself, here the host's
// cursor: a small filled square centred on a device point, above the
// scene. It derives from the library's layer base, which brings the place
// in the tree, invalidation up to the window and the repair region of each
// redraw; the layer only draws, and tells the base what it covers when it
// moves.
//
// Keeps true: the square lies in device coordinates (no mapping applies), so
// it stays put when the view scrolls or zooms;
// render draws only inside the region the redraw repairs and leaves the
// render buffer's clip stack as it found it; the attribute lives in the
// layer's own palette as long as the layer.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/rendering/qvFlavorPortTransformation.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvSimpleRectangle.hpp>
#include <orvane/views/qvViewLayer.hpp>
#include <orvane/views/qvViewLayerImplementation.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <cstdint>

class CursorLayer : public qvViewLayerImplementation {
public:
    CursorLayer(qvCrdOf<double> spot, double half_size, qvRgbColor const& color)
        : spot_(spot), half_(half_size), ink_(palette_, 0) {
        // A fill shows only with a style other than 0 or 1 and a colour.
        ink_.fill_style(qvFillStyle(2));
        ink_.fill_color(color);
    }

    qvMathRectOf<double> box() const {
        return qvMathRectOf<double>(spot_.x - half_, spot_.y - half_, spot_.x + half_, spot_.y + half_);
    }

    // The old and the new square are invalidated, so the window repaints
    // both at the host's next redraw.
    void move_to(qvCrdOf<double> spot) {
        invalidate(box(), true);
        spot_ = spot;
        invalidate(box(), true);
    }

    // Every scroll and zoom of the view reaches each layer here. A scroll
    // moves the window's pixels, the square's among them: both the place it
    // was carried to and its own place are repainted, or it would smear.
    void apply_left(qvRestrictedTransformation const& t) override {
        qvViewLayerImplementation::apply_left(t);
        if (t.is_identity())
            return;
        invalidate(box(), true);
        invalidate(qvTransformRect(box(), t), true);
    }

    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override {
        qvGridRegion work(box());
        work *= prepared_region();
        work *= vbuf.clipping();
        qvFlavorPort* const port = vbuf.port();
        if (work.empty() || port == nullptr)
            return true;
        vbuf.push();
        try {
            vbuf.mul_clipping(work);
            vbuf.enforce_settings();
            const qvFlavorPortTransformation device(*port, qvTranslation(origin.x, origin.y));
            const qvFlavorPortPalette own(*port, &palette_);
            qvSimpleRectangle square;
            square->rectangle(box());
            square->record()->attribute_handle = static_cast<std::int32_t>(ink_.attr_handle());
            port->draw_shape(*square->record());
        } catch (...) {
            restore(vbuf);
            throw;
        }
        restore(vbuf);
        return true;
    }

    qvViewBaseLayer clone() override {
        auto* const twin = new CursorLayer(spot_, half_, ink_.fill_color());
        const qvViewBaseLayer held(static_cast<qvViewBaseLayerObject*>(twin));
        twin->copy(*this);
        return held;
    }

private:
    static void restore(qvViewVBuf& vbuf) {
        vbuf.pop();
        vbuf.enforce_settings();
    }

    qvCrdOf<double> spot_;
    double half_;
    qvStandardPalette palette_;
    qvAttributeProxy ink_;
};
