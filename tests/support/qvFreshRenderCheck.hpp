#pragma once
// qvFreshRenderCheck: whether a raster test window shows exactly what a
// fresh view would draw there. Partial redraws, scrolls and memory-buffer
// copies must leave the window as one whole redraw from scratch leaves it;
// this draws that scratch picture and compares.
//
// The scratch view is a copy of the window's view manager
// (qvViewCreator::create, whose background takes the original background's
// attribute) under a new device renderer with flags 0 on a second raster
// test host driver of the same settings and the same window offset,
// redrawn whole with false. The two windows are then compared byte for
// byte; the first differing pixel and the count of differing pixels are
// reported.

#include <orvane/geometry/qvRegion.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>

#include "qvDriverHandle.hpp"
#include "qvRasterDriver.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// "r/g/b/a".
inline std::string qvFreshRenderText(qvRgbaQuad const& q) {
    return std::to_string(q.red()) + "/" + std::to_string(q.green()) + "/" + std::to_string(q.blue()) + "/" +
           std::to_string(q.alpha());
}

inline ::testing::AssertionResult qvFreshRenderCheck(qvRasterDriver& shown, qvViewManager const& view,
                                                     qvCrdOf<double> const& origin = {0.0, 0.0}) {
    qvRasterSettings settings = shown.settings();
    settings.log = false;
    const qvISafePtr<qvRasterDriver> fresh = qvRasterDriver::create(settings);
    qvRasterDriver::Window& window = fresh->window();
    window.offset = shown.window().offset;
    const qvViewManager copy = qvViewCreator::create(view);
    if (!copy)
        return ::testing::AssertionFailure() << "no copy of the view manager";
    const qvDeviceRenderer renderer(qvAsDriverHandle(fresh), copy);
    if (!renderer)
        return ::testing::AssertionFailure() << "no fresh renderer";
    renderer->origin(origin);
    const double x = static_cast<double>(window.offset.x), y = static_cast<double>(window.offset.y);
    const long width = shown.window().width, height = shown.window().height;
    renderer->redraw(qvRegion(qvMathRectOf<double>(x, y, x + static_cast<double>(width), y + static_cast<double>(height))),
                     false);

    // Most checks pass: two stores of the window's size with the same bytes
    // (a pixel is its four channel bytes) need no pixel-by-pixel walk, which
    // is left to report a failure.
    qvRasterPixels const* const a = shown.window().pixels.get();
    qvRasterPixels const* const b = window.pixels.get();
    if (a != nullptr && b != nullptr && a->width() == width && b->width() == width && a->height() == height &&
        b->height() == height &&
        (a->all().empty() ||
         std::memcmp(a->all().data(), b->all().data(), a->all().size() * sizeof(qvRgbaQuad)) == 0))
        return ::testing::AssertionSuccess();

    long differing = 0;
    std::string first;
    for (long py = 0; py < height; ++py)
        for (long px = 0; px < width; ++px) {
            const qvRgbaQuad a = shown.pixel(px, py), b = fresh->pixel(px, py);
            if (a == b)
                continue;
            if (differing++ == 0)
                first = "pixel (" + std::to_string(px) + ", " + std::to_string(py) + ") shows " + qvFreshRenderText(a) +
                        ", a fresh render " + qvFreshRenderText(b);
        }
    if (differing == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ from a fresh render; first " << first;
}
