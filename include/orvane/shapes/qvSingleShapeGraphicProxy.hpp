#pragma once
// qvSingleShapeGraphicProxy<G, D>: the concrete in-scene proxy of a shape
// kind: generic layer G over the kind's proxy base, for records of data
// struct D. It adds the typed allocate, the two constructors, the
// destructor and its own identity (declared with QV_INTERFACE_NAME beside
// the kind's alias: "qvRectangleProxy", "qvArcProxy" ...).
//
// Keeps true:
//  - the first allocate asks the scene for a record of D's fixed size plus
//    the extra asked for, enters the proxy in the scene's proxy site under
//    the new handle and stamps the kind code, the proxy class id and D's
//    initial data; a resize stamps nothing. The size is computed in 64 bits
//    and checked (record_size) before the scene is asked;
//  - a proxy holds its record from the first allocate, or from its
//    construction over an existing record, until destroy_shape or its own
//    destruction, which leaves the proxy site and disconnects the record
//    (the record stays in the scene);
//  - a proxy is not copied: the record and the site entry are its own.

#include <orvane/core/qvError.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvShapeReadLock.hpp>
#include <orvane/shapes/qvShapeWriteLock.hpp>

#include <cstdint>
#include <new>

template <class G, class D>
class qvSingleShapeGraphicProxy : public G {
public:
    // The proxy class that builds this proxy, and whose id new records carry.
    static constexpr long class_id = qvProxyClassOfKind(D::flavor());
    static_assert(class_id != 0, "D is the data of a standard kind");

    // Connected to `scene`, without a record until the first change.
    explicit qvSingleShapeGraphicProxy(qvContainerScene& scene) { this->connect_scene(scene); }

    // Connected to `scene` and bound to its `record`, entered in its proxy site.
    qvSingleShapeGraphicProxy(qvContainerScene& scene, qvShapeBase* record) {
        this->connect_scene(scene);
        scene.associate(this, record->shape_handle);
        this->record_ = record;
    }

    qvSingleShapeGraphicProxy(qvSingleShapeGraphicProxy const&) = delete;
    qvSingleShapeGraphicProxy& operator=(qvSingleShapeGraphicProxy const&) = delete;

    ~qvSingleShapeGraphicProxy() override {
        if (this->scene_ == nullptr || this->record_ == nullptr)
            return;
        try {
            this->scene_->deassociate(this);
            this->scene_->disconnect(this->record_);
        } catch (qvError const& error) {
            qvError::abort(error);
        }
    }

    void* query_interface(qvInterfaceInfo const& info) override {
        if (&info == &qvInterfaceIdentity<qvSingleShapeGraphicProxy>())
            return this;
        return G::query_interface(info);
    }

    void allocate(int extra) override {
        const int size = this->record_size(std::int64_t{extra} + std::int64_t{sizeof(qvShape<D>)});
        qvContainerScene& scene = this->scene();
        if (this->record_ != nullptr) {
            this->record_ = scene.allocate(size, this->record_);
            return;
        }
        qvShapeBase* const record = scene.allocate(size, nullptr);
        try {
            scene.associate(this, record->shape_handle);
        } catch (...) {
            // Nobody would own the new shape: take it out again.
            scene.destroy(record);
            throw;
        }
        this->record_ = record;
        record->kind = static_cast<std::int32_t>(D::flavor());
        record->proxy_class_id = static_cast<std::int32_t>(class_id);
        ::new (static_cast<void*>(&static_cast<qvShape<D>*>(record)->data())) D();
    }
};
