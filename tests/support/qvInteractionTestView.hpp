#pragma once
// qvInteractionTestView: the view manipulators are driven on in tests: a
// memory scene (its own palette) under a scene layer at scale 2 and offset
// 10, a gadget layer registered in front (its gadget scene layers follow
// it, the scene layer becomes its child), a solid background, and a device
// renderer with backing store on a 200 x 150 raster test host window.
//
// qvManipulatorScript: a table of steps (op, x, y, flags) played on the
// view through a host-supplied step function; after each step it records
// the target's model geometry (a host-supplied reading), the gadget scenes'
// shapes (count, proxy class ids, style names, front to back by scene) and
// the window's invalidations since the previous step. A "handle" step
// picks by its device point through the host-supplied pick and expects the
// step's index (-1: none). The caller ends with the fresh-render check
// (fresh(): redraw what the window collected, then compare with a fresh
// full render).

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvFreshRenderCheck.hpp"
#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include <functional>
#include <string>
#include <vector>

// The shared attribute of `name` in the gadget palette, as a proxy (an
// empty one when no gadget scene holds the palette).
inline qvSharedAttributeProxy qvGadgetStyle(char const* name) {
    qvPalette* const palette = qvViewGadgetLayer::palette();
    EXPECT_NE(palette, nullptr);
    if (palette == nullptr)
        return qvSharedAttributeProxy();
    qvMemoryScene scene(palette, false);
    qvRectangle probe(scene, qvMathRectOf<double>(0, 0, 1, 1));
    EXPECT_TRUE(probe->connect_attribute(name)) << name;
    return qvSharedAttributeProxy(*palette, probe->attr_handle());
}

class qvInteractionTestView {
public:
    static constexpr long width = 200, height = 150;
    static qvRestrictedTransformation mapping() { return qvRestrictedTransformation(2, 2, 10, 10); }

    qvInteractionTestView() {
        qvViewBackgroundLayerObject& bg = *view_->background();
        const qvRgbColor paper(0.95f, 0.95f, 0.85f);
        bg.fill_color(paper);
        bg.fill_background_color(paper);
        bg.fill_style(qvFillStyle(2));
        layer_->mapping(mapping());
        view_->add(qvViewLayer(gadgets_), qvOrderLast);
        view_->add(qvViewLayer(layer_), qvOrderLast);
        qvRasterSettings settings;
        settings.window_width = width;
        settings.window_height = height;
        driver_ = qvRasterDriver::create(settings);
        renderer_ = qvDeviceRenderer(qvAsDriverHandle(driver_), view_);
        renderer_->backing_store(true);
    }
    qvInteractionTestView(qvInteractionTestView const&) = delete;
    qvInteractionTestView& operator=(qvInteractionTestView const&) = delete;

    qvMemoryScene& scene() noexcept { return scene_; }
    qvViewManager& view() noexcept { return view_; }
    qvViewSceneLayer& layer() noexcept { return layer_; }
    qvViewGadgetLayer& gadgets() noexcept { return gadgets_; }
    qvRasterDriver& driver() noexcept { return *driver_; }
    qvDeviceRenderer& renderer() noexcept { return renderer_; }

    // The device box of a model box.
    static qvMathRectOf<double> device(qvMathRectOf<double> const& model) { return qvTransformRect(model, mapping()); }

    // The library's handle styles have neither fill nor outline, which the
    // raster host draws as nothing; filled solid, a handle left at its old
    // place shows in the fresh-render check. Needs a gadget scene (a
    // manipulator activated); the restyled handles wait for a repair.
    static void fill_handles() {
        for (char const* name : {"HandleBar", "NewPoint"})
            qvGadgetStyle(name).fill_style(qvFillStyle{2});
    }

    // Draws the whole window and forgets what was collected so far.
    void redraw_whole() {
        renderer_->redraw(qvRegion(qvMathRectOf<double>(0, 0, width, height)), false);
        driver_->take_invalid();
    }
    // Repairs what the window collected, as a host's expose would.
    void repair() {
        const qvRegion invalid = driver_->take_invalid();
        if (!invalid.empty())
            renderer_->redraw(invalid, false);
    }
    ::testing::AssertionResult fresh() {
        repair();
        return qvFreshRenderCheck(*driver_, view_);
    }

private:
    qvMemoryScene scene_;
    qvViewManager view_ = qvViewCreator::create();
    qvViewSceneLayer layer_{scene_, -1};
    qvViewGadgetLayer gadgets_{0};
    qvISafePtr<qvRasterDriver> driver_;
    qvDeviceRenderer renderer_;
};

struct qvManipulatorStep {
    std::string op;
    double x = 0, y = 0;
    unsigned flags = 0;
    int expect = -1;  // the index a "handle" step must pick
};

struct qvManipulatorReport {
    std::string geometry;             // the host's reading of the target
    std::vector<std::string> gadgets;  // "<class id>:<style name>" per shape
    std::string invalid;               // the window's invalidations
    int handle = -1;                   // what a "handle" step picked
};

class qvManipulatorScript {
public:
    using Step = std::function<void(qvManipulatorStep const&)>;
    using Reading = std::function<std::string()>;
    using Pick = std::function<int(qvCrdOf<double>)>;

    qvManipulatorScript(qvInteractionTestView& view, Step step, Reading reading = {})
        : view_(view), step_(std::move(step)), reading_(std::move(reading)) {}

    // Gadget scenes looked at after each step, besides the device one.
    void watch(qvViewSceneLayer const& gadget_layer) { watched_.push_back(gadget_layer); }
    // How "handle" steps pick; without one they reach the step function.
    void pick(Pick pick) { pick_ = std::move(pick); }
    // The closing check of every script.
    ::testing::AssertionResult fresh() { return view_.fresh(); }

    std::vector<qvManipulatorReport> run(std::vector<qvManipulatorStep> const& steps) {
        std::vector<qvManipulatorReport> reports;
        for (qvManipulatorStep const& s : steps) {
            qvManipulatorReport report;
            if (s.op == "handle" && pick_) {
                report.handle = pick_(qvCrdOf<double>(s.x, s.y));
                EXPECT_EQ(report.handle, s.expect) << "handle picked at (" << s.x << ", " << s.y << ")";
            } else {
                step_(s);
            }
            if (reading_)
                report.geometry = reading_();
            std::vector<qvViewSceneLayer> layers{view_.gadgets()->gadget_scene_layer()};
            layers.insert(layers.end(), watched_.begin(), watched_.end());
            for (qvViewSceneLayer const& layer : layers)
                if (layer)
                    add_gadgets(layer, report.gadgets);
            // Repaired as a host's expose would, so the window stays what
            // the host shows.
            const qvRegion invalid = view_.driver().take_invalid();
            report.invalid = qvRasterText(invalid);
            if (!invalid.empty())
                view_.renderer()->redraw(invalid, false);
            reports.push_back(report);
        }
        return reports;
    }

private:
    static void add_gadgets(qvViewSceneLayer const& layer, std::vector<std::string>& out) {
        auto* const scene = qvQueryInterface<qvContainerScene>(&layer->scene());
        if (scene == nullptr)
            return;
        for (qvIndirectIterator<qvGraphic> it = scene->enumerate(-1); it; ++it) {
            auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(it->get());
            if (proxy == nullptr)
                continue;
            out.push_back(std::to_string(proxy->proxy_class_id()) + ":" + proxy->attribute_name()());
        }
    }
    qvInteractionTestView& view_;
    Step step_;
    Reading reading_;
    Pick pick_;
    std::vector<qvViewSceneLayer> watched_;
};
