#pragma once
// qvSingleShapeProxyBase: what every in-scene shape proxy shares: its
// scene, its record, the nesting depth of its modification guards and the
// scene's read-only state when it connected. It reads and writes the record
// header (shape handle, proxy class id, user handle, attribute handle),
// destroys the shape, and is the attribute source of the shape: the handle
// lives in the record, the values in the scene's palette.
//
// Keeps true:
//  - the scene is set once (connect_scene; a second one fails the assertion
//    "!_scene"); scene() without one fails "_scene";
//  - reading the header of a proxy without a record raises
//    qvErrorFrom<qvSingleShapeProxyBase> "Attempt to query uninitialized
//    shape"; the attribute handle reads 0 then;
//  - every change runs inside a qvShapeWriteLock, which refuses a proxy
//    that connected to a read-only scene ("Attempt to modify a read-only
//    scene"), creates the record on demand and reports the record's box;
//    attribute changes ask check_writable() before the palette, which
//    refuses as the guard does (a read-only proxy, a record its scene no
//    longer edits) and, for a proxy without a record, as the scene would
//    refuse the record (read-only now): a refused attribute change leaves
//    palette and record as they were; a proxy holding a record its
//    scene's proxy site no longer lists (a copy a paged scene's close let
//    go of) is refused as the source of a connect, as an edit through it
//    is: its attribute handle names an attribute of the closed session;
//    values bound for int32 header fields are narrowed before the guard
//    opens, so a value out of range changes and reports nothing;
//  - a connected proxy is known to its scene's proxy site (with a record or
//    without) until it dies; when the scene is destroyed first, the site
//    calls scene_gone(): the proxy forgets scene and record, turns
//    read-only and touches neither again;
//  - a record size is computed in 64 bits and passes record_size() before
//    anything is read or changed: no record exceeds 2,147,483,647 bytes.
// The typed allocate and the bounding box belong to the concrete proxies.

#include <orvane/attributes/qvAttributeBase.hpp>
#include <orvane/shapes/qvSingleShapeProxyInterface.hpp>

#include <cstdint>

class qvContainerScene;
class qvShapeReadLock;
class qvShapeWriteLock;
struct qvShapeBase;

class qvSingleShapeProxyBase : public qvSingleShapeProxyInterface, public qvAttributeBase {
public:
    // The guards the generic shape layers open on this base.
    using WriteLock = qvShapeWriteLock;
    using ReadLock = qvShapeReadLock;

    // Leaves the scene's list of connected proxies.
    ~qvSingleShapeProxyBase() override;

    void* query_interface(qvInterfaceInfo const& info) override;
    qvContainerScene& scene() const override;
    // Reports the box, removes the record from the proxy site and the scene;
    // the proxy stays, and its next change creates a new record. Without a
    // record the scene is left as it is and nothing is reported.
    void destroy_shape() override;

    long shape_handle() override;
    long proxy_class_id() override;
    long user_handle() override;
    void user_handle(long handle) override;

    long attr_handle() const override;
    void attr_handle(long handle) override;
    qvPalette* attr_source() const override;
    bool shared() const override { return false; }
    // The guard's refusal, and the refusal of a first record by a scene
    // that is read-only now.
    void check_writable() const final;
    // The guard's refusal of a proxy whose record its scene let go of (the
    // site lists it no more), read-only or not.
    void check_attached() const final;

    // A record's proxy asks the scene for `size` bytes (the typed allocate
    // of a kind adds its fixed size to what it is given).
    virtual void allocate(int size) = 0;

    // The connected record, null without one.
    qvShapeBase* record() const noexcept { return record_; }

    // The scene is being destroyed: forget it and the record, and refuse
    // every change from now on.
    void scene_gone() noexcept {
        scene_ = nullptr;
        record_ = nullptr;
        read_only_ = true;
    }

    // A record size computed in 64 bits as the int that allocate takes, or
    // qvErrorFrom<qvSingleShapeProxyBase> "Limitation: shape size exceeds
    // maximum allowed for a record".
    static int record_size(std::int64_t bytes);

    // The one raise of "Attempt to query uninitialized shape".
    [[noreturn]] static void raise_uninitialized();
    // The one raise of "Attempt to modify a read-only scene".
    [[noreturn]] static void raise_read_only();

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

private:
    friend class qvShapeWriteLock;

    // The scene's unlistings() when the proxy was last known listed (or
    // connected, before any record: a record is listed as it is bound).
    mutable std::uint64_t listed_at_ = 0;
};

QV_INTERFACE_NAME(qvSingleShapeProxyBase);
