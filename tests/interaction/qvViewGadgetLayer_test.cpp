// The gadget palette and the gadget layer: one palette shared while any
// gadget scene lives, made afresh after the last one; gadget scene layers
// registered after the gadget layer and taken out again whenever the layer
// leaves its view or dies.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvGadgetPalette.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewManager.hpp>

#include "qvInteractionTestView.hpp"
#include "qvRecordingDumpUser.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Box = qvMathRectOf<double>;

struct GadgetView {
    qvViewManager view = qvViewCreator::create();
    qvViewGadgetLayer gadgets{0};
    GadgetView() { view->add(qvViewLayer(gadgets), qvOrderLast); }
};

}  // namespace

TEST(qvGadgetPalette, Is_shared_while_a_gadget_scene_lives_and_made_afresh_after) {
    ASSERT_EQ(qvViewGadgetLayer::palette(), nullptr);
    {
        GadgetView first;
        EXPECT_EQ(qvViewGadgetLayer::palette(), nullptr) << "no gadget scene yet";
        ASSERT_TRUE(first.gadgets->gadget_scene_layer());
        qvPalette* const shared = qvViewGadgetLayer::palette();
        ASSERT_NE(shared, nullptr);
        GadgetView second;
        ASSERT_TRUE(second.gadgets->gadget_scene_layer());
        EXPECT_EQ(qvViewGadgetLayer::palette(), shared);
        EXPECT_EQ(&second.gadgets->gadget_scene_layer()->scene().palette(), shared);
        // Styles were made once: the four names each resolve to one handle.
        qvGadgetStyle("HandleBar").marker_size(qvMarkerSize(9.0));
        EXPECT_EQ(qvGadgetStyle("HandleBar").marker_size().size(), 9.0);
    }
    EXPECT_EQ(qvViewGadgetLayer::palette(), nullptr) << "the last gadget layer is gone";
    GadgetView again;
    ASSERT_TRUE(again.gadgets->gadget_scene_layer());
    EXPECT_EQ(qvGadgetStyle("HandleBar").marker_size().size(), 4.0) << "host's change not carried over";
}

TEST(qvGadgetPalette, Holds_the_four_styles) {
    GadgetView v;
    ASSERT_TRUE(v.gadgets->gadget_scene_layer());
    for (char const* name : {"DashedRectangle", "DashedLine"}) {
        qvSharedAttributeProxy style = qvGadgetStyle(name);
        EXPECT_EQ(style.line_style(), qvLineStyle{3}) << name;
        EXPECT_EQ(style.line_color(), qvRgbColor(0.0f, 0.0f, 1.0f)) << name;
    }
    for (char const* name : {"HandleBar", "NewPoint"}) {
        qvSharedAttributeProxy style = qvGadgetStyle(name);
        EXPECT_EQ(style.marker_style(), qvMarkerStyle{6}) << name;
        EXPECT_EQ(style.marker_size().size(), 4.0) << name;
        EXPECT_EQ(style.fill_style(), qvFillStyle{0}) << name;
        EXPECT_EQ(style.fill_color(), qvRgbColor(0.25f, 0.25f, 0.25f)) << name;
    }
}

TEST(qvViewGadgetLayer, Companions_are_one_per_scene_and_follow_the_last_mapping) {
    GadgetView v;
    qvMemoryScene scene;
    qvViewSceneLayer a(scene, -1), b(scene, -1);
    a->mapping(qvRestrictedTransformation(2, 2, 10, 10));
    b->mapping(qvRestrictedTransformation(3, 3, 0, 5));
    const qvViewSceneLayer first = v.gadgets->gadget_scene_layer(a);
    const qvViewSceneLayer second = v.gadgets->gadget_scene_layer(b);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.counter(), second.counter());
    EXPECT_EQ(first->mapping(), b->mapping());
    EXPECT_TRUE(first->safe_to_remove());
    EXPECT_TRUE(v.view->contains(qvViewLayer(first)));

    const qvViewSceneLayer device = v.gadgets->gadget_scene_layer();
    EXPECT_TRUE(device->is_independent());
    EXPECT_TRUE(device->mapping().is_identity());
    EXPECT_NE(device.counter(), first.counter());
}

TEST(qvViewGadgetLayer, Without_a_view_makes_and_stores_nothing) {
    qvViewGadgetLayer alone(0);
    qvMemoryScene scene;
    qvViewSceneLayer target(scene, -1);
    EXPECT_FALSE(alone->gadget_scene_layer());
    try {
        alone->gadget_scene_layer(target);
        ADD_FAILURE() << "no error";
    } catch (qvError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "Gadget layer must be connected to a view");
    }
    EXPECT_EQ(qvViewGadgetLayer::palette(), nullptr);
    // Joined to a view later, it makes the companion then.
    qvViewManager view = qvViewCreator::create();
    view->add(qvViewLayer(alone), qvOrderLast);
    EXPECT_TRUE(alone->gadget_scene_layer(target));
}

TEST(qvViewGadgetLayer, A_container_scene_receives_the_gadgets_and_outlives_the_layer) {
    auto scene = std::make_unique<qvMemoryScene>();
    {
        qvViewManager view = qvViewCreator::create();
        qvViewGadgetLayer gadgets(scene.get());
        view->add(qvViewLayer(gadgets), qvOrderLast);
        const qvViewSceneLayer device = gadgets->gadget_scene_layer();
        EXPECT_EQ(&device->scene(), static_cast<qvScene*>(scene.get()));
        qvRectangle band(*scene, Box(1, 1, 5, 5));
    }
    EXPECT_EQ(scene->size(-1), 1);
}

TEST(qvViewGadgetLayer, Clone_has_no_gadget_scenes) {
    GadgetView v;
    ASSERT_TRUE(v.gadgets->gadget_scene_layer());
    const qvViewGadgetLayer twin(v.gadgets->clone());
    ASSERT_TRUE(twin);
    qvViewManager other = qvViewCreator::create();
    other->add(qvViewLayer(twin), qvOrderLast);
    int registered = 0;
    for (qvIndirectIterator<qvViewLayer> it = other->layers(); it; ++it)
        ++registered;
    EXPECT_EQ(registered, 1);
}

TEST(qvViewGadgetLayer, Leaving_its_view_or_dying_takes_the_gadget_scene_layers_out) {
    qvViewManager view = qvViewCreator::create();
    qvMemoryScene scene;
    qvViewSceneLayer target(scene, -1);
    qvViewSceneLayer device, companion;
    {
        qvViewGadgetLayer gadgets(0);
        view->add(qvViewLayer(gadgets), qvOrderLast);
        device = gadgets->gadget_scene_layer();
        companion = gadgets->gadget_scene_layer(target);
        view->remove(qvViewLayer(gadgets), false);
        EXPECT_FALSE(view->contains(qvViewLayer(device)));
        EXPECT_FALSE(view->contains(qvViewLayer(companion)));
        view->add(qvViewLayer(gadgets), qvOrderLast);
        EXPECT_TRUE(view->contains(qvViewLayer(device)));
        EXPECT_TRUE(view->contains(qvViewLayer(companion)));
        view->remove(qvViewLayer(gadgets), false);
    }
    // The gadget layer is gone; its scene layers stay out of the view.
    EXPECT_FALSE(view->contains(qvViewLayer(device)));
    EXPECT_FALSE(view->contains(qvViewLayer(companion)));
}

TEST(qvViewGadgetLayer, Destroyed_while_its_view_lives_leaves_no_layer_over_a_dead_scene) {
    qvInteractionTestView v;
    qvViewSceneLayer device = v.gadgets()->gadget_scene_layer();
    qvViewSceneLayer companion = v.gadgets()->gadget_scene_layer(v.layer());
    {
        auto* const gadgets = qvQueryInterface<qvContainerScene>(&device->scene());
        qvRectangle band(*gadgets, Box(5, 5, 40, 30));
        band->connect_attribute("DashedRectangle");
    }
    v.redraw_whole();
    qvViewLayer gadget_layer(v.gadgets());
    v.gadgets() = qvViewGadgetLayer();
    v.view()->remove(gadget_layer, false);
    gadget_layer = qvViewLayer();
    EXPECT_FALSE(v.view()->contains(qvViewLayer(device)));
    EXPECT_FALSE(v.view()->contains(qvViewLayer(companion)));
    v.redraw_whole();  // must not read a freed scene (ASan)
    EXPECT_TRUE(v.fresh());
}

TEST(qvGadgetPalette, Gadgets_reach_a_driver_in_their_styles) {
    qvRecordingDumpUser sink;
    GadgetView v;
    const qvDeviceRenderer dump(qvAsDriverHandle(qvDumpDriverObject::create(&sink, 0, 0, 100, 100)), v.view);
    ASSERT_TRUE(dump);
    const qvViewSceneLayer device = v.gadgets->gadget_scene_layer();
    auto* const scene = qvQueryInterface<qvContainerScene>(&device->scene());
    qvRectangle band(*scene, Box(10, 10, 40, 30));
    ASSERT_TRUE(band->connect_attribute("DashedRectangle"));
    const qvCrdOf<double> at{50, 50};
    qvPolyMarker handle(*scene, 1, &at);
    ASSERT_TRUE(handle->connect_attribute("HandleBar"));
    sink.lines.clear();
    dump->redraw(qvRegion(Box(0, 0, 100, 100)), false);

    const auto after = [&](std::string const& shape) {
        std::vector<std::string> styles;
        for (std::size_t i = 0; i < sink.lines.size(); ++i) {
            if (sink.lines[i].rfind(shape, 0) != 0)
                continue;
            for (std::size_t j = i; j-- > 0 && sink.lines[j].rfind("rectangle", 0) != 0 &&
                                    sink.lines[j].rfind("polymarker", 0) != 0;)
                styles.push_back(sink.lines[j]);
        }
        return styles;
    };
    const auto has = [](std::vector<std::string> const& lines, std::string const& prefix) {
        for (std::string const& line : lines)
            if (line.rfind(prefix, 0) == 0)
                return true;
        return false;
    };
    const std::vector<std::string> band_styles = after("rectangle (10,10,40,30)");
    EXPECT_TRUE(has(band_styles, "line rgba(0,0,1,1) w=")) << ::testing::PrintToString(sink.lines);
    bool dashed = false;
    for (std::string const& line : band_styles)
        dashed = dashed || (line.rfind("line ", 0) == 0 && line.find("style=3") != std::string::npos);
    EXPECT_TRUE(dashed);
    const std::vector<std::string> handle_styles = after("polymarker 1 (50,50)");
    EXPECT_TRUE(has(handle_styles, "marker style=6")) << ::testing::PrintToString(sink.lines);
    EXPECT_TRUE(has(handle_styles, "fill rgba(0.25,0.25,0.25,1) style=0")) << ::testing::PrintToString(sink.lines);
}

TEST(qvGadgetPalette, Is_registered_at_load_and_held_by_the_library) {
    void* const found = qvLookupRegistry(qvGadgetPalette::get_name());
    ASSERT_NE(found, nullptr);
    EXPECT_FALSE(qvRemoveRegistry(qvGadgetPalette::get_name())) << "the library holds a use too";
    EXPECT_EQ(found, static_cast<void*>(qvGadgetPalette::holder().get()));
}
