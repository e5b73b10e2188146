#pragma once
// qvSelectionTestView: the small view a selection builds around a scene,
// for tests that drive selectors down the whole rendering road: a memory
// scene (its own palette), a view manager whose background paints nothing
// (fill style 1), one scene layer over all the scene's layers with the
// identity mapping (selection coordinates are model coordinates), in
// front; and, for each selection, a device renderer on the given selector
// that renders the area at once with the prepare flag true (the scene then
// hands its records front to back), so every hit has reached the selector's
// callback when select returns.
//
// Keeps true: the scene outlives the layer (members in that order); the
// renderer lives for one select, the view manager holding it weakly.

#include <orvane/geometry/qvRegion.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewManager.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

class qvSelectionTestView {
public:
    qvSelectionTestView() {
        view_->background()->fill_style(qvFillStyle{1});
        layer_->mapping(qvRestrictedTransformation::identity());
        view_->add(layer_, qvOrderLast);  // 5: in front of every layer
    }
    qvSelectionTestView(qvSelectionTestView const&) = delete;
    qvSelectionTestView& operator=(qvSelectionTestView const&) = delete;

    qvMemoryScene& scene() noexcept { return scene_; }
    qvViewManager& view() noexcept { return view_; }
    qvViewSceneLayer& layer() noexcept { return layer_; }

    // Renders `area` through `selector` (a selector handle converts), with
    // the prepare flag `prepare`; the view manager's answer.
    bool select(qvISafePtr<qvDriverObject> const& selector, qvMathRectOf<double> const& area, bool prepare = true) {
        const qvDeviceRenderer renderer(selector, view_);
        return view_->redraw(qvRegion(area), prepare);
    }

private:
    qvMemoryScene scene_;
    qvViewManager view_ = qvViewCreator::create();
    qvViewSceneLayer layer_{scene_, -1};
};
