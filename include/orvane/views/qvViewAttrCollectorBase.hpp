#pragma once
// qvViewAttrCollectorBase: what the two attribute collectors share. It
// listens to one palette's publisher and hears which attribute changed; the
// derived collector decides which events concern its layer. Every event it
// keeps drops the attribute's baked form from the view driver's attribute
// cache, so no driver draws with a stale device object.
//
// Keeps true:
//  - connected to at most one publisher, that of `palette()`;
//  - the palette is not owned: when its publisher dies the collector
//    forgets it (and tells the derived collector) without calling it, so no
//    dead palette reaches a driver's cache;
//  - the driver is held counted only while connected through a view; the
//    cache pointer is the driver's own interface and lives as long;
//  - only the first invalidation after a re-arm notifies the layer's
//    superiors, unless it failed to arrive.

#include <orvane/core/qvSafePtr.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/views/qvReceiverInvalidateHandle.hpp>

class qvDriverAttributeCache;
class qvPalette;
class qvViewArea;

class qvViewAttrCollectorBase : public qvReceiverInvalidateHandle {
public:
    qvViewAttrCollectorBase() : qvReceiverInvalidateHandle(true) {}
    ~qvViewAttrCollectorBase() override;

    qvPalette* palette() const noexcept { return palette_; }
    // For the next redraw: hears broadcasts again and notifies once more.
    void rearm();
    // The view is left: the old driver's cache forgets the palette, and the
    // collector hears nothing more until it is connected again.
    void flush();
    // The palette's every attribute changed.
    void invalidate() override;
    using qvReceiverInvalidateHandle::invalidate;

protected:
    // Disconnects, then listens to `palette` (none when null) on behalf of
    // the view whose driver is `driver` (empty: no cache to maintain).
    void listen(qvPalette* palette, qvISafePtr<qvDriverObject> const& driver);
    // The layer's area, null when the layer is gone.
    virtual qvViewArea* target() const = 0;
    // The palette's publisher died: forget what depended on the palette.
    virtual void palette_gone() {}
    // Invalidates the whole layer, notifying only the first time.
    void invalidate_once(qvViewArea& layer);
    // Drops one attribute from the driver's cache when all is known.
    void drop(long handle);
    void partner_destroyed(qvSenderBase* sender) override;

private:
    qvPalette* palette_ = nullptr;
    qvDriverAttributeCache* cache_ = nullptr;
    qvISafePtr<qvDriverObject> driver_;
    bool notify_ = true;
};
