#pragma once
// qvFlavorPortBrushOrigin: sets the brush origin of a flavour port's draw
// object for a scope, and puts the old origin back when destroyed, also
// when an exception leaves the scope.
//
// Keeps true: copies and assignments are member by member, so a copy
// restores the same old origin again when it ends. A destructor that meets
// an error reports it through qvError::abort.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

class qvFlavorPortBrushOrigin {
public:
    qvFlavorPortBrushOrigin(qvFlavorPort& port, qvCrdOf<double> const& origin);
    qvFlavorPortBrushOrigin(qvFlavorPortBrushOrigin const&) = default;
    qvFlavorPortBrushOrigin& operator=(qvFlavorPortBrushOrigin const&) = default;
    ~qvFlavorPortBrushOrigin();

    qvFlavorPort& flavor_port() const noexcept { return *port_; }
    qvCrdOf<double> const& old_brush_origin() const noexcept { return old_; }

private:
    qvFlavorPort* port_;
    qvCrdOf<double> old_;
};
