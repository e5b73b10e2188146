#pragma once
// qvAttributeFlavorBase: typed access to a second attribute that a first one
// names through a "REFERENCE" folder (standardly "attribute_flavor"). The
// owner is any object offering the first attribute; the flavour object
// holds the second attribute's handle in the owner's palette.
//
// Keeps true:
//  - the owner's folder names the handle the flavour object holds, and
//    that folder value holds one reference on it besides the flavour
//    object's own; when a change gives the flavour object another handle,
//    the old one loses both references and the new one gets both, and the
//    owner's folder is rewritten (which may give the owner a new handle of
//    its own);
//  - "REFERENCE" words release nothing when destroyed, so the flavour
//    attribute can outlive the owner's attribute; destroying the flavour
//    object drops only its own reference;
//  - construction checks before allocating anything: an owner without a
//    palette raises "Attribute object has no palette", a folder whose class
//    is not "REFERENCE" the wrong-type error;
//  - the owner is not owned and must outlive the flavour object.

#include <orvane/attributes/qvAttributeInternalBase.hpp>

class qvAttributeFlavorBase : public qvAttributeInternalBase {
public:
    ~qvAttributeFlavorBase() override = default;

    using qvAttributeInternalBase::attr_handle;
    // Holds the handle and rewrites the owner's folder (see above).
    void attr_handle(long new_handle) override;

protected:
    // Binds to the attribute the owner's folder names, allocating one (with
    // the shared flag) and writing it there when the folder has no value.
    qvAttributeFlavorBase(qvAttributeFolderInterface* owner, qvFolder const& folder, bool shared);
    qvAttributeFlavorBase(qvAttributeFlavorBase const& other);
    qvAttributeFlavorBase& operator=(qvAttributeFlavorBase const&) = delete;

    // The handle the owner's folder names, allocated and written there when
    // the folder has no value.
    static long fldr_handle(qvAttributeFolderInterface* owner, qvFolder const& folder, bool shared);

    qvAttributeFolderInterface* owner;
    qvFolder const* folder;

private:
    struct Binding {
        qvPalette* palette;
        long handle;
    };
    static Binding bind(qvAttributeFolderInterface* owner, qvFolder const& folder, bool shared);
    qvAttributeFlavorBase(Binding binding, qvAttributeFolderInterface* owner, qvFolder const& folder);
};
