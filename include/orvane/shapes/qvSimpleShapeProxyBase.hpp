#pragma once
// qvSimpleShapeProxyBase: the base of stand-alone shapes, which live outside
// any scene on a private record block of their own, and their two guards.
// The generic shape layers run on it as they run on the in-scene proxy
// base: no scene, no proxy site, no notification, no read-only state.
//
// Keeps true:
//  - the record is owned by exactly one shape: a copy gets its own block
//    holding the source's size-field bytes, an assignment replaces the
//    target's block by such a copy (self-assignment keeps it), a move hands
//    the block over; the destructor frees it;
//  - allocate(size) never shrinks the record: a smaller request changes
//    nothing; a larger one moves the bytes to a new block whose added bytes
//    are zero; the first one makes a new header (box (1, 1, 0, 0), every
//    field 0, proxy class id 0 included: a stand-alone record has no proxy
//    class);
//  - reading a shape without a record raises
//    qvErrorFrom<qvSimpleShapeProxyBase> "Attempt to query uninitialized
//    shape"; the write guard creates the record when asked to and reports
//    nothing;
//  - record sizes pass record_size(), which refuses more than 2,147,483,647
//    bytes with qvErrorFrom<qvSimpleShapeProxyBase> "Limitation: shape size
//    exceeds maximum allowed for a record".
// allocate is virtual: other stand-alone forms over these layers (read-only
// copies of a record prepared elsewhere) give it their own rule.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvMathRect.hpp>

#include <cstdint>

class qvSimpleShapeReadLock;
class qvSimpleShapeWriteLock;
struct qvShapeBase;

class qvSimpleShapeProxyBase {
public:
    // The guards the generic shape layers open on this base.
    using WriteLock = qvSimpleShapeWriteLock;
    using ReadLock = qvSimpleShapeReadLock;

    virtual ~qvSimpleShapeProxyBase();

    // Makes the record at least `size` bytes (at least a header's 40).
    virtual void allocate(int size);

    // Takes the attribute handle of an attribute held elsewhere into the
    // record; without a record nothing happens. A source its check_attached()
    // refuses (a shape of a closed session) raises first.
    void connect_attribute(qvAttributeFolderInterface const& attribute);

    // The private record becomes a copy of every byte of `source` (of
    // source's size, at least a header's 40); the old one is freed.
    void copy_record(qvShapeBase const& source);

    // The private record, null without one.
    qvShapeBase* record() const noexcept { return record_; }

    // A record size computed in 64 bits as the int that allocate takes.
    static int record_size(std::int64_t bytes);

    // The one raise of "Attempt to query uninitialized shape" here.
    [[noreturn]] static void raise_uninitialized();

protected:
    qvSimpleShapeProxyBase() noexcept = default;
    qvSimpleShapeProxyBase(qvSimpleShapeProxyBase const& other);
    qvSimpleShapeProxyBase(qvSimpleShapeProxyBase&& other) noexcept;
    qvSimpleShapeProxyBase& operator=(qvSimpleShapeProxyBase const& other);
    qvSimpleShapeProxyBase& operator=(qvSimpleShapeProxyBase&& other) noexcept;

    qvShapeBase* record_ = nullptr;
};

// The stand-alone write guard: creates the record when asked to (allocate(0),
// the kind's fixed size); nothing to refuse, nothing to report.
class qvSimpleShapeWriteLock {
public:
    qvSimpleShapeWriteLock(qvSimpleShapeProxyBase& proxy, bool create, bool /*notify*/) : proxy_(&proxy) {
        if (create && proxy.record() == nullptr)
            proxy.allocate(0);
    }
    qvSimpleShapeWriteLock(qvSimpleShapeWriteLock const&) = delete;
    qvSimpleShapeWriteLock& operator=(qvSimpleShapeWriteLock const&) = delete;

    qvSimpleShapeProxyBase* proxy() const noexcept { return proxy_; }
    // A stand-alone shape has nobody to tell.
    void report(qvMathRectOf<double> const& /*area*/) const noexcept {}

private:
    qvSimpleShapeProxyBase* proxy_;
};

// The stand-alone read guard: with check, a shape without a record is refused.
class qvSimpleShapeReadLock {
public:
    qvSimpleShapeReadLock(qvSimpleShapeProxyBase& proxy, bool check) : proxy_(&proxy) {
        if (check && proxy.record() == nullptr)
            qvSimpleShapeProxyBase::raise_uninitialized();
    }
    qvSimpleShapeReadLock(qvSimpleShapeReadLock const&) = delete;
    qvSimpleShapeReadLock& operator=(qvSimpleShapeReadLock const&) = delete;

    qvSimpleShapeProxyBase* proxy() const noexcept { return proxy_; }

private:
    qvSimpleShapeProxyBase* proxy_;
};
