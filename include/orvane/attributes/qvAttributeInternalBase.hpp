#pragma once
// qvAttributeInternalBase: an attribute object that keeps its palette and a
// counted handle itself. Background layers derive from it; so do the
// attribute proxies and the attribute flavours.
//
// Keeps true: while the handle is not 0 (and of the palette's content, see
// below) the object owns one reference on it in the palette; copies take
// one more, the destructor releases it (a failure there goes the
// qvError::abort way). The palette is not owned and must outlive the
// object; it changes only through attr_source(palette), allowed only while
// no handle is held (assertion "!handle").
//
// A handle is of the palette content it was taken in. Once a scene has read
// another content over the palette (a paged scene opening a file whose
// palette is not the one it held), a held handle names nothing there and
// carries no reference: the object is refused, as a connect's source or
// target and for every change, in the words the scene gave (those of its
// closed session), and neither it, its copies nor its destructor add or
// release a reference under that number. Its value and name reads are
// refused in the same words (its number may name another attribute there,
// or none). Its disconnect forgets the handle and touches nothing (so the
// object can take one of the new content, and an owner that disconnects in
// its destructor does not raise there). An object holding no handle
// belongs to no content.

#include <orvane/attributes/qvAttributeBase.hpp>
#include <orvane/core/qvString.hpp>

#include <cstdint>

class qvFolder;

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
    // Raises while the held handle is of an earlier palette content.
    void check_attached() const override;
    // As check_attached(); an object holding no handle notes the content of
    // now, which the handle the change takes will be of.
    void check_writable() const override;
    void disconnect_attribute() override;
    // Refused as a change is while the held handle is of an earlier content.
    using qvAttributeBase::property;
    void const* property(qvFolder const& folder) override;
    using qvAttributeBase::attribute_name;
    qvString attribute_name() override;

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

private:
    // Whether the held handle (not 0) is of the palette's content of now.
    bool current() const noexcept;
    // What check_attached() raises, out of the way of the reads.
    [[noreturn]] void refuse_earlier_content() const;

    // The palette's content() when the held handle was taken: noted at
    // construction and by check_writable() while no handle is held, so
    // that derived classes storing the handle themselves need not.
    mutable std::uint64_t content = 0;
};
