// qvAttributeBase: the folder operations of attribute objects (see
// qvAttributeBase.hpp). Each one asks the palette in a fixed way and holds
// the handle the palette returns.
//
// The palette acts at once and cannot be asked to take a change back (a
// change for one holder of a shared attribute has already moved the
// holder's reference to a private copy), so whether the object may take a
// handle is asked first, and every change ends in hold_taken: the new
// handle is stored before the held one is let go, and when the store
// raises (a scene's receiver raising in the guard's reports), what the
// record names then decides whether the change is undone or finished.

#include <orvane/attributes/qvAttributeBase.hpp>

#include "attributes/qvAttributeCopy.hpp"
#include "attributes/qvAttributeFolders.hpp"
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

namespace {

// The reference the call took for `taken` goes back; one the palette moved
// from `held` returns to it.
void give_back(qvPalette& palette, long held, long taken, bool moved) {
    if (moved)
        palette.add_ref(held);
    if (taken != 0)
        palette.release(taken);
}

// The object holds `taken`; the reference of `held` goes unless the palette
// moved it already. A held handle the palette refuses to release (one it
// does not hold) is stored again, as if the store had not happened.
void let_go(qvAttributeBase& object, qvPalette& palette, long held, long taken, bool moved) {
    if (moved || held == 0)
        return;
    try {
        palette.release(held);
    } catch (...) {
        object.attr_handle(held);
        give_back(palette, held, taken, moved);
        throw;
    }
}

}  // namespace

template <class Change>
void qvAttributeBase::change_allocating(Change&& change) {
    check_writable();
    qvPalette& palette = source_palette();
    const long held = attr_handle();
    if (held != 0) {
        hold_taken(palette, change(palette, held), true);
        return;
    }
    // `result` holds the one reference of the new attribute: the fresh
    // handle until the change returns, the handle it returned after.
    long result = palette.alloc(shared());
    try {
        result = change(palette, result);
    } catch (...) {
        palette.release(result);
        throw;
    }
    hold_taken(palette, result, false);
}

void qvAttributeBase::drop_handle() {
    if (attr_handle() == 0)
        return;
    check_writable();
    hold_taken(source_palette(), 0, false);
}

void qvAttributeBase::adopt_handle(long handle) {
    qvPalette& palette = source_palette();
    if (handle != 0)
        palette.add_ref(handle);
    hold_taken(palette, handle, false);
}

// A record that still names the held handle after a raise was not
// written (the guard's opening refused, or its opening report raised):
// the reference taken goes back, or the one the palette moved returns to
// the held attribute. A record that names `taken` was written and the
// closing report raised: the change stands, and is finished before the
// raise passes on. A palette that merged the held attribute into an equal
// one let go of its last reference: there is nothing to return to, so
// `taken` is stored once more, and a receiver that raises again then
// leaves the record naming a handle that is gone. All of it runs only on
// a raise: a store that returns costs one release.
void qvAttributeBase::hold_taken(qvPalette& palette, long taken, bool moved) {
    const long held = attr_handle();
    try {
        attr_handle(taken);
    } catch (...) {
        if (attr_handle() != taken) {
            if (!moved || qvPaletteHolds(palette, held)) {
                give_back(palette, held, taken, moved);
                throw;
            }
            attr_handle(taken);
        }
        let_go(*this, palette, held, taken, moved);
        throw;
    }
    let_go(*this, palette, held, taken, moved);
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
    if (held == 0)
        return;
    check_writable();
    qvPalette& palette = source_palette();
    hold_taken(palette, palette.remove(held, folder, shared()), true);
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
    // An attribute without a name has none to remove: it stays held as it
    // is, and an object that takes no handle is not refused for it.
    qvPalette& palette = source_palette();
    if (palette.name(held) == nullptr)
        return;
    check_writable();
    hold_taken(palette, palette.remove_name(held), true);
}

// ---------------------------------------------------------------------------
// Connections

// The found attribute is taken before the held one is let go, so a
// failure on the way leaves the object with its attribute (and colour).
bool qvAttributeBase::connect_attribute(char const* name) {
    check_writable();
    qvPalette& palette = source_palette();
    const long found = palette.handle(name);
    if (found == 0 || found != attr_handle())
        adopt_handle(found);
    return found != 0;
}

void qvAttributeBase::disconnect_attribute() { drop_handle(); }

// The handle a detached object answers names an attribute of a palette
// content that is gone (a paged scene's earlier session), equal or not to
// the one held here: it is refused before the handles are compared.
void qvAttributeBase::connect_attribute(qvAttributeFolderInterface const& other) {
    qvPalette* const source = other.attribute_palette();
    qvPalette* const target = attr_source();
    if (source == nullptr || target == nullptr)
        return;
    other.check_attached();
    check_attached();
    const long other_handle = other.attribute_handle();
    if (source == target && other_handle == attr_handle())
        return;
    check_writable();
    if (source != target) {
        copy_from_other_palette(*source, other_handle);
        return;
    }
    adopt_handle(other_handle);
}

// The new attribute is complete before the held one is let go, so a
// failure on the way leaves the object as it was.
void qvAttributeBase::copy_from_other_palette(qvPalette& source, long source_handle) {
    qvPalette& target = source_palette();
    hold_taken(target, qvCopyAttribute(source, source_handle, target, shared()), false);
}
