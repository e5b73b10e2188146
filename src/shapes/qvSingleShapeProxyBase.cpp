// The header-reading half of the proxy base (see qvSingleShapeProxyBase.hpp).

#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

void qvSingleShapeProxyBase::raise_uninitialized() {
    qvRaise(qvErrorFrom<qvSingleShapeProxyBase>("Attempt to query uninitialized shape"));
}

void* qvSingleShapeProxyBase::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvSingleShapeProxyInterface, qvSingleShapeProxyBase, qvGraphicProxyInterface,
                             qvGraphicInterface, qvAttributeInterface, qvAttributeFolderInterface>(this, info);
}

void qvSingleShapeProxyBase::connect_scene(qvContainerScene& scene) {
    QV_ASSERT_TEXT(scene_ == nullptr, "!_scene");
    read_only_ = scene.read_only();
    scene_ = &scene;
}

qvContainerScene& qvSingleShapeProxyBase::scene() const {
    QV_ASSERT_TEXT(scene_ != nullptr, "_scene");
    return *scene_;
}

qvShapeBase& qvSingleShapeProxyBase::checked_record() const {
    if (record_ == nullptr)
        raise_uninitialized();
    return *record_;
}

long qvSingleShapeProxyBase::shape_handle() { return checked_record().shape_handle; }

long qvSingleShapeProxyBase::proxy_class_id() { return checked_record().proxy_class_id; }

long qvSingleShapeProxyBase::user_handle() { return checked_record().user_handle; }

long qvSingleShapeProxyBase::attr_handle() const { return record_ != nullptr ? record_->attribute_handle : 0; }

qvPalette* qvSingleShapeProxyBase::attr_source() const { return &scene().palette(); }
