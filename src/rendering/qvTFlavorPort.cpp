// The transformed buffer's draw object (see qvTFlavorPort.hpp).

#include <orvane/rendering/qvTFlavorPort.hpp>

#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/rendering/qvTVBufObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>

#include "rendering/qvRestoreOrAbort.hpp"

qvTFlavorPort::qvTFlavorPort(qvFlavorPort& target, qvTransformation const& mapping, qvVBufObject* vbuf,
                             qvISafePtr<qvDrawObject> const& target_draw)
    : qvViewTScenePort(target), target_draw_(target_draw) {
    qvDrawObject& real = target.draw();
    brush_ = saved_brush_ = real.brush_origin();
    clip_region_.reset(real.clip().clone());
    saved_clip_.reset(real.clip().clone());
    if (vbuf != nullptr)
        vbuf_ = qvIWeakPtr<qvVBufObject>(vbuf);
    qvViewTScenePort::mapping(mapping);
}

qvTFlavorPort::~qvTFlavorPort() {
    qvRestoreOrAbort([this] {
        qvDrawObject& real = target_draw();
        real.brush_origin(saved_brush_);
        real.clip(*saved_clip_);
    });
}

void qvTFlavorPort::retarget(qvFlavorPort& target, qvISafePtr<qvDrawObject> const& target_draw) {
    // The old target gets back what it had; what is saved is the new one's,
    // so a port's end never hands one draw object another one's clip.
    qvDrawObject& old = this->target_draw();
    std::unique_ptr<qvBaseRegion> new_saved(target.draw().clip().clone());
    const qvCrdOf<double> new_brush = target.draw().brush_origin();
    old.brush_origin(saved_brush_);
    old.clip(*saved_clip_);
    saved_clip_ = std::move(new_saved);
    saved_brush_ = new_brush;
    port(target);
    target_draw_ = target_draw;
}

void* qvTFlavorPort::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvFlavorPort>(this, info);
}

qvDrawObject& qvTFlavorPort::target_draw() const { return port().draw(); }

qvVBufObject& qvTFlavorPort::vbuf() const {
    if (qvVBufObject* const buffer = vbuf_.get())
        return *buffer;
    return target_draw().vbuf();
}

void qvTFlavorPort::brush_origin(qvCrdOf<double> const& origin) {
    brush_ = origin;
    target_draw().brush_origin(matrix() * origin);
}

void qvTFlavorPort::clip(qvBaseRegion const& region) {
    std::unique_ptr<qvBaseRegion> kept(region.clone());
    qvListRegion mapped;
    qvTransformation const& t = mapping();
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it)
        mapped.add(qvTVBufObject::transform_area(*it, t));
    target_draw().clip(mapped);
    clip_region_ = std::move(kept);
}

bool qvTFlavorPort::copy(qvVBufObject const& source, qvMathRectOf<double> const& from,
                         qvMathRectOf<double> const& to) {
    return target_draw().copy(source, from, to);
}
