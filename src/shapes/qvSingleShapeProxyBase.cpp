// The proxy base (see qvSingleShapeProxyBase.hpp): the header it reads and
// writes, the destruction of its shape, and the size check every record
// size passes.

#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeWriteLock.hpp>

#include <cstdint>
#include <limits>

void qvSingleShapeProxyBase::raise_uninitialized() {
    qvRaise(qvErrorFrom<qvSingleShapeProxyBase>("Attempt to query uninitialized shape"));
}

void qvSingleShapeProxyBase::raise_read_only() {
    qvRaise(qvErrorFrom<qvSingleShapeProxyBase>("Attempt to modify a read-only scene"));
}

int qvSingleShapeProxyBase::record_size(std::int64_t bytes) {
    QV_ASSERT_TEXT(bytes >= static_cast<std::int64_t>(sizeof(qvShapeBase)), "bytes >= sizeof(qvShapeBase)");
    if (bytes > std::numeric_limits<std::int32_t>::max())
        qvRaise(qvErrorFrom<qvSingleShapeProxyBase>("Limitation: shape size exceeds maximum allowed for a record"));
    return static_cast<int>(bytes);
}

// ---------------------------------------------------------------------------
// Connection and identity

void* qvSingleShapeProxyBase::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvSingleShapeProxyInterface, qvSingleShapeProxyBase, qvGraphicProxyInterface,
                             qvGraphicInterface, qvAttributeInterface, qvAttributeFolderInterface>(this, info);
}

qvSingleShapeProxyBase::~qvSingleShapeProxyBase() {
    if (scene_ != nullptr)
        scene_->detach(this);
}

void qvSingleShapeProxyBase::connect_scene(qvContainerScene& scene) {
    QV_ASSERT_TEXT(scene_ == nullptr, "!_scene");
    const bool read_only = scene.read_only();
    scene.attach(this);
    read_only_ = read_only;
    scene_ = &scene;
    listed_at_ = scene.unlistings();
}

qvContainerScene& qvSingleShapeProxyBase::scene() const {
    QV_ASSERT_TEXT(scene_ != nullptr, "_scene");
    return *scene_;
}

// ---------------------------------------------------------------------------
// The header

qvShapeBase& qvSingleShapeProxyBase::checked_record() const {
    if (record_ == nullptr)
        raise_uninitialized();
    return *record_;
}

long qvSingleShapeProxyBase::shape_handle() { return checked_record().shape_handle; }

long qvSingleShapeProxyBase::proxy_class_id() { return checked_record().proxy_class_id; }

long qvSingleShapeProxyBase::user_handle() { return checked_record().user_handle; }

void qvSingleShapeProxyBase::user_handle(long handle) {
    const std::int32_t value = qvCheckedInt32(handle);
    qvShapeWriteLock lock(*this, true, true);
    record_->user_handle = value;
}

// ---------------------------------------------------------------------------
// The attribute source

long qvSingleShapeProxyBase::attr_handle() const { return record_ != nullptr ? record_->attribute_handle : 0; }

// The guard closes here rather than in its destructor, so that a receiver's
// raise in the closing report reaches the attribute code, which then finds
// the new handle stored and finishes the change around it.
void qvSingleShapeProxyBase::attr_handle(long handle) {
    const std::int32_t value = qvCheckedInt32(handle);
    qvShapeWriteLock lock(*this, true, true);
    record_->attribute_handle = value;
    lock.close();
}

qvPalette* qvSingleShapeProxyBase::attr_source() const { return &scene().palette(); }

// The palette changes before the guard of attr_handle(long) opens, so its
// refusals come first. A proxy that connected while its scene was writable
// keeps writing its record after the scene turned read-only, but the first
// attribute of a proxy without a record needs a record the scene would now
// refuse, and that refusal would come after the palette took the change.
void qvSingleShapeProxyBase::check_writable() const {
    if (record_ == nullptr && scene_ != nullptr && scene_->read_only())
        raise_read_only();
    qvShapeWriteLock::check(*this);
}

// The handle in a copy its scene let go of is a number of that session's
// palette, whatever the palette holds now under it. Every connect asks
// this of source and target: while the site has let no proxy go since this
// one was last seen listed, one compare answers without a lookup.
void qvSingleShapeProxyBase::check_attached() const {
    if (record_ == nullptr || scene_ == nullptr || listed_at_ == scene_->unlistings())
        return;
    if (scene_->lists(this)) {
        listed_at_ = scene_->unlistings();
        return;
    }
    qvShapeWriteLock::check(*this);
}

// ---------------------------------------------------------------------------
// Destruction

// The guard creates nothing: a proxy without a record has no shape to
// destroy, and making one only to destroy it would spend a shape handle.
// The scene destroys the record before the proxy site forgets it, so a
// scene that refuses leaves proxy and site as they were.
void qvSingleShapeProxyBase::destroy_shape() {
    qvShapeWriteLock lock(*this, false, true);
    if (record_ == nullptr)
        return;
    const long handle = record_->shape_handle;
    scene_->destroy(record_);
    record_ = nullptr;
    scene_->deassociate(handle);
}
