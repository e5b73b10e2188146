#pragma once
// qvAttributeBase: the twelve folder operations of an attribute object,
// built on four operations a derived class supplies (where the handle is
// kept, the palette, and whether the object edits a shared attribute).
// Shape proxies derive from it and keep their handle in their records.
//
// Keeps true:
//  - the palette decides values, counts and copies: every changing call
//    ends by holding the handle the palette returned (attr_handle(r)); the
//    object takes and drops no reference around such calls, while connect
//    and disconnect take and drop the object's own reference;
//  - reads never allocate; the first change of an object without a handle
//    allocates one with the object's shared flag; when the change then
//    fails, the new attribute is released and the object holds 0 again;
//  - an object without a palette may be read (reads give null, the name
//    ""); every other call that needs the palette raises
//    qvErrorFrom<qvAttributeBase> "Attribute object has no palette";
//  - errors of the palette pass through, and the object keeps the handle it
//    held before the failing call;
//  - every changing call asks check_change() first: an object that refuses
//    the change (a shape proxy of a read-only scene, or whose record its
//    scene no longer edits) raises before any palette is asked, so no value
//    or count changes.

#include <orvane/attributes/qvAttributeInterface.hpp>

class qvAttributeBase : public virtual qvAttributeInterface {
public:
    ~qvAttributeBase() override = default;

    void property(qvFolder const& folder, void const* value) override;
    void const* property(qvFolder const& folder) override;
    bool connect_attribute(char const* name) override;
    void connect_attribute(qvAttributeFolderInterface const& other) override;
    void disconnect_attribute() override;
    void copy_folder(long source, qvFolder const& folder) override;
    void destroy_folder(qvFolder const& folder) override;
    qvString attribute_name() override;
    void attribute_name(char const* name) override;
    long attribute_handle() const override { return attr_handle(); }
    qvPalette* attribute_palette() const override { return attr_source(); }

    // The held handle, 0 when none.
    virtual long attr_handle() const = 0;
    // Stores a new held handle; counts no reference of its own.
    virtual void attr_handle(long handle) = 0;
    // The palette holding the attribute's values.
    virtual qvPalette* attr_source() const = 0;
    // Whether the object edits a shared attribute.
    virtual bool shared() const = 0;

protected:
    qvAttributeBase() noexcept = default;
    qvAttributeBase(qvAttributeBase const&) noexcept = default;
    qvAttributeBase& operator=(qvAttributeBase const&) noexcept = default;

    // The palette, which must exist for the call at hand.
    qvPalette& source_palette() const;
    // Raises when the object takes no change now; nothing by default.
    virtual void check_change() {}

private:
    // Runs change(h) on the held handle, allocating one first when none is
    // held, and holds the handle it returns.
    template <class Change>
    void change_allocating(Change&& change);
    // Drops the object's reference on the held attribute and holds 0.
    void drop_handle();
    // Takes a reference on `handle` (when not 0) and holds it.
    void adopt_handle(long handle);
    void copy_from_other_palette(qvPalette& source, long source_handle);
};
