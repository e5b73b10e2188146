#pragma once
// qvInteractionTarget: an object that manipulators can act on. Besides its
// interfaces it tells which data-access interface carries out an
// interaction (move, scale, extended scale, rotate).
//
// Keeps true: query_interaction(interaction) returns the identity of a
// data-access interface that the same object offers through
// query_interface (an adapter asks for it and fails when it is missing), or
// null when the object does not support the interaction; the default
// supports none.

#include <orvane/core/qvDynamicInterface.hpp>

class qvInteractionTarget : public qvDynamicInterface {
public:
    ~qvInteractionTarget() override = default;
    virtual qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& /*interaction*/) const {
        return nullptr;
    }

protected:
    qvInteractionTarget() noexcept = default;
    qvInteractionTarget(qvInteractionTarget const&) noexcept = default;
    qvInteractionTarget& operator=(qvInteractionTarget const&) noexcept = default;
};
