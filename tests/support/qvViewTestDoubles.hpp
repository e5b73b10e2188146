#pragma once
// Stand-ins for the pieces of a view that come later, so the layer base can
// be driven through its whole invalidation climb:
//   qvRecordingRenderer  a renderer whose driver, window buffer and window
//                        size the test sets; it logs every call of its
//                        qvVBufInvalidate face and of redraw, and its
//                        callback_ready() answers what the test switched
//   qvTestViewManager    a layer implementation with the view-manager
//                        interface: its renderer is held weakly; the layer
//                        list is a plain vector; the rest does nothing
//   qvTestLayer          a leaf layer logging prepare, render and cleanup,
//                        whose render answers a scripted bool
//   qvTestDataLayer      a data layer whose render logs its pending region
//                        and origin and fills pending ∩ the buffer's
//                        clipping with a rectangle record of a given
//                        attribute, drawn in device coordinates
//   qvTestFlavorClass    a flavour class under a given id whose renderer
//                        logs each record's kind and the port it got and
//                        answers a scripted bool (registered while alive,
//                        when the id is free)
//   qvTestSceneLayer     a data layer with the scene-layer interface and
//                        its two collectors wired as a scene layer wires
//                        them; its render only logs
//   qvScriptedFilter     a view filter with a scripted layer_mode, answers
//                        of accept_layer per layer number, a predicate for
//                        accept_shape, and a log of the questions
// Each is counted: hold it in a handle (qvBaseRenderer, qvViewManager,
// qvViewLayer) as the library's own layers are held.

#include <orvane/core/qvStlIterator.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/rendering/qvFlavorPortTransformation.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvFlavorClass.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvViewBaseLayer.hpp>
#include <orvane/views/qvViewFilter.hpp>
#include <orvane/views/qvViewLayer.hpp>
#include <orvane/views/qvViewManager.hpp>
#include <orvane/views/qvViewAttrCollector.hpp>
#include <orvane/views/qvViewRectCollector.hpp>
#include <orvane/views/qvViewSceneLayerObject.hpp>
#include <orvane/views/qvViewVBuf.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/shapes/qvRectangleData.hpp>

#include "qvDriverHandle.hpp"
#include "qvRasterDriver.hpp"
#include <orvane/views/qvViewDataLayerImplementation.hpp>
#include <orvane/views/qvViewLayerImplementation.hpp>
#include <orvane/views/qvViewTransformationImplementation.hpp>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

// A raster driver's window, 100 x 80 unless told, and render buffers over
// all of it: the usual drawing target of the view tests.
struct qvRasterTestWindow {
    qvISafePtr<qvRasterDriver> driver;
    qvISafePtr<qvVBufObject> window;

    explicit qvRasterTestWindow(long width = 100, long height = 80) {
        qvRasterSettings settings;
        settings.window_width = width;
        settings.window_height = height;
        driver = qvRasterDriver::create(settings);
        window = driver->new_master_vbuf();
    }
    qvViewVBuf vbuf() const {
        const double w = static_cast<double>(window->width()), h = static_cast<double>(window->height());
        return qvViewVBuf(window, qvRegion(qvMathRectOf<double>(0, 0, w, h)), {0, 0});
    }
};

// The grid region of some rectangles, and whether two regions cover the same
// area, however they split it.
inline qvGridRegion qvGridOf(std::initializer_list<qvMathRectOf<double>> rects) {
    qvGridRegion g;
    for (qvMathRectOf<double> const& r : rects)
        g += r;
    return g;
}

inline bool qvSameArea(qvBaseRegion const& a, qvBaseRegion const& b) { return qvGridRegion(a) == qvGridRegion(b); }

class qvRecordingRenderer : public virtual qvBaseRendererObject,
                            public qvViewTransformationImplementation {
public:
    // "open", "close", "region", "rect", "point", "all" and "redraw", in
    // call order; the region of each "region", "rect" and "redraw" call in
    // `areas`, in the same order.
    std::vector<std::string> log;
    std::vector<qvRegion> areas;
    bool ready = true;
    long window_width = 0, window_height = 0;

    // ---- qvVBufInvalidate ----------------------------------------------------
    void open_callback(bool open) override {
        log.push_back(open ? "open" : "close");
        ready = open;
    }
    bool callback_ready() override { return ready; }
    bool invalidate(qvBaseRegion const& region) override {
        return record("region", qvRegion(region));
    }
    bool invalidate(qvMathRectOf<double> const& rect) override {
        return record("rect", qvRegion(rect));
    }
    bool invalidate(qvCrdOf<double> const& point) override { return record("point", qvRegion(point)); }
    bool invalidate() override {
        log.push_back("all");
        return true;
    }

    // ---- qvBaseRendererObject -------------------------------------------------
    bool redraw(qvBaseRegion const& area, bool) override { return record("redraw", qvRegion(area)); }
    void view_manager(qvViewManager const& manager) override { manager_ = manager; }
    qvViewManagerObject* view_manager() const override { return manager_.get(); }
    void driver(qvISafePtr<qvDriverObject> const& driver) override { driver_ = driver; }
    qvISafePtr<qvDriverObject> driver() const override { return driver_; }
    void vbuf(qvISafePtr<qvVBufObject> const& window) override { window_ = window; }
    qvISafePtr<qvVBufObject> vbuf() const override { return window_; }
    long width() const override { return window_width; }
    long height() const override { return window_height; }
    bool no_clipping() const override { return !clip_on_; }
    void clipping(qvBaseRegion const* region) override {
        clip_on_ = region != nullptr;
        if (region != nullptr)
            clip_ = *region;
        else
            clip_.erase();
    }
    qvBaseRegion const& clipping() const override { return clip_; }
    void origin(qvCrdOf<double> const& origin) override { origin_ = origin; }
    qvCrdOf<double> origin() const override { return origin_; }
    void update() override {}
    void copy_by_rectangles(bool on) override { by_rectangles_ = on; }
    bool copy_by_rectangles() const override { return by_rectangles_; }

    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvBaseRendererObject, qvVBufInvalidate>(this, info);
    }

private:
    bool record(char const* what, qvRegion area) {
        log.push_back(what);
        areas.push_back(std::move(area));
        return true;
    }

    qvIWeakPtr<qvViewManagerObject> manager_;
    qvISafePtr<qvDriverObject> driver_;
    qvISafePtr<qvVBufObject> window_;
    bool clip_on_ = false;
    qvRegion clip_;
    qvCrdOf<double> origin_{};
    bool by_rectangles_ = false;
};

class qvTestViewManager : public virtual qvViewManagerObject, public qvViewLayerImplementation {
public:
    using qvViewManagerObject::add;
    using qvViewAreaImplementation::gate;

    qvIndirectIterator<qvViewLayer> layers() override {
        return qvIndirectIterator<qvViewLayer>(new qvStlIterator<std::vector<qvViewLayer>>(layers_));
    }
    bool add(qvViewLayer const& layer, qvOrder, qvViewLayer const&, bool) override {
        layers_.push_back(layer);
        return true;
    }
    bool remove(qvViewLayer const& layer, bool) override {
        const auto found = std::find(layers_.begin(), layers_.end(), layer);
        if (found == layers_.end())
            return false;
        layers_.erase(found);
        return true;
    }
    void defer_update(bool, bool) override {}
    // Weakly, then the layer base finds its superior anew.
    void renderer(qvBaseRenderer const& renderer) override {
        renderer_ = renderer;
        reinitialize();
    }
    qvBaseRenderer renderer() const override { return qvBaseRenderer(renderer_); }
    qvISafePtr<qvDriverObject> driver() const override {
        return renderer_ ? renderer_->driver() : qvISafePtr<qvDriverObject>();
    }
    qvViewBackgroundLayerObject* background() const override { return nullptr; }
    bool redraw(qvBaseRegion const& region, bool front_to_back) override {
        return renderer_ && renderer_->redraw(region, front_to_back);
    }
    qvViewBaseLayer clone() override { return qvViewBaseLayer(); }

    void* query_interface(qvInterfaceInfo const& info) override {
        if (void* found = qvViewLayerImplementation::query_interface(info))
            return found;
        return qvOfferInterfaces<qvViewManagerObject>(this, info);
    }

private:
    std::vector<qvViewLayer> layers_;
    qvIWeakPtr<qvBaseRendererObject> renderer_;
};

class qvTestLayer : public qvViewLayerImplementation {
public:
    using qvViewAreaImplementation::copy_area_data;
    using qvViewAreaImplementation::gate;
    using qvViewLayerImplementation::find_superior;
    using qvViewLayerImplementation::notify_superior;
    using qvViewLayerImplementation::stop_notification;

    // "prepare <direction>", "render" and "cleanup", in call order; the
    // buffer's clipping at each render; the number of reinitialize calls.
    std::vector<std::string> calls;
    int reinitialized = 0;
    std::vector<qvRegion> clips_seen;
    bool render_answer = true;
    // Where render appends this layer's `name` (shared by several layers,
    // it shows their order), when set.
    std::vector<std::string>* order_log = nullptr;
    std::string name;

    void prepare(qvBaseRegion& region, bool front_to_back) override {
        calls.push_back(front_to_back ? "prepare 1" : "prepare 0");
        qvViewLayerImplementation::prepare(region, front_to_back);
    }
    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const&) override {
        calls.push_back("render");
        clips_seen.emplace_back(vbuf.clipping());
        if (order_log != nullptr)
            order_log->push_back(name);
        return render_answer;
    }
    void cleanup() override {
        calls.push_back("cleanup");
        qvViewLayerImplementation::cleanup();
    }
    void reinitialize() override {
        ++reinitialized;
        qvViewLayerImplementation::reinitialize();
    }
    // A new test layer with this one's settings (copy), in no tree.
    qvViewBaseLayer clone() override {
        auto* twin = new qvTestLayer;
        qvViewBaseLayer held(static_cast<qvViewBaseLayerObject*>(twin));
        twin->copy(*this);
        return held;
    }
};

class qvTestDataLayer : public qvViewDataLayerImplementation {
public:
    using qvViewAreaImplementation::gate;
    using qvViewLayerImplementation::stop_notification;

    // The pending region and the origin of each render, in call order.
    std::vector<qvRegion> rendered;
    std::vector<qvCrdOf<double>> origins;
    // What render fills with: the attribute of this palette (null: the
    // port's palette stays as it is).
    qvPalette* palette = nullptr;
    long attribute = 0;
    bool render_answer = true;

    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override {
        rendered.emplace_back(prepared_region());
        origins.push_back(origin);
        qvRegion area(prepared_region());
        area *= vbuf.clipping();
        if (area.empty())
            return render_answer;
        vbuf.push();
        vbuf.set_clipping(area);
        vbuf.enforce_settings();
        if (qvFlavorPort* const port = vbuf.port()) {
            const qvFlavorPortPalette keep_palette(*port, palette != nullptr ? palette : port->palette());
            const qvFlavorPortTransformation keep_mapping(*port, qvRestrictedTransformation::identity());
            qvShape<qvRectangleData> fill(qvRectangleKind);
            fill.size = static_cast<std::int32_t>(sizeof fill);
            qvMathRectOf<double> const& box = area.bbox();
            fill.box = qvMathRectOf<float>(static_cast<float>(box.x1), static_cast<float>(box.y1),
                                           static_cast<float>(box.x2), static_cast<float>(box.y2));
            fill.attribute_handle = static_cast<std::int32_t>(attribute);
            port->draw_shape(fill);
        }
        vbuf.pop();
        return render_answer;
    }

    // A new test data layer with this one's settings (copy), in no tree.
    qvViewBaseLayer clone() override {
        auto* twin = new qvTestDataLayer;
        qvViewBaseLayer held(static_cast<qvViewBaseLayerObject*>(static_cast<qvViewDataLayerObject*>(twin)));
        twin->copy(*this);
        twin->palette = palette;
        twin->attribute = attribute;
        twin->render_answer = render_answer;
        return held;
    }
};

class qvTestSceneLayer : public virtual qvViewSceneLayerObject, public qvViewDataLayerImplementation {
public:
    // "render", "cleanup" and "reinitialize", in call order.
    std::vector<std::string> calls;
    qvViewRectCollector rects;
    qvViewAttrCollector attributes;

    explicit qvTestSceneLayer(qvScene* scene = nullptr, int layer = -1) {
        rects.attach(this);
        attributes.attach(this);
        reset(scene, layer);
    }

    qvScene& scene() const override {
        QV_ASSERT(scene_ != nullptr);
        return *scene_;
    }
    qvScene* scene_pointer() const noexcept { return scene_; }
    int layer() const override { return layer_; }
    void cache(bool) override {}
    bool cache() const override { return false; }
    void reset(qvScene* scene, int layer) override {
        scene_ = scene;
        layer_ = layer;
        rects.connect(scene_);
        attributes.connect(scene_);
    }

    // Another view: the old driver's cache forgets the scene's palette.
    void view(qvViewManager const& manager) override {
        if (manager.get() != view())
            attributes.flush();
        qvViewDataLayerImplementation::view(manager);
    }
    using qvViewDataLayerImplementation::view;
    void reinitialize() override {
        calls.push_back("reinitialize");
        qvViewDataLayerImplementation::reinitialize();
        rects.connect(scene_);
        attributes.connect(scene_);
    }
    bool render(qvViewVBuf&, qvCrdOf<double> const&) override {
        calls.push_back("render");
        return true;
    }
    void cleanup() override {
        calls.push_back("cleanup");
        qvViewDataLayerImplementation::cleanup();
        rects.rearm();
        attributes.rearm();
    }
    qvViewBaseLayer clone() override {
        auto* twin = new qvTestSceneLayer(scene_, layer_);
        qvViewBaseLayer held(static_cast<qvViewBaseLayerObject*>(static_cast<qvViewSceneLayerObject*>(twin)));
        twin->copy(static_cast<qvViewDataLayerObject const&>(*this));
        return held;
    }
    void* query_interface(qvInterfaceInfo const& info) override {
        if (void* found = qvViewDataLayerImplementation::query_interface(info))
            return found;
        return qvOfferInterfaces<qvViewSceneLayerObject>(this, info);
    }

private:
    qvScene* scene_ = nullptr;
    int layer_ = -1;
};

class qvTestFlavorClass : public qvFlavorClass, private qvFlavorRenderer {
public:
    explicit qvTestFlavorClass(long id, bool answer_ = true) : qvFlavorClass(id), answer(answer_) {}
    qvTestFlavorClass(qvTestFlavorClass const&) = delete;
    qvTestFlavorClass& operator=(qvTestFlavorClass const&) = delete;

    bool answer;
    // The kind of each record and the port it came with, in call order.
    std::vector<long> kinds;
    std::vector<qvFlavorPort*> ports;

    qvFlavorRenderer& renderer() override { return *this; }

private:
    bool render(qvFlavorPort& port, qvShapeBase const& record) override {
        kinds.push_back(record.kind);
        ports.push_back(&port);
        return answer;
    }
};

class qvScriptedFilter : public qvViewFilter {
public:
    unsigned mode = 0;
    // accept_layer's answer per layer number; `other_layers` for the rest.
    std::map<int, bool> layer_answers;
    bool other_layers = true;
    // accept_shape's answer; none accepts every record.
    std::function<bool(qvShapeBase const&)> shape_answer;
    // "mode", "shape <kind>" and "layer <number>", in call order.
    mutable std::vector<std::string> log;

    unsigned layer_mode(qvViewLayer const&) const override {
        log.push_back("mode");
        return mode;
    }
    bool accept_shape(qvShapeBase const& record) const override {
        log.push_back("shape " + std::to_string(record.kind));
        return !shape_answer || shape_answer(record);
    }
    bool accept_layer(qvViewLayer const&, int number) const override {
        log.push_back("layer " + std::to_string(number));
        const auto found = layer_answers.find(number);
        return found == layer_answers.end() ? other_layers : found->second;
    }
};
