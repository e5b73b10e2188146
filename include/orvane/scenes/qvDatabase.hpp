#pragma once
// qvDatabase<Record, Key>: a store of records of type Record found by a
// Key, read and changed in place under a record lock. The paged scene
// keeps its handle records (keyed by shape handle) and each layer's shape
// records (keyed by the shape's handle record) in such stores.
//
// A RecordLock is what examine, modify and create fill in: while it is
// held, its record may be read (examine) or changed in place (modify,
// create); release or update ends it, remove ends it by deleting the
// record. What a lock holds (a node, a page pin) belongs to each store:
// qvRecordLock<Record, Key> is defined beside the store that hands it out.

template <class Record, class Key>
struct qvRecordLock;

template <class Record, class Key>
class qvDatabase {
public:
    using RecordLock = qvRecordLock<Record, Key>;

    virtual void examine(Key const& key, RecordLock& lock) = 0;
    virtual void modify(Key const& key, RecordLock& lock) = 0;
    virtual void create(Record* record, int size, RecordLock& lock) = 0;
    virtual void release(RecordLock& lock) = 0;
    virtual void update(RecordLock& lock) = 0;
    virtual void remove(RecordLock& lock) = 0;

    virtual ~qvDatabase() = default;

protected:
    qvDatabase() noexcept = default;
    qvDatabase(qvDatabase const&) noexcept = default;
    qvDatabase& operator=(qvDatabase const&) noexcept = default;
};
