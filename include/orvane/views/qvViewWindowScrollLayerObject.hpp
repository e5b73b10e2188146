#pragma once
// qvViewWindowScrollLayerObject: an active layer that makes a scroll cheap
// without a buffer of its own: on a pure translation by whole device units
// it shifts the pixels already in the window, so its children redraw only
// the strips the move uncovered and what was invalid before, moved.
//
// The switch can be turned on only while the layer sits directly under the
// root of a view (its parent has no parent): the window it moves must be
// its own to move. When the translation reaches the layer without its
// renderer (a mapping control linked to it), the whole window moves, so the
// layers registered in front of it must sit inside it or be linked to the
// same control.

#include <orvane/views/qvViewActiveLayerObject.hpp>
#include <orvane/views/qvViewBaseLayer.hpp>

class qvViewWindowScrollLayerObject : public virtual qvViewActiveLayerObject {
public:
    ~qvViewWindowScrollLayerObject() override = default;

    // On takes effect only under a parent that has no parent; else off.
    virtual void copy_scroll(bool on) = 0;
    virtual bool copy_scroll() const = 0;

    // A new layer with the switch off; empty when none can be made.
    static qvViewBaseLayer create();
    // A new layer whose switch is `on`, parent or not.
    static qvViewBaseLayer create(bool on);

protected:
    qvViewWindowScrollLayerObject() noexcept = default;
    qvViewWindowScrollLayerObject(qvViewWindowScrollLayerObject const&) noexcept = default;
    qvViewWindowScrollLayerObject& operator=(qvViewWindowScrollLayerObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvViewWindowScrollLayerObject);
