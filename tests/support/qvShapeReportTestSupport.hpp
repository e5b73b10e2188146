#pragma once
// The fixture of the shape tests that watch what a shape reports: a
// recording scene whose rectangle sender is connected to a receiver before
// each test, so `areas` holds every box the scene is told to redraw (with
// its flag) and `log` the order of the events.

#include "qvNotificationProbe.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

namespace shape_test {

class ReportingSceneTest : public ::testing::Test {
protected:
    explicit ReportingSceneTest(int layers = 1) : scene(layers) {}

    void SetUp() override { areas.connect(scene.rect_sender()); }

    // Forgets the reports and events so far (the scene's own call log stays).
    void forget_reports() {
        areas.items.clear();
        areas.flags.clear();
        log.clear();
    }

    RecordingScene scene;
    qvNotificationLog log;
    qvRecordingReceiver<qvMathRectOf<double>> areas{"rect", log};
};

}  // namespace shape_test
