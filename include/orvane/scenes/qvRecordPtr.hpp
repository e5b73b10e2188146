#pragma once
// qvConstRecordPtr<R>, qvRecordPtr<R>: scoped record locks on a paged
// scene's stores. R is qvHandleRecord (the handle database, keyed by shape
// handle) or qvShapeBase (a layer's quadtree, keyed by the shape's handle
// record). The const pointer examines and releases; the other modifies or
// creates and updates. Each ends its lock on every way out.
//
// Keeps true:
//  - a pointer holds at most one lock; get() is null once it ended, and
//    for a handle that names no record (the handle tree's empty lock);
//  - handle records lie 4 modulo 8 in their pages and are reached only
//    through memcpy: the pointer works on a copy, which update writes back
//    before the lock ends (release discards it). Shape records are reached
//    in place in their node's page;
//  - destructors never throw: a failure to end a lock takes the
//    qvError::abort way.
#include <orvane/core/qvBasedSmartPtr.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/scenes/qvHandleTree.hpp>
#include <orvane/scenes/qvShapeDatabase.hpp>

#include <type_traits>

template <class R>
struct qvRecordKeyOf;
template <>
struct qvRecordKeyOf<qvHandleRecord> {
    using type = long;
};
template <>
struct qvRecordKeyOf<qvShapeBase> {
    using type = qvHandleRecord;
};

// What both pointers share: the store, the lock, and the copy of a handle
// record.
template <class R>
class qvRecordPtrBase {
public:
    using Key = typename qvRecordKeyOf<R>::type;
    using Database = qvDatabase<R, Key>;
    using Lock = typename Database::RecordLock;

    qvRecordPtrBase(qvRecordPtrBase const&) = delete;
    qvRecordPtrBase& operator=(qvRecordPtrBase const&) = delete;

    bool held() const noexcept { return lock_.record != nullptr; }

protected:
    explicit qvRecordPtrBase(Database& db) noexcept : db_(&db) {}
    ~qvRecordPtrBase() = default;

    R* record() noexcept {
        if (lock_.record == nullptr) return nullptr;
        if constexpr (std::is_same_v<R, qvHandleRecord>)
            return &copy_;
        else
            return lock_.record;
    }
    void fetch() noexcept {
        if constexpr (std::is_same_v<R, qvHandleRecord>)
            if (lock_.record != nullptr) copy_ = lock_.get();
    }
    void store() noexcept {
        if constexpr (std::is_same_v<R, qvHandleRecord>)
            if (lock_.record != nullptr) lock_.set(copy_);
    }
    // Ends the lock without raising.
    void end(bool write) noexcept {
        if (lock_.record == nullptr) return;
        try {
            if (write) {
                store();
                db_->update(lock_);
            } else {
                db_->release(lock_);
            }
        } catch (qvError const& error) {
            qvError::abort(error);
        }
    }

    Database* db_;
    Lock lock_{};
    std::conditional_t<std::is_same_v<R, qvHandleRecord>, qvHandleRecord, char> copy_{};
};

template <class R>
class qvConstRecordPtr : public qvBasedSmartPtr<R const, qvSmartPtrInterface<R const>>, public qvRecordPtrBase<R> {
public:
    using typename qvRecordPtrBase<R>::Database;
    using typename qvRecordPtrBase<R>::Key;

    qvConstRecordPtr(Database& db, Key const& key) : qvRecordPtrBase<R>(db) {
        db.examine(key, this->lock_);
        this->fetch();
    }
    ~qvConstRecordPtr() override { this->end(false); }

    R const* get() override { return this->record(); }
    void release() {
        if (this->held()) this->db_->release(this->lock_);
    }
};

template <class R>
class qvRecordPtr : public qvBasedSmartPtr<R, qvSmartPtrInterface<R>>, public qvRecordPtrBase<R> {
public:
    using typename qvRecordPtrBase<R>::Database;
    using typename qvRecordPtrBase<R>::Key;

    // Opens an existing record for change.
    qvRecordPtr(Database& db, Key const& key) : qvRecordPtrBase<R>(db) {
        db.modify(key, this->lock_);
        this->fetch();
    }
    // Makes a new record of `size` bytes laid out for `record`.
    qvRecordPtr(Database& db, R* record, int size) : qvRecordPtrBase<R>(db) {
        db.create(record, size, this->lock_);
        this->fetch();
    }
    // Over a lock the caller filled in (a store's own create form).
    explicit qvRecordPtr(Database& db) noexcept : qvRecordPtrBase<R>(db) {}
    ~qvRecordPtr() override { this->end(true); }

    R* get() override { return this->record(); }
    typename qvRecordPtrBase<R>::Lock& lock() noexcept { return this->lock_; }
    void adopt() noexcept { this->fetch(); }
    // Writes a handle record's copy into its page; the lock stays.
    void commit() noexcept { this->store(); }
    // Writes the record back and ends the lock.
    void update() {
        if (!this->held()) return;
        this->store();
        this->db_->update(this->lock_);
    }
    // Ends the lock, dropping changes to a handle record's copy.
    void release() {
        if (this->held()) this->db_->release(this->lock_);
    }
    // Deletes the record; the lock ends.
    void remove() {
        if (this->held()) this->db_->remove(this->lock_);
    }
};
