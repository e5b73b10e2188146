#pragma once
// qvAttributeBase: the twelve folder operations of an attribute object,
// built on five operations a derived class supplies (where the handle is
// kept, the palette, whether the object edits a shared attribute, and
// whether it may change at all). Shape proxies derive from it and keep
// their handle in their records.
//
// Keeps true:
//  - the palette decides values, counts and copies: every changing call
//    ends by holding the handle the palette returned (attr_handle(r)); the
//    object takes and drops no reference around such calls (unless storing
//    the handle raises, below), while connect and disconnect take and drop
//    the object's own reference;
//  - reads never allocate; the first change of an object without a handle
//    allocates one with the object's shared flag; when the change then
//    fails, the new attribute is released and the object holds 0 again;
//  - an object without a palette may be read (reads give null, the name
//    ""); every other call that needs the palette raises
//    qvErrorFrom<qvAttributeBase> "Attribute object has no palette";
//  - errors of the palette pass through, and the object keeps the handle it
//    held before the failing call;
//  - a call that would change the held handle asks check_writable() before
//    it asks the palette anything, so an object that refuses (a shape of a
//    read-only scene) leaves values, counts, names and its handle as they
//    were; calls that change nothing (no handle to let go of, edit or
//    unname, the other object's handle already held) are not refused;
//  - every change takes the new attribute, stores its handle, and only then
//    lets go of the held one, so a handle the palette does not hold
//    ("Illegal attribute handle specified") leaves the object on its
//    attribute, and that attribute in the palette;
//  - when storing the handle raises (a refused record, a scene's receiver
//    raising in a report), what the object then holds decides: still the
//    old handle, the reference the call took is given back, or the one a
//    copy on write moved to a private copy returns to the old attribute;
//    the new handle (stored, the closing report raised), the change is
//    finished (the old reference let go) before the raise passes on;
//  - an object whose handle belongs to no palette content of now (a
//    shape its scene detached at a close, a list holding one, an attribute
//    object holding a handle of a palette content a scene has since read
//    another over) is refused by check_attached(), as the connect's source
//    or target, before anything is compared or asked of the palette.

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
    // Raises when the object takes no new handle at all (attr_handle(long)
    // would refuse it); nothing by default.
    virtual void check_writable() const {}

protected:
    qvAttributeBase() noexcept = default;
    qvAttributeBase(qvAttributeBase const&) noexcept = default;
    qvAttributeBase& operator=(qvAttributeBase const&) noexcept = default;

    // The palette, which must exist for the call at hand.
    qvPalette& source_palette() const;

private:
    // Runs change(h) on the held handle, allocating one first when none is
    // held, and holds the handle it returns.
    template <class Change>
    void change_allocating(Change&& change);
    // Drops the object's reference on the held attribute and holds 0.
    void drop_handle();
    // Takes a reference on `handle` (when not 0) and holds it in place of
    // the held one.
    void adopt_handle(long handle);
    // Holds `taken` in place of the held handle. The call has taken a
    // reference for it: its own (`moved` false: the held one's goes once
    // `taken` is stored), or the held one's, moved to `taken` by the
    // palette's copy on write (`moved` true; `taken` may be the held handle
    // itself, changed in place). See "Keeps true" for a raise.
    void hold_taken(qvPalette& palette, long taken, bool moved);
    void copy_from_other_palette(qvPalette& source, long source_handle);
};
