#pragma once
// Support of the mapping-control tests: a scene layer that logs what a
// control pushes into it, and two views of one scene driven by one control.
//
//   qvLoggedSceneLayer  a real scene layer whose mapping setter, apply_left
//                       and apply_right write "<name>.mapping(...)",
//                       "<name>.apply_left(...)", "<name>.apply_right(...)"
//                       (sx sy tx ty) into a log the test owns
//   qvTwoLinkedViews    two view managers on 400 x 300 raster windows, each
//                       showing the same memory scene through a logged scene
//                       layer; one control, resized to the window, links the
//                       left layer (both axes, offset (0, 0)) and the right
//                       one (both axes, offset (200, 0)), and pushes its
//                       mapping into both

#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvMappingControl.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"
#include "views/qvViewSceneLayerImplementation.hpp"

#include <sstream>
#include <string>
#include <vector>

inline std::string qvMappingText(qvRestrictedTransformation const& t) {
    std::ostringstream os;
    os << t.m0() << ' ' << t.m3() << ' ' << t.m4() << ' ' << t.m5();
    return os.str();
}

class qvLoggedSceneLayer : public qvViewSceneLayerImplementation {
public:
    qvLoggedSceneLayer(std::string name, std::vector<std::string>& log, qvScene* scene)
        : qvViewSceneLayerImplementation(scene, -1), name_(std::move(name)), log_(log) {}

    // A counted scene layer; the handle holds the only count.
    static qvViewSceneLayer make(std::string name, std::vector<std::string>& log, qvScene* scene) {
        return qvViewSceneLayer(static_cast<qvViewSceneLayerObject*>(new qvLoggedSceneLayer(std::move(name), log, scene)));
    }

    using qvViewSceneLayerImplementation::mapping;
    void mapping(qvRestrictedTransformation const& rt) override {
        log_.push_back(name_ + ".mapping(" + qvMappingText(rt) + ")");
        qvViewSceneLayerImplementation::mapping(rt);
    }
    void apply_left(qvRestrictedTransformation const& rt) override {
        log_.push_back(name_ + ".apply_left(" + qvMappingText(rt) + ")");
        qvViewSceneLayerImplementation::apply_left(rt);
    }
    void apply_right(qvRestrictedTransformation const& rt) override {
        log_.push_back(name_ + ".apply_right(" + qvMappingText(rt) + ")");
        qvViewSceneLayerImplementation::apply_right(rt);
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

struct qvTwoLinkedViews {
    std::vector<std::string> log;
    qvMemoryScene scene;
    qvViewManager left_view = qvViewCreator::create();
    qvViewManager right_view = qvViewCreator::create();
    qvISafePtr<qvRasterDriver> left_driver = make_driver();
    qvISafePtr<qvRasterDriver> right_driver = make_driver();
    qvDeviceRenderer left_renderer{qvAsDriverHandle(left_driver), left_view};
    qvDeviceRenderer right_renderer{qvAsDriverHandle(right_driver), right_view};
    qvViewSceneLayer left = qvLoggedSceneLayer::make("left", log, &scene);
    qvViewSceneLayer right = qvLoggedSceneLayer::make("right", log, &scene);
    qvMappingControl control = qvMappingControlObject::create();

    static constexpr qvCrdOf<double> right_offset{200, 0};

    qvTwoLinkedViews() {
        left_view->add(left, qvOrderFirst);
        right_view->add(right, qvOrderFirst);
        control->resize(qvMathRectOf<double>(0, 0, 400, 300));
        control->add(left, 3, {0, 0});
        control->add(right, 3, right_offset);
        // Adding pushes nothing: the control's mapping puts the offset in.
        control->mapping(control->mapping());
        log.clear();
    }

    static qvISafePtr<qvRasterDriver> make_driver() {
        qvRasterSettings settings;
        settings.window_width = 400;
        settings.window_height = 300;
        return qvRasterDriver::create(settings);
    }
};
