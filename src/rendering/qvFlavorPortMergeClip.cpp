// qvFlavorPortMergeClip: the destructor restores through the port; an error
// there cannot leave a destructor, so it takes the abort way.

#include <orvane/rendering/qvFlavorPortMergeClip.hpp>

#include <orvane/rendering/qvDrawObject.hpp>

#include "rendering/qvRestoreOrAbort.hpp"

qvFlavorPortMergeClip::qvFlavorPortMergeClip(qvFlavorPort& port, qvBaseRegion const& clip)
    : port_(&port), old_clip_(port.draw().clip()), new_clip_(old_clip_) {
    new_clip_ *= clip;
    port.draw().clip(new_clip_);
}

qvFlavorPortMergeClip::~qvFlavorPortMergeClip() {
    qvRestoreOrAbort([this] { port_->draw().clip(old_clip_); });
}

qvBaseRegion const& qvFlavorPortMergeClip::current_clip() const { return port_->draw().clip(); }
