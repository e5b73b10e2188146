// The point-set edit manipulator (see qvPointSetEditManipulator.hpp).
//
// Batches of handle changes (a rebuild, a deactivation) would each send one
// invalidation per handle made, moved or destroyed. They run with the handle
// scene's publisher muted by a scoped object, which, on every exit, resumes
// it quietly and sends one rectangle: the box of every handle point it saw
// before and after the batch, so no stale handle pixels stay behind.

#include <orvane/interaction/qvPointSetEditManipulator.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/shapes/qvScene.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include <algorithm>
#include <optional>

namespace {

[[noreturn]] void raise_point_set_edit_error(char const* text) {
    qvRaise(qvErrorFrom<qvPointSetEditManipulator>(text));
}

// The one point of handle i.
qvCrdOf<double> point_set_edit_handle_point(qvHandleBarManipulator& bar, int i) {
    const qvGraphic handle = bar[i];  // the adapter only borrows it
    qvAdapter<qvPointSetDataAccess> marker(handle);
    QV_ASSERT_TEXT(marker.get() != nullptr, "r");
    return marker->point(0);
}

void point_set_edit_place_handle(qvHandleBarManipulator& bar, int i, qvCrdOf<double> p) {
    const qvGraphic handle = bar[i];  // the adapter only borrows it
    qvAdapter<qvPointSetDataAccess> marker(handle);
    QV_ASSERT_TEXT(marker.get() != nullptr, "r");
    marker->point(0, p);
}

// Mutes a scene's publisher while alive and collects the model area the
// batch touched; resumes quietly and sends that area once, even when an
// error passes. A publisher already muted is left as it was.
class qvPointSetEditMute {
public:
    explicit qvPointSetEditMute(qvScene& scene) : scene_(scene), was_on_(scene.update_notification()) {
        if (was_on_)
            scene_.update_notification(false, true);
    }
    qvPointSetEditMute(qvPointSetEditMute const&) = delete;
    qvPointSetEditMute& operator=(qvPointSetEditMute const&) = delete;
    ~qvPointSetEditMute() {
        if (!was_on_)
            return;
        scene_.update_notification(true, true);
        if (area_)
            scene_.rect_sender().invalidate(*area_, -1);
    }

    void add(qvCrdOf<double> p) {
        const qvMathRectOf<double> dot(p.x, p.y, p.x, p.y);
        area_ = area_ ? qvMathRectOf<double>(std::min(area_->x1, p.x), std::min(area_->y1, p.y),
                                             std::max(area_->x2, p.x), std::max(area_->y2, p.y))
                      : dot;
    }

private:
    qvScene& scene_;
    bool was_on_;
    std::optional<qvMathRectOf<double>> area_;
};

}  // namespace

qvPointSetEditManipulator::~qvPointSetEditManipulator() {
    try {
        deactivate();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

void qvPointSetEditManipulator::require_active() const {
    if (!target_)
        raise_point_set_edit_error("Manipulator was not initialized yet");
}

// ---------------------------------------------------------------------------
// Activation

bool qvPointSetEditManipulator::activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer,
                                         qvGraphic graphic) {
    deactivate();
    if (!gadget_layer)
        raise_point_set_edit_error("Gadget layer is not initialized");
    {
        qvAdapter<qvPointSetDataAccess> points(graphic);
        if (points.get() == nullptr)
            return false;
    }
    if (!bar_.activate(std::move(gadget_layer), scene_layer))
        return false;
    target_ = std::move(graphic);
    scene_layer_ = std::move(scene_layer);
    try {
        notify(2);
    } catch (...) {
        deactivate();
        throw;
    }
    return true;
}

void qvPointSetEditManipulator::deactivate() {
    if (target_ && bar_.active()) {
        const qvViewSceneLayer handles = bar_.handle_layer();
        QV_ASSERT_TEXT(handles, "t");
        qvScene* scene = nullptr;
        try {
            scene = &handles->scene();
        } catch (qvError const&) {
            scene = nullptr;  // the gadget scene is gone: nothing to erase
        }
        if (scene != nullptr) {
            qvPointSetEditMute mute(*scene);
            for (int i = 0, n = bar_.size(); i < n; ++i) {
                // A handle whose shape other code destroyed has no pixels
                // left to repaint; the bar passes it over too.
                try {
                    mute.add(point_set_edit_handle_point(bar_, i));
                } catch (qvError const&) {
                }
            }
            bar_.deactivate();
        } else {
            bar_.deactivate();
        }
    }
    target_ = qvGraphic();
    scene_layer_ = qvViewSceneLayer();
    selected_ = -1;
}

void qvPointSetEditManipulator::notify(unsigned what) {
    require_active();
    if ((what & 2u) == 0) {
        bar_.notify(what);
        return;
    }
    rebuild();
}

void qvPointSetEditManipulator::rebuild() {
    const qvViewSceneLayer handles = bar_.handle_layer();
    QV_ASSERT_TEXT(handles, "t");
    qvPointSetEditMute mute(handles->scene());
    qvAdapter<qvPointSetDataAccess> points(target_);
    QV_ASSERT_TEXT(points.get() != nullptr, "r");
    for (int i = 0; i < points->size(); ++i) {
        const qvCrdOf<double> p = points->point(i);
        mute.add(p);
        if (i < bar_.size()) {
            mute.add(point_set_edit_handle_point(bar_, i));
            point_set_edit_place_handle(bar_, i, p);
        } else {
            const qvGraphic made = bar_.add_handle(p);
            if (auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(made.get()))
                proxy->connect_attribute("HandleBar");
        }
    }
    while (bar_.size() - 1 >= points->size()) {
        const int top = bar_.size() - 1;
        mute.add(point_set_edit_handle_point(bar_, top));
        bar_.remove_handle(top);
    }
    if (selected_ >= bar_.size())
        selected_ = -1;
}

// ---------------------------------------------------------------------------
// Dragging

bool qvPointSetEditManipulator::check(qvCrdOf<double> crd) {
    require_active();
    return bar_.selected(crd) >= 0;
}

int qvPointSetEditManipulator::selected_point(qvCrdOf<double> crd) {
    require_active();
    return bar_.selected(crd);
}

bool qvPointSetEditManipulator::begin(qvCrdOf<double> crd) {
    require_active();
    selected_ = bar_.selected(crd);
    return selected_ >= 0;
}

void qvPointSetEditManipulator::move(qvCrdOf<double> crd) {
    require_active();
    if (selected_ < 0)
        raise_point_set_edit_error("Handle bar is not selected");
    const qvCrdOf<double> p = scene_point(scene_layer_, crd);
    qvAdapter<qvPointSetDataAccess> points(target_);
    QV_ASSERT_TEXT(points.get() != nullptr, "r");
    points->point(selected_, p);
    point_set_edit_place_handle(bar_, selected_, p);
}

void qvPointSetEditManipulator::end() {
    require_active();
    selected_ = -1;
}
