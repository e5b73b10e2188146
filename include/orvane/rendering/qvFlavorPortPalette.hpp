#pragma once
// qvFlavorPortPalette: sets a flavour port's palette (null allowed) for a
// scope, and puts the old one back when destroyed, also when an exception
// leaves the scope. The palette is not owned.
//
// Keeps true: copies and assignments are member by member, so a copy
// restores the same old palette again when it ends. A destructor that
// meets an error reports it through qvError::abort.

#include <orvane/shapes/qvFlavorPort.hpp>

class qvPalette;

class qvFlavorPortPalette {
public:
    qvFlavorPortPalette(qvFlavorPort& port, qvPalette* palette);
    qvFlavorPortPalette(qvFlavorPortPalette const&) = default;
    qvFlavorPortPalette& operator=(qvFlavorPortPalette const&) = default;
    ~qvFlavorPortPalette();

    qvFlavorPort& flavor_port() const noexcept { return *port_; }
    qvPalette* old_palette() const noexcept { return old_; }

private:
    qvFlavorPort* port_;
    qvPalette* old_;
};
