#pragma once
// qvAttributeInternalBase: an attribute object that keeps its palette and a
// counted handle itself. Background layers derive from it; so do the
// attribute proxies and the attribute flavours.
//
// Keeps true: while the handle is not 0 the object owns one reference on it
// in the palette; copies take one more, the destructor releases it (a
// failure there goes the qvError::abort way). The palette is not owned and
// must outlive the object; it changes only through attr_source(palette),
// allowed only while no handle is held (assertion "!handle").

#include <orvane/attributes/qvAttributeBase.hpp>

// Scenes come later in the layering; the scene form of the constructor is
// defined with them.
class qvContainerScene;

class qvAttributeInternalBase : public qvAttributeBase {
public:
    ~qvAttributeInternalBase() override;

    long attr_handle() const override { return handle; }
    void attr_handle(long new_handle) override { handle = new_handle; }
    qvPalette* attr_source() const override { return palette; }
    void attr_source(qvPalette* new_palette);

protected:
    qvAttributeInternalBase() noexcept = default;
    // Takes a reference on a handle that is not 0.
    qvAttributeInternalBase(qvPalette& palette, long handle);
    // The scene's palette, taken once; then as above.
    qvAttributeInternalBase(qvContainerScene& scene, long handle);
    qvAttributeInternalBase(qvAttributeInternalBase const& other);
    // Takes a reference on the source's handle, then releases the held one.
    qvAttributeInternalBase& operator=(qvAttributeInternalBase const& other);

    long handle = 0;
    qvPalette* palette = nullptr;
};
