#pragma once
// qvViewWindowPlace: where a buffer stands in device coordinates. A buffer
// that offers qvVBufOffset stands at its offset, any other at (0, 0); the
// device renderer draws its window there, so the renderer, the layers that
// keep or move window pixels and the collectors that test changes against
// the window all take the window's place from here and agree on it.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvBaseRendererObject;
class qvVBufObject;

// The buffer's offset; (0, 0) without the interface or without a buffer.
qvCrdOf<long> qvViewBufferOffset(qvVBufObject* buffer);

// The rectangle of `width` x `height` device units at `at`, corners ordered.
// Inline: the collectors place the window once per event.
inline qvMathRectOf<double> qvViewPlacedRect(qvCrdOf<long> at, long width, long height) noexcept {
    const double x = static_cast<double>(at.x), y = static_cast<double>(at.y);
    return qvMathRectOf<double>(x, y, x + static_cast<double>(width), y + static_cast<double>(height));
}

// The renderer's window: its width and height at its window buffer's offset.
qvMathRectOf<double> qvViewWindowRect(qvBaseRendererObject const& renderer);
