// qvFlavorPortPalette: the destructor restores through the port; an error
// there cannot leave a destructor, so it takes the abort way.

#include <orvane/rendering/qvFlavorPortPalette.hpp>

#include "rendering/qvRestoreOrAbort.hpp"

qvFlavorPortPalette::qvFlavorPortPalette(qvFlavorPort& port, qvPalette* palette)
    : port_(&port), old_(port.palette()) {
    port.palette(palette);
}

qvFlavorPortPalette::~qvFlavorPortPalette() {
    qvRestoreOrAbort([this] { port_->palette(old_); });
}
