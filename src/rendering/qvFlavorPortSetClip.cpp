// qvFlavorPortSetClip: the destructor restores through the port; an error
// there cannot leave a destructor, so it takes the abort way.

#include <orvane/rendering/qvFlavorPortSetClip.hpp>

#include <orvane/rendering/qvDrawObject.hpp>

#include "rendering/qvRestoreOrAbort.hpp"

qvFlavorPortSetClip::qvFlavorPortSetClip(qvFlavorPort& port, qvBaseRegion const& clip)
    : port_(&port), old_clip_(port.draw().clip()) {
    port.draw().clip(clip);
}

qvFlavorPortSetClip::~qvFlavorPortSetClip() {
    qvRestoreOrAbort([this] { port_->draw().clip(old_clip_); });
}

qvBaseRegion const& qvFlavorPortSetClip::current_clip() const { return port_->draw().clip(); }
