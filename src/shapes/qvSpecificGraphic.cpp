// The record copy behind qvSpecificGraphic's copying constructor (see
// qvSpecificGraphic.hpp).

#include <orvane/shapes/qvSpecificGraphic.hpp>

#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include <cstring>

qvGraphic qvSpecificGraphicDetail::copy_shape(qvContainerScene& scene, qvGraphic const& source) {
    auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(source.get());
    if (proxy == nullptr)
        return qvGraphic();
    qvShapeBase const* const from = proxy->record();
    if (from == nullptr)
        qvSingleShapeProxyBase::raise_uninitialized();
    qvShapeBase* const to = scene.allocate(from->size, nullptr);
    const std::int32_t handle = to->shape_handle;
    std::memcpy(static_cast<void*>(to), from, static_cast<std::size_t>(from->size));
    to->shape_handle = handle;
    to->attribute_handle = 0;
    scene.disconnect(to);
    return scene.instantiate(handle);
}
