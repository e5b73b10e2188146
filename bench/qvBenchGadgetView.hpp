#pragma once
// The view the manipulator benchmarks work on: a memory scene at scale 2
// and offset 10, a gadget layer in front, a device renderer on a 400 x 300
// raster test window that logs nothing.

#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvDriverHandle.hpp"
#include "qvRasterDriver.hpp"

namespace bench_support {

struct GadgetBenchView {
    qvMemoryScene scene;
    qvViewManager view = qvViewCreator::create();
    qvViewGadgetLayer gadgets{0};
    qvViewSceneLayer layer{scene, -1};
    qvISafePtr<qvRasterDriver> window;
    qvDeviceRenderer renderer;

    GadgetBenchView() {
        layer->mapping(qvRestrictedTransformation(2, 2, 10, 10));
        view->add(qvViewLayer(gadgets), qvOrderLast);
        view->add(qvViewLayer(layer), qvOrderLast);
        qvRasterSettings settings;
        settings.window_width = 400;
        settings.window_height = 300;
        settings.log = false;
        window = qvRasterDriver::create(settings);
        renderer = qvDeviceRenderer(qvAsDriverHandle(window), view);
    }
};

}  // namespace bench_support
