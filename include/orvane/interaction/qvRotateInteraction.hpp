#pragma once
// qvRotateInteraction: turning a graphic about a centre by an angle in
// degrees, in the sense of qvRotation ((1, 0) turns toward (0, 1)).

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvInteractionBase.hpp>

class qvRotateInteraction : public qvInteractionBase {
public:
    virtual void rotate(qvCrdOf<double> centre, double angle) = 0;

protected:
    qvRotateInteraction() noexcept = default;
    qvRotateInteraction(qvRotateInteraction const&) noexcept = default;
    qvRotateInteraction& operator=(qvRotateInteraction const&) noexcept = default;
    ~qvRotateInteraction() = default;
};
