// qvFlavorPortTransformation: the destructor restores through the port; an error
// there cannot leave a destructor, so it takes the abort way.

#include <orvane/rendering/qvFlavorPortTransformation.hpp>

#include "rendering/qvRestoreOrAbort.hpp"

qvFlavorPortTransformation::qvFlavorPortTransformation(qvFlavorPort& port, qvRestrictedTransformation const& t)
    : port_(&port), old_(port.transformation()) {
    port.transformation(t);
}

qvFlavorPortTransformation::~qvFlavorPortTransformation() {
    qvRestoreOrAbort([this] { port_->transformation(old_); });
}
