#pragma once
// qvBaseRendererObject: what brings a view manager's picture onto a
// driver's window buffer. The host calls redraw with the area to paint;
// invalidations travel the other way, from the layers through the view
// manager to this object's qvVBufInvalidate face and on to the window
// buffer's.
//
// Keeps true: counted through its own qvRefBase; it refers to its view
// manager weakly while the manager holds it counted.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/geometry/qvBaseRegion.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/rendering/qvVBufInvalidate.hpp>
#include <orvane/views/qvViewTransformation.hpp>

class qvDriverObject;
class qvVBufObject;
class qvViewManager;
class qvViewManagerObject;

class qvBaseRendererObject : public virtual qvDynamicInterface,
                             public virtual qvRefBase,
                             public virtual qvVBufInvalidate,
                             public virtual qvViewTransformation {
public:
    ~qvBaseRendererObject() override = default;

    // Repaints `area`; `front_to_back` is handed to the manager's prepare.
    virtual bool redraw(qvBaseRegion const& area, bool front_to_back) = 0;
    virtual void view_manager(qvViewManager const& manager) = 0;
    virtual qvViewManagerObject* view_manager() const = 0;
    virtual void driver(qvISafePtr<qvDriverObject> const& driver) = 0;
    virtual qvISafePtr<qvDriverObject> driver() const = 0;
    virtual void vbuf(qvISafePtr<qvVBufObject> const& window) = 0;
    virtual qvISafePtr<qvVBufObject> vbuf() const = 0;
    // Of the window buffer; 0 without one.
    virtual long width() const = 0;
    virtual long height() const = 0;
    virtual bool no_clipping() const = 0;
    // Null removes the clip.
    virtual void clipping(qvBaseRegion const* region) = 0;
    virtual qvBaseRegion const& clipping() const = 0;
    virtual void origin(qvCrdOf<double> const& origin) = 0;
    virtual qvCrdOf<double> origin() const = 0;
    // Fetches the window buffer from the driver and registers for
    // invalidation.
    virtual void update() = 0;
    // Copies between buffers rectangle by rectangle (true) or as the
    // region's bounding box in one piece (false).
    virtual void copy_by_rectangles(bool on) = 0;
    virtual bool copy_by_rectangles() const = 0;

protected:
    qvBaseRendererObject() noexcept = default;
    qvBaseRendererObject(qvBaseRendererObject const&) noexcept = default;
    qvBaseRendererObject& operator=(qvBaseRendererObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvBaseRendererObject);
