// qvAttributeFlavorBase: an attribute named by another one's "REFERENCE"
// folder (see qvAttributeFlavorBase.hpp).
//
// A "REFERENCE" value is the handle as a 32-bit word; it is read and
// written as such.

#include <orvane/attributes/qvAttributeFlavorBase.hpp>

#include "attributes/qvAttributeObjectErrors.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/attributes/qvPropertyValue.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvNumericConversion.hpp>

#include <cstdint>
#include <cstring>

namespace {

void write_reference(qvAttributeFolderInterface& owner, qvFolder const& folder, long handle) {
    const std::int32_t word = qvCheckedInt32(handle);
    owner.property(folder, &word);
}

}  // namespace

qvAttributeFlavorBase::qvAttributeFlavorBase(qvAttributeFolderInterface* owner_,
                                             qvFolder const& folder_, bool shared)
    : qvAttributeFlavorBase(bind(owner_, folder_, shared), owner_, folder_) {}

qvAttributeFlavorBase::qvAttributeFlavorBase(Binding binding, qvAttributeFolderInterface* owner_,
                                             qvFolder const& folder_)
    : qvAttributeInternalBase(*binding.palette, binding.handle), owner(owner_), folder(&folder_) {}

qvAttributeFlavorBase::qvAttributeFlavorBase(qvAttributeFlavorBase const& other)
    : qvAttributeInterface(other),
      qvAttributeInternalBase(other),
      owner(other.owner),
      folder(other.folder) {}

qvAttributeFlavorBase::Binding qvAttributeFlavorBase::bind(qvAttributeFolderInterface* owner,
                                                           qvFolder const& folder, bool shared) {
    const long handle = fldr_handle(owner, folder, shared);
    return {owner->attribute_palette(), handle};
}

long qvAttributeFlavorBase::fldr_handle(qvAttributeFolderInterface* owner, qvFolder const& folder,
                                        bool shared) {
    QV_ASSERT_TEXT(owner != nullptr, "owner");
    qvPalette* const palette = owner->attribute_palette();
    if (palette == nullptr)
        qvRaiseNoAttributePalette();
    qvCheckPropertyClass(folder.type(), qvAttributeClassId::reference);
    if (void const* const stored = owner->property(folder)) {
        std::int32_t word;
        std::memcpy(&word, stored, sizeof word);
        return word;
    }
    const long fresh = palette->alloc(shared);
    try {
        write_reference(*owner, folder, fresh);
    } catch (...) {
        palette->release(fresh);
        throw;
    }
    return fresh;
}

// The flavour object's own reference has already moved to the new handle
// (the palette moved it, or connect took it); the owner's folder value's
// reference moves here.
void qvAttributeFlavorBase::attr_handle(long new_handle) {
    const long old_handle = handle;
    if (new_handle == old_handle)
        return;
    handle = new_handle;
    if (old_handle != 0)
        palette->release(old_handle);
    if (new_handle != 0)
        palette->add_ref(new_handle);
    write_reference(*owner, *folder, new_handle);
}
