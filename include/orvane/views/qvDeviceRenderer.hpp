#pragma once
// qvDeviceRenderer: the counted handle of a device renderer. Built from a
// handle of a renderer that is no device renderer it is empty. See
// qvViewHandle for the rules.
//
// A view manager holds its renderer weakly: the host keeps this handle for
// as long as the window is to be drawn.

#include <orvane/views/qvDeviceRendererObject.hpp>
#include <orvane/views/qvRenderer.hpp>

class qvDeviceRenderer : public qvViewHandle<qvDeviceRendererObject, qvBaseRendererObject,
                                             qvBaseRenderer, qvRenderer> {
public:
    using qvViewHandle::qvViewHandle;
    // qvDeviceRendererObject::create with the same arguments.
    explicit qvDeviceRenderer(qvISafePtr<qvDriverObject> const& driver);
    qvDeviceRenderer(qvISafePtr<qvDriverObject> const& driver, qvViewManager const& view);
    explicit qvDeviceRenderer(qvISafePtr<qvVBufObject> const& window);
    qvDeviceRenderer(qvISafePtr<qvVBufObject> const& window, qvViewManager const& view);
};
