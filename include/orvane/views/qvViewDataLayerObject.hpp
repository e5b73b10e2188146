#pragma once
// qvViewDataLayerObject: a layer showing data placed in scene (model)
// coordinates, with its mapping from scene to device coordinates.
//
// Keeps true: the four conversions are not virtual and read only mapping():
// scene to device through the mapping, device to scene through its inverse
// (whatever the inverse of a zero scale gives; nothing here checks).

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/views/qvViewLayerObject.hpp>

class qvViewDataLayerObject : public virtual qvViewLayerObject {
public:
    ~qvViewDataLayerObject() override = default;

    virtual void mapping(qvRestrictedTransformation const& mapping) = 0;
    virtual qvRestrictedTransformation const& mapping() const = 0;

    qvCrdOf<double> scene_to_device(qvCrdOf<double> p) const { return map(p, mapping()); }
    qvMathRectOf<double> scene_to_device(qvMathRectOf<double> const& r) const {
        return qvTransformRect(r, mapping());
    }
    qvCrdOf<double> device_to_scene(qvCrdOf<double> p) const { return map(p, qvInvert(mapping())); }
    qvMathRectOf<double> device_to_scene(qvMathRectOf<double> const& r) const {
        return qvTransformRect(r, qvInvert(mapping()));
    }

protected:
    qvViewDataLayerObject() noexcept = default;
    qvViewDataLayerObject(qvViewDataLayerObject const&) noexcept = default;
    qvViewDataLayerObject& operator=(qvViewDataLayerObject const&) noexcept = default;

private:
    static qvCrdOf<double> map(qvCrdOf<double> p, qvRestrictedTransformation const& t) {
        return {t.get_x() * p.x, t.get_y() * p.y};
    }
};

QV_INTERFACE_NAME(qvViewDataLayerObject);
