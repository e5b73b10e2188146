#pragma once
// The scene port's scaled-attribute step, shared by its point-set drawers
// and its text drawers (see qvViewTScenePort.hpp).
//
// The temporary attribute is a copy, in the port's private palette, of the
// source record's attribute. It is made before the palette switch and
// released after the palette is back, on every exit; the driver's cache is
// then told that its handle is gone. The cache is found first, so a port
// without a reachable driver fails before anything is made.

#include <orvane/attributes/qvAttributeInterface.hpp>
#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDriverAttributeCache.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>

class qvViewTScenePort::ScaledAttribute {
public:
    // The whole step around one target call: `draw` is handed the temporary
    // attribute while the private palette is the port's, edits it, stamps
    // its handle on the record it hands the target and gives the target's
    // answer.
    template <class Draw>
    static bool draw(qvViewTScenePort& port, long source_handle, Draw&& draw) {
        ScaledAttribute attribute(port, source_handle);
        bool drawn;
        {
            const qvFlavorPortPalette switched(port, &port.palette_);
            drawn = draw(*attribute.attribute_);
        }
        attribute.release();
        return drawn;
    }

    ScaledAttribute(qvViewTScenePort& port, long source_handle)
        : cache_(qvQueryInterface<qvDriverAttributeCache>(&port.target_->draw().vbuf().driver())),
          palette_(&port.palette_),
          attribute_(qvCreateAttributeProxy(&port.palette_, 0)) {
        port.set_attribute(attribute_.get(), source_handle);
    }
    // The exceptional road: an error is already passing, and one from the
    // host's cache could not be reported beside it.
    ~ScaledAttribute() {
        try {
            release();
        } catch (...) {
        }
    }
    ScaledAttribute(ScaledAttribute const&) = delete;
    ScaledAttribute& operator=(ScaledAttribute const&) = delete;

    // Releases the attribute in the private palette, then tells the cache
    // that its handle is gone.
    void release() {
        if (attribute_.get() == nullptr)
            return;
        const long handle = attribute_->attribute_handle();
        attribute_ = qvSafePtr<qvAttributeInterface>();
        if (cache_ != nullptr && handle != 0)
            cache_->drop(palette_, handle);
    }

private:
    qvDriverAttributeCache* cache_;
    qvPalette* palette_;
    qvSafePtr<qvAttributeInterface> attribute_;
};
