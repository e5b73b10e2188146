// Where buffers stand (see qvViewWindowPlace.hpp).

#include "views/qvViewWindowPlace.hpp"

#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/rendering/qvVBufOffset.hpp>
#include <orvane/views/qvBaseRendererObject.hpp>

qvCrdOf<long> qvViewBufferOffset(qvVBufObject* buffer) {
    auto* const offset = qvQueryInterface<qvVBufOffset>(buffer);
    return offset != nullptr ? qvCrdOf<long>{offset->x_offset(), offset->y_offset()} : qvCrdOf<long>{0, 0};
}

qvMathRectOf<double> qvViewWindowRect(qvBaseRendererObject const& renderer) {
    const qvISafePtr<qvVBufObject> window = renderer.vbuf();
    return qvViewPlacedRect(qvViewBufferOffset(window.get()), renderer.width(), renderer.height());
}
