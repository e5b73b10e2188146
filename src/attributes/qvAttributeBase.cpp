// qvAttributeBase: the folder operations of attribute objects (see
// qvAttributeBase.hpp). Each one asks the palette in a fixed way and holds
// the handle the palette returns.

#include <orvane/attributes/qvAttributeBase.hpp>

#include "attributes/qvAttributeCopy.hpp"
#include "attributes/qvAttributeObjectErrors.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/core/qvError.hpp>

void qvRaiseNoAttributePalette() {
    qvRaise(qvErrorFrom<qvAttributeBase>("Attribute object has no palette"));
}

qvPalette& qvAttributeBase::source_palette() const {
    qvPalette* const palette = attr_source();
    if (palette == nullptr)
        qvRaiseNoAttributePalette();
    return *palette;
}

// ---------------------------------------------------------------------------
// Handles

template <class Change>
void qvAttributeBase::change_allocating(Change&& change) {
    qvPalette& palette = source_palette();
    const long held = attr_handle();
    if (held != 0) {
        attr_handle(change(palette, held));
        return;
    }
    const long fresh = palette.alloc(shared());
    long result;
    try {
        result = change(palette, fresh);
    } catch (...) {
        palette.release(fresh);
        throw;
    }
    attr_handle(result);
}

void qvAttributeBase::drop_handle() {
    const long held = attr_handle();
    if (held == 0)
        return;
    source_palette().release(held);
    attr_handle(0);
}

void qvAttributeBase::adopt_handle(long handle) {
    if (handle != 0)
        source_palette().add_ref(handle);
    attr_handle(handle);
}

// ---------------------------------------------------------------------------
// Values

void const* qvAttributeBase::property(qvFolder const& folder) {
    qvPalette* const palette = attr_source();
    const long held = attr_handle();
    return palette == nullptr || held == 0 ? nullptr : palette->property(held, folder);
}

void qvAttributeBase::property(qvFolder const& folder, void const* value) {
    change_allocating([&](qvPalette& palette, long handle) {
        return palette.property(handle, folder, value, shared());
    });
}

void qvAttributeBase::copy_folder(long source, qvFolder const& folder) {
    change_allocating([&](qvPalette& palette, long handle) {
        return palette.copy(source, handle, folder, shared());
    });
}

void qvAttributeBase::destroy_folder(qvFolder const& folder) {
    const long held = attr_handle();
    if (held != 0)
        attr_handle(source_palette().remove(held, folder, shared()));
}

// ---------------------------------------------------------------------------
// Names

qvString qvAttributeBase::attribute_name() {
    qvPalette* const palette = attr_source();
    const long held = attr_handle();
    return qvString(palette == nullptr || held == 0 ? nullptr : palette->name(held));
}

void qvAttributeBase::attribute_name(char const* name) {
    if (name != nullptr && *name != '\0') {
        change_allocating([&](qvPalette& palette, long handle) {
            return palette.add_name(handle, name, shared());
        });
        return;
    }
    const long held = attr_handle();
    if (held == 0)
        return;
    // 0 means the attribute had no name: it stays held as it is.
    const long named = source_palette().remove_name(held);
    if (named != 0)
        attr_handle(named);
}

// ---------------------------------------------------------------------------
// Connections

bool qvAttributeBase::connect_attribute(char const* name) {
    qvPalette& palette = source_palette();
    drop_handle();
    const long found = palette.handle(name);
    adopt_handle(found);
    return found != 0;
}

void qvAttributeBase::disconnect_attribute() { drop_handle(); }

void qvAttributeBase::connect_attribute(qvAttributeFolderInterface const& other) {
    qvPalette* const source = other.attribute_palette();
    qvPalette* const target = attr_source();
    if (source == nullptr || target == nullptr)
        return;
    const long other_handle = other.attribute_handle();
    if (source != target) {
        copy_from_other_palette(*source, other_handle);
        return;
    }
    if (other_handle == attr_handle())
        return;
    drop_handle();
    adopt_handle(other_handle);
}

// The new attribute is complete before the held one is let go, so a
// failure on the way leaves the object as it was.
void qvAttributeBase::copy_from_other_palette(qvPalette& source, long source_handle) {
    qvPalette& target = source_palette();
    const long copy = qvCopyAttribute(source, source_handle, target, shared());
    try {
        drop_handle();
    } catch (...) {
        target.release(copy);
        throw;
    }
    attr_handle(copy);
}
