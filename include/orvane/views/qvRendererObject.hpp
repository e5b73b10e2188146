#pragma once
// qvRendererObject: a renderer that can make a like renderer on another
// window buffer or another driver: a new device renderer with this one's
// origin and no buffering flags, whatever this one's flags are.

#include <orvane/views/qvBaseRendererObject.hpp>

class qvBaseRenderer;

class qvRendererObject : public virtual qvBaseRendererObject {
public:
    ~qvRendererObject() override = default;

    // A new device renderer with this one's origin and flags 0; fails the
    // assertion "p" when none can be made.
    virtual qvBaseRenderer like(qvISafePtr<qvVBufObject> const& window) = 0;
    virtual qvBaseRenderer like(qvISafePtr<qvDriverObject> const& driver) = 0;

protected:
    qvRendererObject() noexcept = default;
    qvRendererObject(qvRendererObject const&) noexcept = default;
    qvRendererObject& operator=(qvRendererObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvRendererObject);
