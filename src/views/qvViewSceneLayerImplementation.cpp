// The scene layer: a scene drawn through a flavour port, and its changes
// heard through two collectors.
//
// Cost model of a render: the work region is the prepared region cut to
// the buffer's clip (one intersection); then one scene query per box handed
// over: the work region's bounding box, or each of its rectangles when the
// layer disassembles its region. The model area of each query is the port's
// own inverse of the device box grown by the added width, so a paged
// scene's quadtree sees only what is to be repaired. The helpers are
// members, pointed at the buffer's port per render: a render makes none.

#include "views/qvViewSceneLayerImplementation.hpp"

#include "views/qvViewHeldForCall.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/shapes/qvScene.hpp>
#include <orvane/views/qvViewFilter.hpp>
#include <orvane/views/qvViewLayer.hpp>
#include <orvane/views/qvViewManager.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <new>

namespace {

// The handle of a scene layer just made (empty for null), holding its one
// count.
qvViewBaseLayer scene_layer_handle(qvViewSceneLayerImplementation* layer) {
    return qvViewBaseLayer(static_cast<qvViewBaseLayerObject*>(static_cast<qvViewSceneLayerObject*>(layer)));
}

}  // namespace

// Constant data: nothing to register at start-up.
constinit const qvViewSceneLayerImplementation::RenderProcedure
    qvViewSceneLayerImplementation::render_procedure[4] = {
        &qvViewSceneLayerImplementation::do_render_dn,
        &qvViewSceneLayerImplementation::do_render_dN,
        &qvViewSceneLayerImplementation::do_render_Dn,
        &qvViewSceneLayerImplementation::do_render_DN,
};

// ---------------------------------------------------------------------------
// Construction

qvViewSceneLayerImplementation::qvViewSceneLayerImplementation() = default;

qvViewSceneLayerImplementation::qvViewSceneLayerImplementation(qvScene* scene, int layer) { reset(scene, layer); }

// The collectors go first, so no event reaches a layer half taken apart.
qvViewSceneLayerImplementation::~qvViewSceneLayerImplementation() {
    rect_collector_.disconnect_all();
    attr_collector_.disconnect_all();
    stop_notification();
    rendering_helper_.clear_target();
    filter_helper_.clear_target();
}

qvViewBaseLayer qvViewSceneLayerObject::create(qvScene& scene, int layer) {
    return scene_layer_handle(new (std::nothrow) qvViewSceneLayerImplementation(&scene, layer));
}

qvViewBaseLayer qvViewSceneLayerImplementation::clone() {
    auto* const twin = scene_ != nullptr ? new (std::nothrow) qvViewSceneLayerImplementation(scene_, layer_)
                                         : new (std::nothrow) qvViewSceneLayerImplementation;
    QV_ASSERT_TEXT(twin != nullptr, "p.get()");
    const qvViewBaseLayer held = scene_layer_handle(twin);
    twin->copy(static_cast<qvViewDataLayerObject const&>(*this));
    twin->scene_ = scene_;
    twin->layer_ = layer_;
    return held;
}

void qvViewSceneLayerImplementation::copy(qvViewSceneLayerObject const& source) {
    copy(static_cast<qvViewDataLayerObject const&>(source));
    scene_ = &source.scene();
    layer_ = source.layer();
}

void* qvViewSceneLayerImplementation::query_interface(qvInterfaceInfo const& info) {
    if (void* found = qvViewDataLayerImplementation::query_interface(info))
        return found;
    return qvOfferInterfaces<qvViewSceneLayerObject>(this, info);
}

// ---------------------------------------------------------------------------
// The scene

qvScene& qvViewSceneLayerImplementation::scene() const {
    QV_ASSERT_TEXT(scene_ != nullptr, "scene");
    return *scene_;
}

// Also the rectangle collector's answer to the scene's end (scene null):
// then connecting disconnects only, and nothing is filed with the dying
// sender.
void qvViewSceneLayerImplementation::reset(qvScene* scene, int layer) {
    scene_ = scene;
    layer_ = layer;
    rect_collector_.attach(this);
    attr_collector_.attach(this);
    rect_collector_.connect(scene_);
    attr_collector_.connect(scene_);
    reinitialize();
}

// ---------------------------------------------------------------------------
// View

void qvViewSceneLayerImplementation::view(qvViewManager const& manager) {
    if (manager.get() == view())
        return;
    attr_collector_.flush();
    qvViewDataLayerImplementation::view(manager);
}

void qvViewSceneLayerImplementation::reinitialize() {
    qvViewDataLayerImplementation::reinitialize();
    added_width_ = 0.0;
    qvViewManagerObject* const manager = view();
    if (manager == nullptr)
        return;
    if (const qvISafePtr<qvDriverObject> driver = manager->driver())
        added_width_ = static_cast<double>(driver->added_width());
    rect_collector_.connect(scene_);
    attr_collector_.connect(scene_);
}

void qvViewSceneLayerImplementation::cleanup() {
    qvViewDataLayerImplementation::cleanup();
    rect_collector_.rearm();
    attr_collector_.rearm();
}

// ---------------------------------------------------------------------------
// Render

qvFlavorPort* qvViewSceneLayerImplementation::flavor_port(qvViewVBuf& vbuf) { return vbuf.port(); }

bool qvViewSceneLayerImplementation::render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    vbuf.push();
    try {
        render_work(vbuf, origin);
    } catch (...) {
        rendering_helper_.clear_target();
        filter_helper_.clear_target();
        vbuf.pop();
        vbuf.enforce_settings();
        throw;
    }
    rendering_helper_.clear_target();
    filter_helper_.clear_target();
    vbuf.pop();
    vbuf.enforce_settings();
    return true;
}

void qvViewSceneLayerImplementation::render_work(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    work_ = prepared_region();
    work_ *= vbuf.clipping();
    if (work_.empty() || scene_ == nullptr)
        return;

    qvViewFilter* const filter = view_filter();
    unsigned mode = 0;
    if (filter != nullptr) {
        const qvViewHeldForCall hold(*this);
        mode = filter->layer_mode(qvViewLayer(static_cast<qvViewLayerObject*>(this)));
    }
    filtered_ = (mode & 1u) != 0;
    if (filtered_ && !accepts_layer(layer_)) {
        // Counts as drawn: the filter chose to leave it out.
        validate(work_);
        return;
    }

    qvFlavorPort* const port = flavor_port(vbuf);
    if (port == nullptr)
        return;
    if ((mode & 2u) != 0 && filter != nullptr) {
        filter_helper_.retarget(*port, this, filter);
        current_ = &filter_helper_;
    } else {
        rendering_helper_.retarget(*port, this);
        current_ = &rendering_helper_;
    }
    if (!no_local_device_clipping())
        vbuf.mul_clipping(local_device_clipping());
    vbuf.enforce_settings();
    current_->scene(scene_);
    current_->transformation(qvTranslation(origin.x, origin.y) * mapping());

    const int index = (layer_ == -1 ? 1 : 0) + (disassemble_region() ? 2 : 0);
    (this->*render_procedure[index])(vbuf, origin);
}

bool qvViewSceneLayerImplementation::accepts_layer(int number) {
    const qvViewHeldForCall hold(*this);
    return view_filter()->accept_layer(qvViewLayer(static_cast<qvViewLayerObject*>(this)), number);
}

qvMathRectOf<double> qvViewSceneLayerImplementation::model_area(qvMathRectOf<double> const& area) {
    const double g = added_width_;
    current_->device_bbox(qvMathRectOf<double>(area.x1 - g, area.y1 - g, area.x2 + g, area.y2 + g));
    return current_->model_bbox();
}

void qvViewSceneLayerImplementation::draw_scene_layer(int number, qvMathRectOf<double> const& model) {
    scene_->render(*current_, number, model, drawing_direction());
}

// The scene is asked for its layer count before every step: a flavour
// renderer may add a layer while drawing, and a stale count would ask the
// scene for a layer it no longer has.
void qvViewSceneLayerImplementation::draw_all_layers(qvMathRectOf<double> const& model) {
    if (!filtered_) {
        draw_scene_layer(-1, model);
        return;
    }
    const bool reverse = drawing_direction();
    for (int i = 0; scene_ != nullptr && i < scene_->total_layers(); ++i) {
        const int number = reverse ? scene_->total_layers() - 1 - i : i;
        if (accepts_layer(number))
            draw_scene_layer(number, model);
    }
}

void qvViewSceneLayerImplementation::draw_by_rectangles(qvViewVBuf& vbuf, qvCrdOf<double> const& origin,
                                                        bool all_layers) {
    try {
        for (qvIndirectRectIterator it = work_.enumerate(); it && scene_ != nullptr; ++it) {
            qvMathRectOf<double> const& r = *it;
            current_->draw().clip(
                qvGridRegion(qvMathRectOf<double>(r.x1 + origin.x, r.y1 + origin.y, r.x2 + origin.x, r.y2 + origin.y)));
            const qvMathRectOf<double> model = model_area(r);
            if (all_layers)
                draw_all_layers(model);
            else
                draw_scene_layer(layer_, model);
        }
    } catch (...) {
        vbuf.destroy_draw();
        throw;
    }
    vbuf.destroy_draw();
}

bool qvViewSceneLayerImplementation::do_render_dn(qvViewVBuf&, qvCrdOf<double> const&) {
    draw_scene_layer(layer_, model_area(work_.bbox()));
    return true;
}

bool qvViewSceneLayerImplementation::do_render_dN(qvViewVBuf&, qvCrdOf<double> const&) {
    draw_all_layers(model_area(work_.bbox()));
    return true;
}

bool qvViewSceneLayerImplementation::do_render_Dn(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    draw_by_rectangles(vbuf, origin, false);
    return true;
}

bool qvViewSceneLayerImplementation::do_render_DN(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    draw_by_rectangles(vbuf, origin, true);
    return true;
}
