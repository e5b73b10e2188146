#pragma once
// qvExtendedScaleInteraction: scaling of graphics whose size depends on the
// view (texts sized in device units): the caller first gives the
// model-to-device transformation under which the graphic is measured.

#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/interaction/qvScaleInteraction.hpp>

class qvExtendedScaleInteraction : public qvScaleInteraction {
public:
    virtual void transformation(qvTransformation const& t) = 0;

protected:
    qvExtendedScaleInteraction() noexcept = default;
    qvExtendedScaleInteraction(qvExtendedScaleInteraction const&) noexcept = default;
    qvExtendedScaleInteraction& operator=(qvExtendedScaleInteraction const&) noexcept = default;
    ~qvExtendedScaleInteraction() = default;
};
