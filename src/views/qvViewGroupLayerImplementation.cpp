// The group layer: the active layer's children drawn inside the group's own
// device clip.

#include "views/qvViewGroupLayerImplementation.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <new>

qvViewGroupLayerImplementation::~qvViewGroupLayerImplementation() = default;

namespace {

// The handle of a group just made (empty for null), holding its one count.
qvViewBaseLayer group_layer_handle(qvViewGroupLayerImplementation* group) {
    return qvViewBaseLayer(static_cast<qvViewBaseLayerObject*>(static_cast<qvViewGroupLayerObject*>(group)));
}

}  // namespace

qvViewBaseLayer qvViewGroupLayerObject::create() {
    return group_layer_handle(new (std::nothrow) qvViewGroupLayerImplementation);
}

qvViewBaseLayer qvViewGroupLayerImplementation::clone() {
    auto* const twin = new (std::nothrow) qvViewGroupLayerImplementation;
    QV_ASSERT_TEXT(twin != nullptr, "p");
    const qvViewBaseLayer held = group_layer_handle(twin);
    twin->copy(*this);
    return held;
}

void* qvViewGroupLayerImplementation::query_interface(qvInterfaceInfo const& info) {
    if (void* found = qvViewActiveLayerImplementation::query_interface(info))
        return found;
    return qvOfferInterfaces<qvViewGroupLayerObject>(this, info);
}

bool qvViewGroupLayerImplementation::render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) {
    return render_in_local_clip(vbuf, [&] { return qvViewActiveLayerImplementation::render(vbuf, origin); });
}
