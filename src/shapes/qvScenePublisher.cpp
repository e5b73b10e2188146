// The scene publisher: its switch and the refresh sent on resuming.

#include <orvane/shapes/qvScenePublisher.hpp>

qvScenePublisher::qvScenePublisher() : rect_sender_(true), handle_sender_(true) {}

qvScenePublisher::~qvScenePublisher() = default;

void qvScenePublisher::update_notification(bool enable, bool quiet) {
    rect_sender_.enabled(enable);
    handle_sender_.enabled(enable);
    suspended_ = !enable;
    if (enable && !quiet) {
        rect_sender_.invalidate();
        handle_sender_.invalidate();
    }
}
