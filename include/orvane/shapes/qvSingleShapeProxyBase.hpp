#pragma once
// qvSingleShapeProxyBase: what every in-scene shape proxy shares: its
// scene, its record, the nesting depth of its modification guards and the
// scene's read-only state when it connected. It reads the record header
// (shape handle, proxy class id, user handle, attribute handle) and is the
// attribute source of the shape: the handle lives in the record, the values
// in the scene's palette.
//
// Keeps true:
//  - the scene is set once (connect_scene; a second one fails the assertion
//    "!_scene"); scene() without one fails "_scene";
//  - reading the header of a proxy without a record raises
//    qvErrorFrom<qvSingleShapeProxyBase> "Attempt to query uninitialized
//    shape"; the attribute handle reads 0 then;
//  - when its scene is destroyed first, the scene's proxy site calls
//    scene_gone(): the proxy forgets scene and record and touches neither
//    again.
// The changing operations (allocate, the user and attribute handle setters,
// destroy_shape) and the bounding box belong to the concrete proxies, which
// run them inside the modification guard.

#include <orvane/attributes/qvAttributeBase.hpp>
#include <orvane/shapes/qvSingleShapeProxyInterface.hpp>

class qvContainerScene;
struct qvShapeBase;

class qvSingleShapeProxyBase : public qvSingleShapeProxyInterface, public qvAttributeBase {
public:
    ~qvSingleShapeProxyBase() override = default;

    void* query_interface(qvInterfaceInfo const& info) override;
    qvContainerScene& scene() const override;

    using qvGraphicProxyInterface::user_handle;
    long shape_handle() override;
    long proxy_class_id() override;
    long user_handle() override;

    using qvAttributeBase::attr_handle;
    long attr_handle() const override;
    qvPalette* attr_source() const override;
    bool shared() const override { return false; }

    // A record's proxy asks the scene for `size` bytes (the typed allocate
    // of a kind adds its fixed size to what it is given).
    virtual void allocate(int size) = 0;

    // The connected record, null without one.
    qvShapeBase* record() const noexcept { return record_; }

    // The scene is being destroyed: forget it and the record.
    void scene_gone() noexcept {
        scene_ = nullptr;
        record_ = nullptr;
    }

    // The one raise of "Attempt to query uninitialized shape".
    [[noreturn]] static void raise_uninitialized();

protected:
    qvSingleShapeProxyBase() noexcept = default;
    qvSingleShapeProxyBase(qvSingleShapeProxyBase const&) noexcept = default;
    qvSingleShapeProxyBase& operator=(qvSingleShapeProxyBase const&) noexcept = default;

    void connect_scene(qvContainerScene& scene);
    // The record, or the uninitialised-shape error.
    qvShapeBase& checked_record() const;

    qvContainerScene* scene_ = nullptr;
    qvShapeBase* record_ = nullptr;
    int guard_depth_ = 0;
    bool read_only_ = false;
};

QV_INTERFACE_NAME(qvSingleShapeProxyBase);
