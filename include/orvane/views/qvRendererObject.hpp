#pragma once
// qvRendererObject: a renderer that can make a like renderer (same origin)
// on another window buffer or another driver.

#include <orvane/views/qvBaseRendererObject.hpp>

class qvBaseRenderer;

class qvRendererObject : public virtual qvBaseRendererObject {
public:
    ~qvRendererObject() override = default;

    // A new device renderer with this one's origin.
    virtual qvBaseRenderer create_renderer(qvISafePtr<qvVBufObject> const& window) = 0;
    virtual qvBaseRenderer create_renderer(qvISafePtr<qvDriverObject> const& driver) = 0;

protected:
    qvRendererObject() noexcept = default;
    qvRendererObject(qvRendererObject const&) noexcept = default;
    qvRendererObject& operator=(qvRendererObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvRendererObject);
