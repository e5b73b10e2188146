// The flavour port's state savers (see qvFlavorPortSavers.hpp). Every
// destructor restores through the port; an error there cannot leave a
// destructor, so it takes the abort way.

#include <orvane/rendering/qvFlavorPortSavers.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/rendering/qvDrawObject.hpp>

namespace {

template <class Restore>
void restore_or_abort(Restore&& restore) noexcept {
    try {
        restore();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Clips

qvFlavorPortSetClip::qvFlavorPortSetClip(qvFlavorPort& port, qvBaseRegion const& clip)
    : port_(&port), old_clip_(port.draw().clip()) {
    port.draw().clip(clip);
}

qvFlavorPortSetClip::~qvFlavorPortSetClip() {
    restore_or_abort([this] { port_->draw().clip(old_clip_); });
}

qvBaseRegion const& qvFlavorPortSetClip::current_clip() const { return port_->draw().clip(); }

qvFlavorPortMergeClip::qvFlavorPortMergeClip(qvFlavorPort& port, qvBaseRegion const& clip)
    : port_(&port), old_clip_(port.draw().clip()), new_clip_(old_clip_) {
    new_clip_ *= clip;
    port.draw().clip(new_clip_);
}

qvFlavorPortMergeClip::~qvFlavorPortMergeClip() {
    restore_or_abort([this] { port_->draw().clip(old_clip_); });
}

qvBaseRegion const& qvFlavorPortMergeClip::current_clip() const { return port_->draw().clip(); }

// ---------------------------------------------------------------------------
// Brush origin, palette, scene, transformation

qvFlavorPortBrushOrigin::qvFlavorPortBrushOrigin(qvFlavorPort& port, qvCrdOf<double> const& origin)
    : port_(&port), old_(port.draw().brush_origin()) {
    port.draw().brush_origin(origin);
}

qvFlavorPortBrushOrigin::~qvFlavorPortBrushOrigin() {
    restore_or_abort([this] { port_->draw().brush_origin(old_); });
}

qvFlavorPortPalette::qvFlavorPortPalette(qvFlavorPort& port, qvPalette* palette)
    : port_(&port), old_(port.palette()) {
    port.palette(palette);
}

qvFlavorPortPalette::~qvFlavorPortPalette() {
    restore_or_abort([this] { port_->palette(old_); });
}

qvFlavorPortScene::qvFlavorPortScene(qvFlavorPort& port, qvScene* scene) : port_(&port), old_(port.scene()) {
    port.scene(scene);
}

qvFlavorPortScene::~qvFlavorPortScene() {
    restore_or_abort([this] { port_->scene(old_); });
}

qvFlavorPortTransformation::qvFlavorPortTransformation(qvFlavorPort& port, qvRestrictedTransformation const& t)
    : port_(&port), old_(port.transformation()) {
    port.transformation(t);
}

qvFlavorPortTransformation::~qvFlavorPortTransformation() {
    restore_or_abort([this] { port_->transformation(old_); });
}
