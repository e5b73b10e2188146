#pragma once
// qvFlavorPortTransformation: sets a flavour port's transformation for a
// scope, and puts the old one back when destroyed, also when an exception
// leaves the scope.
//
// Keeps true: copies and assignments are member by member, so a copy
// restores the same old transformation again when it ends. A destructor
// that meets an error reports it through qvError::abort.

#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

class qvFlavorPortTransformation {
public:
    qvFlavorPortTransformation(qvFlavorPort& port, qvRestrictedTransformation const& t);
    qvFlavorPortTransformation(qvFlavorPortTransformation const&) = default;
    qvFlavorPortTransformation& operator=(qvFlavorPortTransformation const&) = default;
    ~qvFlavorPortTransformation();

    qvFlavorPort& flavor_port() const noexcept { return *port_; }
    qvRestrictedTransformation const& old_transformation() const noexcept { return old_; }

private:
    qvFlavorPort* port_;
    qvRestrictedTransformation old_;
};
