#pragma once
// qvMoveInteraction: translating a graphic by a delta.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvInteractionBase.hpp>

class qvMoveInteraction : public qvInteractionBase {
public:
    virtual void move(qvCrdOf<double> delta) = 0;

protected:
    qvMoveInteraction() noexcept = default;
    qvMoveInteraction(qvMoveInteraction const&) noexcept = default;
    qvMoveInteraction& operator=(qvMoveInteraction const&) noexcept = default;
    ~qvMoveInteraction() = default;
};
