#pragma once
// qvFlavorAttributeProxy and qvSharedFlavorAttributeProxy: attribute
// flavours that edit their attribute with copy on write, or in place for
// all holders of an attribute allocated as shared (see
// qvAttributeFlavorBase).

#include <orvane/attributes/qvAttributeFlavorBase.hpp>

class qvFlavorAttributeProxy : public qvAttributeFlavorBase {
public:
    qvFlavorAttributeProxy(qvAttributeFolderInterface* owner, qvFolder const& folder)
        : qvAttributeFlavorBase(owner, folder, false) {}
    qvFlavorAttributeProxy(qvFlavorAttributeProxy const& other) = default;
    ~qvFlavorAttributeProxy() override = default;

    bool shared() const override { return false; }
};

class qvSharedFlavorAttributeProxy : public qvAttributeFlavorBase {
public:
    qvSharedFlavorAttributeProxy(qvAttributeFolderInterface* owner, qvFolder const& folder)
        : qvAttributeFlavorBase(owner, folder, true) {}
    qvSharedFlavorAttributeProxy(qvSharedFlavorAttributeProxy const& other) = default;
    ~qvSharedFlavorAttributeProxy() override = default;

    bool shared() const override { return true; }
};
