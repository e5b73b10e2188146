#pragma once
// qvDeviceRendererObject: the renderer that keeps a driver's window up to
// date, optionally through an off-screen memory buffer of the same driver
// that remembers which of its pixels already hold the picture.
//
// The three flag bits choose the road of a redraw:
//   0x1 backing_store         the window is drawn, the memory buffer keeps a
//                             copy (copied back from the window)
//   0x4 render_backing_store  with backing_store: the copy is rendered into
//                             the memory buffer instead of copied
//   0x2 double_buffered       everything is rendered into the memory buffer
//                             and copied to the window
// A new renderer has none set and renders straight into the window.
//
// Keeps true: clearing the last of 0x1 and 0x2 releases the memory buffer
// at once; the memory buffer's valid area only grows by areas that were
// really repaired.

#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvRendererObject.hpp>

class qvViewManager;

class qvDeviceRendererObject : public virtual qvRendererObject {
public:
    enum : unsigned {
        backing_store_flag = 0x1,
        double_buffered_flag = 0x2,
        render_backing_store_flag = 0x4,
    };

    ~qvDeviceRendererObject() override = default;

    // A renderer drawing into the driver's own window buffer (asked of the
    // driver at once), attached to `view` when given.
    static qvBaseRenderer create(qvISafePtr<qvDriverObject> const& driver);
    static qvBaseRenderer create(qvISafePtr<qvDriverObject> const& driver, qvViewManager const& view);
    // A renderer drawing into `window`, on the window's driver.
    static qvBaseRenderer create(qvISafePtr<qvVBufObject> const& window);
    static qvBaseRenderer create(qvISafePtr<qvVBufObject> const& window, qvViewManager const& view);

    virtual void double_buffered(bool on) = 0;
    virtual bool double_buffered() const = 0;
    virtual void backing_store(bool on) = 0;
    virtual bool backing_store() const = 0;
    virtual void render_backing_store(bool on) = 0;
    virtual bool render_backing_store() const = 0;

protected:
    qvDeviceRendererObject() noexcept = default;
    qvDeviceRendererObject(qvDeviceRendererObject const&) noexcept = default;
    qvDeviceRendererObject& operator=(qvDeviceRendererObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvDeviceRendererObject);
