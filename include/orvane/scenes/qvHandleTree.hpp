#pragma once
// qvHandleTree: the persistent map from a paged scene's shape handles to
// their qvHandleRecords, kept in 16,384-byte pages of the scene's page
// device. Handing out a handle and making its record are one operation:
// the slot of the record is the handle, so a handle is found by one
// division, with no search.
//
// Keeps true:
//  - handle h lives in page-table entry h / per_page, slot h mod per_page;
//    handle 0 is never given out (slot 0 of the first page is taken at
//    its making), nor one above 2^31 − 1;
//  - a slot is free exactly while its handle word is 0; a live slot's
//    word is its own handle. A new page is zeroed whole before use;
//  - create takes the lowest free slot of the cursor's page and moves the
//    cursor forward past full pages. Nothing moves the cursor back: a
//    handle freed on a page before the cursor is not soon reissued to a
//    new shape;
//  - examine and modify give an empty lock for a handle below 1, at or
//    above the bound, or whose slot is free;
//  - a lock pins its page (unlocked at priority 1.0 when it ends); the
//    records lie 4 modulo 8 in the page and are read and written through
//    memcpy (get, set).
//
// Page (little-endian):
//   offset           size         field
//        0              4         index of the first slot that may be free
//                                 (per_page when the page is full)
//   4 + i × size     size         slot i; the first 4 bytes are its handle
//                                 word, 0 when free
//
// Stream form (int32 fields, little-endian):
//   initialized (0 or 1), record size, records per page; then only when
//   initialized: cursor, handle bound, page count n, and n pairs (page
//   number, free slot count). The pages themselves stay in the file.
// Load refuses with "Invalid or corrupt Orvane pagefile" anything else
// than what a tree of this record size could have written: a flag other
// than 0 or 1, another record size or per-page count, a cursor above n, a
// bound above the slots of n pages, n outside 0 … page count, a page
// outside 2 … page count − 1 or named twice, a free count outside 0 …
// per_page. At use, a page whose first-free index, free count or handle
// words do not agree is refused the same way. Errors are
// qvErrorFrom<qvHandleTree>; a short stream raises "Incomplete data on
// input", and the device's errors pass through.
#include <orvane/core/qvStreamPersistence.hpp>
#include <orvane/scenes/qvDatabase.hpp>
#include <orvane/scenes/qvHandleRecord.hpp>

#include <cstdint>
#include <cstring>
#include <vector>

class qvPageDevice;
class qvHandleTree;

// The pin of one handle-tree page behind a record lock; unlocks the page
// (priority 1.0) when it ends. Move-only.
class qvHT_PagePtr {
public:
    qvHT_PagePtr() noexcept = default;
    qvHT_PagePtr(qvHandleTree& tree, int index, void* page) noexcept : tree_(&tree), page_(page), index_(index) {}
    qvHT_PagePtr(qvHT_PagePtr&& other) noexcept { swap(other); }
    qvHT_PagePtr& operator=(qvHT_PagePtr&& other) noexcept {
        qvHT_PagePtr(std::move(other)).swap(*this);
        return *this;
    }
    ~qvHT_PagePtr();
    void swap(qvHT_PagePtr& other) noexcept {
        std::swap(tree_, other.tree_);
        std::swap(page_, other.page_);
        std::swap(index_, other.index_);
    }
    // Unlocks now; an empty pin stays empty.
    void reset();
    explicit operator bool() const noexcept { return tree_ != nullptr; }
    unsigned char* page() const noexcept { return static_cast<unsigned char*>(page_); }
    int index() const noexcept { return index_; }

private:
    qvHandleTree* tree_ = nullptr;
    void* page_ = nullptr;
    int index_ = -1;
};

template <>
struct qvRecordLock<qvHandleRecord, long> {
    qvHT_PagePtr pin;
    unsigned char* record = nullptr;   // null in an empty lock

    explicit operator bool() const noexcept { return record != nullptr; }
    qvHandleRecord get() const noexcept {
        qvHandleRecord r;
        std::memcpy(&r, record, sizeof r);
        return r;
    }
    void set(qvHandleRecord const& r) noexcept { std::memcpy(record, &r, sizeof r); }
};

class qvHandleDatabase : public qvDatabase<qvHandleRecord, long>, public virtual qvStreamPersistence {
protected:
    qvHandleDatabase() noexcept = default;
};

class qvHandleTree : public qvHandleDatabase {
public:
    struct PageEntry {
        long page;
        int free;
    };

    qvHandleTree(qvPageDevice& device, int record_size);
    qvHandleTree(qvHandleTree const&) = delete;
    qvHandleTree& operator=(qvHandleTree const&) = delete;
    // Frees the page table only: the pages stay in the file.
    ~qvHandleTree() override;

    // "Handle tree must be initialized before use" before the first create
    // or an initialized load.
    void examine(long const& handle, RecordLock& lock) override;
    void modify(long const& handle, RecordLock& lock) override;
    // A new handle and a write lock on its slot, whose handle word holds
    // it; record and size are not used. "Illegal record size specified"
    // for a tree of record size 0.
    void create(qvHandleRecord* record, int size, RecordLock& lock) override;
    void release(RecordLock& lock) override;
    void update(RecordLock& lock) override;
    // Frees the locked slot and ends the lock.
    void remove(RecordLock& lock) override;

    // "Cannot load already initialized handle tree" when initialized.
    void load(qvInputStream& is) override;
    void save(qvOutputStream& os) const override;

    bool initialized() const noexcept { return initialized_; }
    int record_size() const noexcept { return record_size_; }
    int per_page() const noexcept { return per_page_; }
    long bound() const noexcept { return bound_; }
    int cursor() const noexcept { return cursor_; }
    std::vector<PageEntry> const& pages() const noexcept { return pages_; }
    qvPageDevice& device() const noexcept { return device_; }

private:
    friend class qvHT_PagePtr;
    void lookup(long handle, RecordLock& lock, bool write);
    void unlock(int index) noexcept;
    unsigned char* slot(unsigned char* page, long i) const noexcept {
        return page + 4 + i * static_cast<long>(record_size_);
    }

    int record_size_;
    int per_page_;
    long bound_ = 1;
    qvPageDevice& device_;
    bool initialized_ = false;
    std::vector<PageEntry> pages_;
    int cursor_ = 0;
};
