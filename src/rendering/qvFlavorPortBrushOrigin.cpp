// qvFlavorPortBrushOrigin: the destructor restores through the port; an error
// there cannot leave a destructor, so it takes the abort way.

#include <orvane/rendering/qvFlavorPortBrushOrigin.hpp>

#include <orvane/rendering/qvDrawObject.hpp>

#include "rendering/qvRestoreOrAbort.hpp"

qvFlavorPortBrushOrigin::qvFlavorPortBrushOrigin(qvFlavorPort& port, qvCrdOf<double> const& origin)
    : port_(&port), old_(port.draw().brush_origin()) {
    port.draw().brush_origin(origin);
}

qvFlavorPortBrushOrigin::~qvFlavorPortBrushOrigin() {
    qvRestoreOrAbort([this] { port_->draw().brush_origin(old_); });
}
