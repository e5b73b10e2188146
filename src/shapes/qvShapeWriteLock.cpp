// The modification guard (see qvShapeWriteLock.hpp).

#include <orvane/shapes/qvShapeWriteLock.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

namespace {

// The one road of every report: nothing while the scene's notification is off.
void send(qvContainerScene& scene, qvMathRectOf<double> const& area, int layer) {
    if (scene.update_notification())
        scene.rect_sender().invalidate(area, layer);
}

}  // namespace

int qvShapeWriteLock::check(qvSingleShapeProxyBase const& proxy) {
    // A proxy whose scene is gone is read-only too, so the scene below exists.
    if (proxy.read_only_)
        qvSingleShapeProxyBase::raise_read_only();
    return proxy.record_ != nullptr ? proxy.scene().edit_layer(*proxy.record_) : -1;
}

qvShapeWriteLock::qvShapeWriteLock(qvSingleShapeProxyBase& proxy, bool create, bool notify) : proxy_(&proxy) {
    layer_ = check(proxy);
    qvContainerScene& scene = proxy.scene();
    suppressed_ = !notify || !scene.update_notification();
    const bool outermost = proxy.guard_depth_++ == 0;
    try {
        if (outermost && proxy.record_ != nullptr && !suppressed_)
            send(scene, proxy.record_->bbox(), layer_);
        if (create && proxy.record_ == nullptr) {
            proxy.allocate(0);
            layer_ = 0;
        }
    } catch (...) {
        --proxy.guard_depth_;
        throw;
    }
    // Last, so that nothing raises after the scene was told.
    if (outermost && proxy.record_ != nullptr)
        scene.record_edit(*proxy.record_, true);
}

// The scene hears of the end of the edit before any receiver does, so a
// receiver that draws at once finds the record at its new box.
void qvShapeWriteLock::close() {
    open_ = false;
    if (--proxy_->guard_depth_ != 0 || proxy_->record_ == nullptr)
        return;
    proxy_->scene_->record_edit(*proxy_->record_, false);
    if (!suppressed_)
        send(*proxy_->scene_, proxy_->record_->bbox(), layer_);
}

qvShapeWriteLock::~qvShapeWriteLock() {
    if (!open_)
        return;
    try {
        close();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

void qvShapeWriteLock::report(qvMathRectOf<double> const& area) const {
    send(proxy_->scene(), area, layer_);
}
