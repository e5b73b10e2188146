#pragma once
// qvViewWindowCacheLayerObject: an active layer that keeps what its
// children drew in an off-screen buffer of the driver (the cache). A redraw
// copies from the cache what it still holds and has the children draw only
// the rest; a scroll by whole device units moves the cached pixels instead
// of dropping them.
//
// Two modes choose how the cache is used: buffered (the children draw into
// the cache, the window is copied from it) and copy-back (the children draw
// into the window, which is then read back into the cache, or drawn a second
// time into the cache with double rendering on). With both off there is no
// cache and the layer draws like a group layer. A setter that would need a
// missing resource leaves the layer drawing directly instead of failing.

#include <orvane/views/qvViewActiveLayerObject.hpp>
#include <orvane/views/qvViewBaseLayer.hpp>

class qvViewWindowCacheLayerObject : public virtual qvViewActiveLayerObject {
public:
    ~qvViewWindowCacheLayerObject() override = default;

    // Off also releases the cache when copy-back is off too.
    virtual void buffered(bool on) = 0;
    virtual bool buffered() const = 0;
    // Off also releases the cache when buffered is off too.
    virtual void copy_back(bool on) = 0;
    virtual bool copy_back() const = 0;
    // In copy-back mode: draw the children a second time into the cache
    // instead of reading the window back.
    virtual void double_render(bool on) = 0;
    virtual bool double_render() const = 0;

    // A new layer with both modes off; empty when none can be made.
    static qvViewBaseLayer create();
    // A new layer with both modes on when `cache` is true, off otherwise.
    static qvViewBaseLayer create(bool cache);

protected:
    qvViewWindowCacheLayerObject() noexcept = default;
    qvViewWindowCacheLayerObject(qvViewWindowCacheLayerObject const&) noexcept = default;
    qvViewWindowCacheLayerObject& operator=(qvViewWindowCacheLayerObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvViewWindowCacheLayerObject);
