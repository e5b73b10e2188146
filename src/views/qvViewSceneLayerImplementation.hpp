#pragma once
// qvViewSceneLayerImplementation: the data layer that shows a scene in a
// view, one scene layer or all of them (-1). It hears the scene's changed
// rectangles and its palette's attribute changes through two collectors,
// and draws by handing the scene a flavour port and a model area.
//
// A render runs one frame (see render in the source): clip to what the
// redraw repairs, ask the view filter, set up one of the two helpers over
// the render buffer's port, then call one of four render procedures from a
// constant table, picked by "all layers" and disassemble_region:
//   index 0  one layer, over the work region's bounding box
//   index 1  all layers, the scene's own loop or one call per accepted layer
//   index 2  one layer, once per rectangle of the work region
//   index 3  all layers, once per rectangle
//
// Keeps true:
//  - the scene is not owned; when it goes, its sender's farewell resets the
//    layer to no scene and layer -1, so no redraw reads a freed scene;
//  - the collectors point at this layer (weakly) from construction or the
//    first reset on, and are disconnected before any other member dies;
//  - the added width is the view driver's added_width() while the layer is
//    in a view with a driver, else 0;
//  - a render leaves the render buffer's clip stack as it found it, and the
//    helpers point at no port between renders, also after an exception;
//  - a region-by-region render ends with the buffer's draw object let go,
//    so the next user gets one whose clip follows the buffer again;
//  - render always answers true: a scene layer reports itself finished.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/views/qvRenderingFilterHelper.hpp>
#include <orvane/views/qvRenderingHelper.hpp>
#include <orvane/views/qvViewAttrCollector.hpp>
#include <orvane/views/qvViewRectCollector.hpp>
#include <orvane/views/qvViewSceneLayerObject.hpp>

#include <orvane/views/qvViewDataLayerImplementation.hpp>

class qvViewSceneLayerImplementation : public virtual qvViewSceneLayerObject,
                                       public qvViewDataLayerImplementation {
public:
    // No scene, layer -1; the collectors are neither attached nor connected.
    qvViewSceneLayerImplementation();
    // Over `scene` (null: none) and one of its layers (-1: all), connected.
    qvViewSceneLayerImplementation(qvScene* scene, int layer);
    qvViewSceneLayerImplementation(qvViewSceneLayerImplementation const&) = delete;
    qvViewSceneLayerImplementation& operator=(qvViewSceneLayerImplementation const&) = delete;
    ~qvViewSceneLayerImplementation() override;

    // ---- the scene -------------------------------------------------------------
    // Fails the assertion "scene" when the layer shows none.
    qvScene& scene() const override;
    // The scene shown, or null.
    qvScene* scene_pointer() const noexcept { return scene_; }
    int layer() const override { return layer_; }
    // The layer keeps no cache of its own: the setter is ignored.
    void cache(bool) override {}
    bool cache() const override { return false; }
    // Shows `scene`'s `layer` from now on: reconnects both collectors, then
    // reinitialize().
    void reset(qvScene* scene, int layer) override;
    double added_width() const noexcept { return added_width_; }

    // ---- copies ------------------------------------------------------------------
    // The data-layer state, then the source's scene and layer; the collectors
    // stay as they are. The source must show a scene (its scene() is asked).
    void copy(qvViewSceneLayerObject const& source);
    using qvViewDataLayerImplementation::copy;
    // A new scene layer over the same scene and layer, connected, with this
    // layer's data-layer state; a scene-less layer gives a scene-less one.
    qvViewBaseLayer clone() override;

    // ---- view and redraw -----------------------------------------------------------
    // Nothing when `manager` is the view already set; otherwise the old
    // driver's cache forgets the palette first.
    void view(qvViewManager const& manager) override;
    using qvViewDataLayerImplementation::view;
    void reinitialize() override;
    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override;
    // The layer base's cleanup, then both collectors re-armed.
    void cleanup() override;

    void* query_interface(qvInterfaceInfo const& info) override;

protected:
    // The port the layer draws through: the render buffer's.
    virtual qvFlavorPort* flavor_port(qvViewVBuf& vbuf);

private:
    using RenderProcedure = bool (qvViewSceneLayerImplementation::*)(qvViewVBuf&, qvCrdOf<double> const&);

    // The four ways of handing the work region to the scene.
    bool do_render_dn(qvViewVBuf& vbuf, qvCrdOf<double> const& origin);
    bool do_render_dN(qvViewVBuf& vbuf, qvCrdOf<double> const& origin);
    bool do_render_Dn(qvViewVBuf& vbuf, qvCrdOf<double> const& origin);
    bool do_render_DN(qvViewVBuf& vbuf, qvCrdOf<double> const& origin);
    // Constant data, indexed by (layer() == -1) + 2 * disassemble_region.
    static const RenderProcedure render_procedure[4];

    // Steps 4 to 11 of the frame, inside the buffer's push and pop.
    void render_work(qvViewVBuf& vbuf, qvCrdOf<double> const& origin);
    // Sets device box `area` grown by the added width on the current port and
    // answers its model box.
    qvMathRectOf<double> model_area(qvMathRectOf<double> const& area);
    // One scene call for scene layer `number` over `model`.
    void draw_scene_layer(int number, qvMathRectOf<double> const& model);
    // Scene layer -1, or each scene layer the filter accepts, over `model`.
    void draw_all_layers(qvMathRectOf<double> const& model);
    // The rectangles of the work region, one by one, each as its own clip.
    void draw_by_rectangles(qvViewVBuf& vbuf, qvCrdOf<double> const& origin, bool all_layers);
    // Asks the filter about scene layer `number` with a handle of this layer.
    bool accepts_layer(int number);

    qvScene* scene_ = nullptr;
    int layer_ = -1;
    qvViewRectCollector rect_collector_;
    qvViewAttrCollector attr_collector_;
    double added_width_ = 0.0;
    bool filtered_ = false;
    qvGridRegion work_;
    qvRenderingHelper rendering_helper_;
    qvRenderingFilterHelper filter_helper_;
    qvRenderingHelper* current_ = &rendering_helper_;
};
