#pragma once
// qvRasterSettings: how a raster test host driver is made (qvRasterDriver::
// create). Every field has the value a plain test wants by default.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/rendering/qvRgbaQuad.hpp>

#include <optional>
#include <vector>

struct qvRasterSettings {
    // The window in pixels; 0 and negative sizes make a window without
    // pixels (its buffers still answer these sizes).
    long window_width = 0;
    long window_height = 0;
    // Info words of the buffer types 0 .. size - 1: type 0 is the window's
    // (not for window caches), type 1 a memory type. A type with 0x10 makes
    // buffers that accept a placement offset.
    std::vector<unsigned> buffer_types{0x2, 0};
    double dpi = 96;
    long added_width = 2;
    // What scrolls expose and new buffers start with: opaque magenta.
    qvRgbaQuad clear_color{255, 0, 255, 255};
    // When set, the window offers qvVBufOffset with this offset.
    std::optional<qvCrdOf<long>> window_offset;
    // The window offers qvVBufInvalidate.
    bool window_invalidate = true;
    // The driver offers qvDriverAttributeCache (and logs every drop).
    bool attribute_cache = false;
    // The image types of qvDriverBitmapVBuf; empty: the driver offers none.
    std::vector<int> image_types;
    // Off: records are decoded and counted, nothing is rasterised.
    bool pixels = true;
    // Off: nothing is logged (benchmarks measure the drawing alone).
    bool log = true;
};
