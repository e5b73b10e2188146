#pragma once
// qvGraphicInterface: everything an application can put into a scene and
// manipulate (a shape proxy, a graphic list), reference counted and held
// through qvGraphic.
//
// Keeps true: the count of the qvRefBase part is the number of handles
// that hold the graphic; the last handle's release deletes it through its
// virtual destructor. scene() is the container scene that holds it;
// destroy_shape() removes its shape from that scene.

#include <orvane/core/qvRefBase.hpp>
#include <orvane/shapes/qvInteractionTarget.hpp>

class qvContainerScene;

class qvGraphicInterface : public qvInteractionTarget, public qvRefBase {
public:
    ~qvGraphicInterface() override = default;
    virtual qvContainerScene& scene() const = 0;
    virtual void destroy_shape() = 0;

protected:
    qvGraphicInterface() noexcept = default;
    qvGraphicInterface(qvGraphicInterface const&) noexcept = default;
    qvGraphicInterface& operator=(qvGraphicInterface const&) noexcept = default;
};

QV_INTERFACE_NAME(qvGraphicInterface);
