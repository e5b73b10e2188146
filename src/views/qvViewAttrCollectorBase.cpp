// The attribute collectors' shared machinery: the palette they listen to,
// the view driver's attribute cache, and the notify-once rule.

#include <orvane/views/qvViewAttrCollectorBase.hpp>

#include <orvane/attributes/qvPalette.hpp>
#include <orvane/rendering/qvDriverAttributeCache.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/views/qvViewArea.hpp>

qvViewAttrCollectorBase::~qvViewAttrCollectorBase() { disconnect_all(); }

void qvViewAttrCollectorBase::listen(qvPalette* palette, qvISafePtr<qvDriverObject> const& driver) {
    disconnect_all();
    notify_ = true;
    cache_ = nullptr;
    driver_ = driver;
    if (driver_)
        cache_ = qvQueryInterface<qvDriverAttributeCache>(driver_.get());
    palette_ = palette;
    if (palette_ != nullptr)
        connect(palette_->publisher());
    ordered(true);
}

void qvViewAttrCollectorBase::rearm() {
    ordered(true);
    notify_ = true;
}

void qvViewAttrCollectorBase::flush() {
    if (target() == nullptr || !driver_ || cache_ == nullptr || palette_ == nullptr)
        return;
    cache_->drop_all(palette_);
    ordered(false);
}

void qvViewAttrCollectorBase::invalidate_once(qvViewArea& layer) {
    if (notify_) {
        notify_ = layer.invalidate(true) ? false : true;
        return;
    }
    layer.invalidate(false);
}

void qvViewAttrCollectorBase::drop(long handle) {
    if (driver_ && cache_ != nullptr && palette_ != nullptr)
        cache_->drop(palette_, handle);
}

void qvViewAttrCollectorBase::invalidate() {
    qvViewArea* const layer = target();
    if (layer == nullptr)
        return;
    layer->invalidate(true);
    if (driver_ && cache_ != nullptr && palette_ != nullptr) {
        cache_->drop_all(palette_);
        ordered(false);
    }
}

void qvViewAttrCollectorBase::partner_destroyed(qvSenderBase*) {
    palette_ = nullptr;
    palette_gone();
}
