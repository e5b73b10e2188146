#pragma once
// qvAttributeFolderInterface: untyped access to one attribute (one handle in
// one palette) by folder. Shape proxies, graphic lists, background layers
// and the attribute objects offer it.
//
// Keeps true: a value passes as a raw pointer to an object of the folder's
// value type (for a simple class, to its 32-bit word); the palette copies it
// through the folder's property class, never the caller's object itself.
// Reading never creates an attribute; the first change of an object without
// one does. Every change may leave the object holding another handle (copy
// on write, merging of equal attributes), which attribute_handle() reports.
// An object whose handle may name an attribute of a palette content that
// is gone (a shape a paged scene let go of at a close, a list holding one,
// an attribute object made in a closed session of a paged scene whose next
// file holds another palette) says so through check_attached(), which
// every connect asks of its source and its target before it reads a handle
// or changes anything.

#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/core/qvString.hpp>

class qvFolder;
class qvPalette;

class qvAttributeFolderInterface {
public:
    // Writes the folder's value.
    virtual void property(qvFolder const& folder, void const* value) = 0;
    // The folder's value, or null (no value, or no attribute).
    virtual void const* property(qvFolder const& folder) = 0;
    // Binds to the attribute of that name in the palette; true when found.
    virtual bool connect_attribute(char const* name) = 0;
    // Binds to the attribute the other object holds: shared within one
    // palette, copied into this object's palette otherwise.
    virtual void connect_attribute(qvAttributeFolderInterface const& other) = 0;
    // Lets go of the held attribute.
    virtual void disconnect_attribute() = 0;
    // Copies the values of `folder` and the folders under its path from the
    // attribute `source` of the same palette.
    virtual void copy_folder(long source, qvFolder const& folder) = 0;
    // Removes the values of `folder` and the folders under its path.
    virtual void destroy_folder(qvFolder const& folder) = 0;
    // The held attribute's name; "" when none.
    virtual qvString attribute_name() = 0;
    // Names the held attribute; a null or empty name removes its name.
    virtual void attribute_name(char const* name) = 0;
    virtual ~qvAttributeFolderInterface() = default;
    // The held attribute handle, 0 when none.
    virtual long attribute_handle() const = 0;
    // The palette holding the attribute, null when none.
    virtual qvPalette* attribute_palette() const = 0;
    // Raises when the handle the object answers (or one of the handles it
    // fans out to) belongs to a palette content that is gone; nothing by
    // default. A virtual call, so a connect asks it of any source without
    // finding out what the source is.
    virtual void check_attached() const {}

protected:
    qvAttributeFolderInterface() noexcept = default;
    qvAttributeFolderInterface(qvAttributeFolderInterface const&) noexcept = default;
    qvAttributeFolderInterface& operator=(qvAttributeFolderInterface const&) noexcept = default;
};

QV_INTERFACE_NAME(qvAttributeFolderInterface);
