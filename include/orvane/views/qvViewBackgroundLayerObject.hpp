#pragma once
// qvViewBackgroundLayerObject: a data layer that fills the view with one
// attribute of a palette. It is itself an attribute object (a plain
// qvAttributeInternalBase), so the fill is edited through the folder
// operations like any attribute.
//
// Keeps true: the palette is not owned; the attribute handle is the one the
// attribute base holds a reference on.

#include <orvane/attributes/qvAttributeInternalBase.hpp>
#include <orvane/views/qvViewBaseLayer.hpp>
#include <orvane/views/qvViewDataLayerObject.hpp>

class qvPalette;
class qvRgbColor;

class qvViewBackgroundLayerObject : public virtual qvViewDataLayerObject,
                                    public qvAttributeInternalBase {
public:
    ~qvViewBackgroundLayerObject() override = default;

    // A layer over a palette of its own, filled with grey 1.0, fill style 0.
    static qvViewBaseLayer create();
    // A layer over a palette of its own, filled with `color`, fill style 0.
    static qvViewBaseLayer create(qvRgbColor const& color);
    // A layer showing the attribute named `name` of `palette` (not owned;
    // it must outlive the layer or let its publisher tell the layer it
    // goes). Null palette: a palette of its own, no attribute.
    static qvViewBaseLayer create(qvPalette* palette, char const* name);

    // The palette the fill is read from, and the fill's attribute handle.
    virtual qvPalette* background_palette() const = 0;
    virtual long background_attribute() const = 0;

protected:
    qvViewBackgroundLayerObject() noexcept = default;
    qvViewBackgroundLayerObject(qvViewBackgroundLayerObject const&) = default;
    qvViewBackgroundLayerObject& operator=(qvViewBackgroundLayerObject const&) = default;
};

QV_INTERFACE_NAME(qvViewBackgroundLayerObject);
