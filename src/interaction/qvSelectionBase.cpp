// The proxy selections' shared view and callback (see qvSelectionBase.hpp).
//
// The callback's cost model: a hit that needs to know whether its shape is
// listed builds, once per select, a hash from handle to the number of
// listed single-shape graphics of that handle; later hits are one lookup. A
// select whose hits never ask pays nothing per listed graphic. Only a
// toggle's removal walks the list, to take the first match in list order.

#include <orvane/interaction/qvSelectionBase.hpp>

#include "interaction/qvSelectionReach.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/shapes/qvScene.hpp>
#include <orvane/views/qvRenderingHelper.hpp>
#include <orvane/views/qvViewFilter.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvGraphicListDataAccess.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewManagerObject.hpp>

#include <algorithm>

namespace {

[[noreturn]] void raise_selection_error(char const* text) { qvRaise(qvErrorFrom<qvSelectionBase>(text)); }

// The shape handle of a listed graphic, or false for a graphic that is no
// single-shape proxy or has no record (those never match).
bool selection_listed_handle(qvGraphic const& graphic, long& handle) {
    auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(graphic.get());
    if (proxy == nullptr || proxy->record() == nullptr)
        return false;
    handle = proxy->record()->shape_handle;
    return true;
}

// Between selects a selection's scene layer is parked: always dirty, so a
// scene edit's invalidation records nothing (a wholly invalid layer stays
// so), and restricted from notifying, so nothing climbs to its view. An
// edit then costs the selection's view one flag test, however many come.
constexpr unsigned selection_parked_flags =
    qvViewRendering::always_dirty_flag | qvViewRendering::restrict_notification_flag;

// Parks the layer again when a select's render ends, also by an exception.
class SelectionParkScope {
public:
    explicit SelectionParkScope(qvViewSceneLayer const& layer) : layer_(layer) {
        layer_->flags(layer_->flags() & ~static_cast<unsigned>(qvViewRendering::always_dirty_flag));
    }
    ~SelectionParkScope() { qvSelectionPark(layer_); }
    SelectionParkScope(SelectionParkScope const&) = delete;
    SelectionParkScope& operator=(SelectionParkScope const&) = delete;

private:
    qvViewSceneLayer const& layer_;
};

}  // namespace

// ---------------------------------------------------------------------------
// Shared helpers

qvViewManager qvSelectionView() {
    qvViewManager view = qvViewCreator::create();
    QV_ASSERT_TEXT(view, "view");
    view->background()->fill_style(qvFillStyle{1});
    return view;
}

void qvSelectionPark(qvViewSceneLayer const& layer) { layer->flags(layer->flags() | selection_parked_flags); }

void qvSelectionRender(qvViewManager const& view, qvViewSceneLayer const& layer, qvMathRectOf<double> const& area) {
    const SelectionParkScope unparked(layer);
    // Whatever the view holds from before (the invalidation of its making,
    // a clone's copied area) would be repaired too, and hits there
    // reported: the select renders its own box only.
    view->validate();
    layer->validate();
    view->redraw(qvRegion(area), true);
}

// The direct road. A selection's view holds its hollow background and one
// scene layer and nothing else, and its selector draws nothing, so the
// redraw of one box comes down to what the scene layer does for it: its
// rendering helper in front of a fresh selector port, the scene and the
// transformation (origin (0, 0), the layer's mapping) set on it, the box
// grown by the added width as the device box, and one scene call over the
// port's model box for the layer (-1: every layer) front to back. Doing
// only that hands the selector the same records in the same order (the
// tests compare both roads) without the view's prepare, render buffer and
// clean-up. A layer with a view filter takes the view's road, which asks
// the filter, and one with a clip or an invalidation restriction (a clone
// of a view's layer may bring them) the view's, which cuts the area by them.
bool qvSelectionRenderDirect(qvViewSceneLayer const& layer, qvDriverObject& selector,
                             qvMathRectOf<double> const& area) {
    qvISafePtr<qvVBufObject> vbuf;
    return qvSelectionRenderDirect(layer, selector, area, vbuf);
}

bool qvSelectionRenderDirect(qvViewSceneLayer const& layer, qvDriverObject& selector,
                             qvMathRectOf<double> const& area, qvISafePtr<qvVBufObject>& vbuf) {
    if (layer->view_filter() != nullptr || !layer->no_clipping() || !layer->no_local_device_clipping() ||
        !layer->no_device_clipping() || !layer->restrict_invalidation().empty())
        return false;
    // The region of one rectangle, without making one: empty unless the
    // rectangle has area (a NaN has none), else the rectangle itself.
    if (!(area.x1 < area.x2 && area.y1 < area.y2))
        return true;
    qvScene* scene = nullptr;
    try {
        scene = &layer->scene();
    } catch (qvAssertionError const&) {
        return true;  // a layer over no scene draws nothing
    }
    if (!vbuf || &vbuf->driver() != &selector)
        vbuf = selector.new_master_vbuf();
    const qvISafePtr<qvDrawObject> draw = vbuf ? vbuf->new_draw() : qvISafePtr<qvDrawObject>();
    qvFlavorPort* const port = draw ? qvQueryInterface<qvFlavorPort>(draw.get()) : nullptr;
    if (port == nullptr)
        return true;
    qvRenderingHelper helper(*port, &*layer);
    helper.scene(scene);
    helper.transformation(qvTranslation(0.0, 0.0) * layer->mapping());
    qvMathRectOf<double> const& box = area;
    const double g = static_cast<double>(selector.added_width());
    helper.device_bbox(qvMathRectOf<double>(box.x1 - g, box.y1 - g, box.x2 + g, box.y2 + g));
    const qvMathRectOf<double> model = helper.model_bbox();
    scene->render(helper, layer->layer(), model, true);
    return true;
}

// The reach is added outside the spot's box: a record whose box comes
// within tolerance plus reach of the spot may hit and must be asked.
qvMathRectOf<double> qvSpotArea(qvMathRectOf<double> const& box, double tolerance, double reach) {
    const double grow = (tolerance > 0.0 ? 0.0 : 0.5) + (reach > 0.0 ? reach : 0.0);
    return qvMathRectOf<double>(box.x1 - grow, box.y1 - grow, box.x2 + grow, box.y2 + grow);
}

qvContainerScene& qvSelectionBase::container_of(qvViewSceneLayerObject& layer) {
    qvScene* shown = nullptr;
    try {
        shown = &layer.scene();
    } catch (qvAssertionError const&) {
        shown = nullptr;  // the layer's scene is gone
    }
    auto* const container = shown != nullptr ? qvQueryInterface<qvContainerScene>(shown) : nullptr;
    if (container == nullptr)
        raise_selection_error("Cannot use proxy selection with non-container scene");
    return *container;
}

qvContainerScene& qvSelectionBase::container_of(qvViewSceneLayer const& layer) {
    if (!layer)
        raise_selection_error("Cannot use proxy selection with non-container scene");
    return container_of(*layer);
}

qvISafePtr<qvDriverObject> qvSelectionBase::view_driver(qvViewSceneLayer const& layer) {
    if (!layer)
        return {};
    qvViewManagerObject* const manager = layer->view();
    return manager != nullptr ? manager->driver() : qvISafePtr<qvDriverObject>();
}

// ---------------------------------------------------------------------------
// The view

qvSelectionBase::qvSelectionBase() : reach_(std::make_unique<qvSelectionReach>()) {}

qvSelectionBase::~qvSelectionBase() = default;

double qvSelectionBase::reach() {
    return reach_->widest(callback_.scene());
}

void qvSelectionBase::build_view(qvISafePtr<qvDriverObject> const& selector) {
    qvViewManager view = qvSelectionView();
    renderer_ = qvDeviceRenderer(selector, view);
    view_ = view;
}

void qvSelectionBase::initialize(qvISafePtr<qvDriverObject> const& selector, qvContainerScene& scene) {
    vbuf_ = qvISafePtr<qvVBufObject>();
    build_view(selector);
    callback_.scene(&scene);
    layer_ = qvViewSceneLayer(scene, -1);
    layer_->mapping(qvRestrictedTransformation::identity());
    view_->add(qvViewLayer(layer_), qvOrderLast);
    qvSelectionPark(layer_);
}

void qvSelectionBase::initialize(qvISafePtr<qvDriverObject> const& selector, qvViewSceneLayerObject& layer) {
    vbuf_ = qvISafePtr<qvVBufObject>();
    qvContainerScene& scene = container_of(layer);
    const qvViewSceneLayer twin(layer.clone());
    QV_ASSERT_TEXT(twin, "layer");
    build_view(selector);
    callback_.scene(&scene);
    layer_ = twin;
    view_->add(qvViewLayer(layer_), qvOrderLast);
    qvSelectionPark(layer_);
}

bool qvSelectionBase::select(qvGraphicListDataAccess* list, qvMathRectOf<double> const& area, unsigned flags,
                             qvDriverObject& selector) {
    if (list == nullptr)
        return false;
    callback_.setup(list, flags);
    if (!qvSelectionRenderDirect(layer_, selector, area, vbuf_))
        qvSelectionRender(view_, layer_, area);
    return callback_.found();
}

// ---------------------------------------------------------------------------
// The callback

void qvSelectionBase::Callback::setup(qvGraphicListDataAccess* list, unsigned flags) {
    list_ = list;
    toggle_ = (flags & 0x02u) != 0;
    stop_at_first_ = (flags & 0x01u) == 0;
    query_only_ = (flags & 0x04u) != 0;
    found_ = false;
    if ((flags & 0x10u) != 0 && !query_only_)
        list_->remove_all();
    list_was_empty_ = list_->size() == 0;
    hashed_ = false;
    listed_.clear();
    seen_.clear();
    seen_many_.clear();
}

bool qvSelectionBase::Callback::first_report(long handle) {
    if (seen_many_.empty()) {
        if (std::find(seen_.begin(), seen_.end(), handle) != seen_.end())
            return false;
        if (seen_.size() < seen_scan_limit) {
            seen_.push_back(handle);
            return true;
        }
        seen_many_.insert(seen_.begin(), seen_.end());
    }
    return seen_many_.insert(handle).second;
}

bool qvSelectionBase::Callback::listed(long handle) {
    if (!hashed_) {
        for (qvIndirectIterator<qvGraphic> it = list_->enumerate(); it; ++it) {
            long listed_handle = 0;
            if (selection_listed_handle(*it, listed_handle))
                ++listed_[listed_handle];
        }
        hashed_ = true;
    }
    const auto found = listed_.find(handle);
    return found != listed_.end() && found->second > 0;
}

void qvSelectionBase::Callback::remove_listed(long handle) {
    for (qvIndirectIterator<qvGraphic> it = list_->enumerate(); it; ++it) {
        long listed_handle = 0;
        if (selection_listed_handle(*it, listed_handle) && listed_handle == handle) {
            list_->remove(it);
            if (--listed_[handle] == 0)
                listed_.erase(handle);
            return;
        }
    }
}

bool qvSelectionBase::Callback::selected(qvShapeBase const* record, qvScene const* scene) {
    if (scene == nullptr || scene != static_cast<qvScene const*>(scene_) || list_ == nullptr)
        return true;
    const long handle = record->shape_handle;
    if (!first_report(handle))
        return !stop_at_first_;
    if (!query_only_)
        found_ = true;
    if (!list_was_empty_ && listed(handle)) {
        if (query_only_) {
            found_ = true;
            return false;
        }
        if (toggle_)
            remove_listed(handle);
        return !stop_at_first_;
    }
    if (!query_only_) {
        const qvGraphic graphic = scene_->instantiate(handle);
        list_->add(graphic);
        if (hashed_)
            ++listed_[handle];
    }
    return !stop_at_first_;
}
