#pragma once
// qvQuadTreeNode: one page of a quadtree, holding shape records of one
// cell packed one after another behind a table of self-relative slots.
//
// Node page (16,384 bytes, little-endian):
//   offset     size  field
//        0        4  the node's own page number, written when it is made
//   4 + 2i        2  slot i, i = 0 … 329: int16 offset of record i from the
//                    slot's own position
//      664   15,720  record heap (qvUSEFUL_PAGE_SIZE)
// Records lie in the heap in slot order, the first at 664, each starting
// where the previous one ends: its size field rounded up to a multiple of
// 8. So every record starts 8-aligned and fill_mem, the bytes in use, is a
// multiple of 8. A record's padded size is the distance to the next
// record, or to the end of the used heap for the last one. A record whose
// size field is 0 or below is dead (the quadtree writes −1 into records
// it moved away) and compress drops it.
//
// Persistent part (qvQuadTreeNodeData, 16 bytes, the node's entry in the
// quadtree's stream form):
//   offset  size  field
//        0     2  x          the cell (qvQuadTreeHandle)
//        2     2  y
//        4     2  z
//        6     2  fill_no    records in the node, 0 … 327 as the quadtree fills it
//        8     2  fill_mem   bytes of the heap in use
//       10     2  reserved   0 for a node made here; a loaded node keeps its own
//       12     4  page       the node's page number
//
// Keeps true:
//  - the node holds at most one lock on its page; its page address is
//    valid exactly while locked() holds; it is never destroyed locked (the
//    assertion "!locked()", taken the qvError::abort way);
//  - the node locks its page itself and unlocks it at a priority known only
//    when the caller lets go, so it calls the device's cache directly, and
//    every operation that locks and then fails lets go again;
//  - a node made here is checked by construction; a loaded one is checked
//    at its first lock (the page's first word is the page, each slot points
//    where the previous record ends, the first at 664, each size field is
//    at least 40 and fits the heap, the last record ends at fill_mem) and
//    raises qvErrorFrom<qvQuadTree> "Invalid or corrupt Orvane pagefile"
//    otherwise, unlocked; every slot target is checked again, in 64 bits,
//    before it is used, so no file byte leads outside the page;
//  - no stale byte reaches the file: a new page is zeroed, add zeroes the
//    block it reserves, and remove and compress zero what they vacate.
// Records are moved with one block move; none is copied out of the page.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include <cstddef>
#include <cstdint>
#include <type_traits>

class qvPageDevice;

inline constexpr int qvUSEFUL_PAGE_SIZE = 15720;

struct qvQuadTreeNodeData {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t z = 0;
    std::int16_t fill_no = 0;
    std::int16_t fill_mem = 0;
    std::int16_t reserved = 0;
    std::int32_t page = 0;
};

static_assert(sizeof(qvQuadTreeNodeData) == 16);
static_assert(std::is_trivially_copyable_v<qvQuadTreeNodeData>);
static_assert(std::is_standard_layout_v<qvQuadTreeNodeData>);
static_assert(offsetof(qvQuadTreeNodeData, fill_no) == 6);
static_assert(offsetof(qvQuadTreeNodeData, fill_mem) == 8);
static_assert(offsetof(qvQuadTreeNodeData, reserved) == 10);
static_assert(offsetof(qvQuadTreeNodeData, page) == 12);

class qvQuadTreeNode : public qvQuadTreeNodeData {
public:
    static constexpr int heap_offset = 664;
    static constexpr int slot_count = 330;
    static constexpr int most_records = 327;   // the quadtree's limit per node

    // A node whose persistent part the loader fills in; checked at its
    // first lock.
    explicit qvQuadTreeNode(qvPageDevice* device) noexcept;
    // A new, empty node of the cell (x, y, z) on a new, zeroed page that
    // holds its own number in its first word.
    qvQuadTreeNode(qvPageDevice* device, int x, int y, int z);
    ~qvQuadTreeNode();
    qvQuadTreeNode(qvQuadTreeNode const&) = delete;
    qvQuadTreeNode& operator=(qvQuadTreeNode const&) = delete;

    // Not locked: locks as asked. Locked for reading and write asked:
    // unlocks (priority 0) and locks for writing. Otherwise nothing.
    void lock(bool write);
    // When locked, unlocks with the given priority.
    void unlock(float priority);
    bool locked() const noexcept { return page_address_ != nullptr; }
    bool write_locked() const noexcept { return locked() && write_locked_; }

    // Record i in the locked page (the assertion "page" when unlocked).
    qvShapeBase& operator[](int i);
    // The index of the first record of the shape handle in the locked page,
    // or -1; each slot checked as operator[] checks it.
    int index_of(std::int32_t shape_handle) const;
    // The padded size of record i; locks for reading when unlocked and
    // leaves the page locked.
    int size(int i);

    // Reserves a block of `size` bytes (rounded up to 8) at the end of the
    // heap, zeroed, and returns its index; the caller copies the record in.
    // Locks for writing. Assertions "size > 0", "fill_mem + size <=
    // qvUSEFUL_PAGE_SIZE" and "fill_no < 330" (the slot table's end).
    int add(int size);
    // add without the page, for a store that writes later: the slot and
    // its block are taken as add takes them (a loaded node's page is
    // checked first) and the block's offset in the page is returned through
    // `target`. Nothing but fill_reserved may touch the slot meanwhile.
    int reserve(int size, long& target);
    // Writes the reserved slots first … first + count − 1 at once, slot
    // first + k at targets[k]: their table entries, and `heap`, which holds
    // the page's bytes from targets[0] to `heap_end` (each record, then
    // zeros to its padded size).
    // A locked node is written in its page; else through the device's
    // write_bytes (with `priority`), which may write a page not cached
    // without reading it. A raise may leave part of the bytes written.
    void fill_reserved(int first, int count, std::int32_t const* targets, unsigned char const* heap, long heap_end,
                       float priority);
    // A block's size in the heap: a record's size rounded up to 8.
    static constexpr long padded_size(long size) noexcept { return ((size - 1) & ~7L) + 8; }
    // Gives back the slots from `slot` on, never filled (`target` is the
    // block of `slot`).
    void unreserve(int slot, long target) noexcept;
    // Deletes record i and packs the heap; later records move down one
    // index. Locks for writing.
    void remove(int i);
    // Marks record i dead (size −1) for a later compress.
    void fast_remove(int i);
    // Drops every dead record and packs the heap; the page must be locked
    // for writing.
    void compress();

    // A split found nothing in this node that could move to a child cell;
    // it stays so until a record is added (children never lose nodes).
    bool settled() const noexcept { return settled_; }
    void settle() noexcept { settled_ = true; }

    // Every record of this node is in its cell's handle index; cleared
    // when a record is added.
    bool indexed() const noexcept { return indexed_; }
    void set_indexed(bool on) noexcept { indexed_ = on; }

    // A loaded node's page is checked at its first lock; a reader that
    // pins the page itself passes the bytes here first.
    bool checked() const noexcept { return checked_; }
    void check(void const* page_bytes);

    // Record i of this node in `page_bytes`, a copy of its page that the
    // caller holds locked: the slot checked, a whole header inside the page.
    qvShapeBase* record_in(unsigned char* page_bytes, int i) const;

    // Changes whenever the page is locked for writing or let go from
    // writing: what a reader learnt of the records while the node was not
    // write-locked holds as long as this stays the same.
    std::uint64_t writes() const noexcept { return writes_; }
    // A count of its own that every change of the stamp also advances (the
    // directory's, shared by all its nodes), so that a reader can tell in
    // one comparison that no node changed.
    void count_writes_in(std::uint64_t* clock) noexcept { clock_ = clock; }

    // The page address while locked, else null.
    unsigned char* page_address() const noexcept { return page_address_; }
    long page_number() const noexcept { return page; }
    qvQuadTreeNodeData const& data() const noexcept { return *this; }

    qvMathRectOf<float> bbox{0.0f, 0.0f, 0.0f, 0.0f};
    // The quadtree's deferred stores that wait for this node: how many (0
    // none), the last of their chain (back to the first) through the
    // quadtree's list, and, while they are written, the node's place in
    // the order.
    std::int32_t waiting = 0;
    std::int32_t waiting_last = -1;
    std::int32_t waiting_rank = 0;

private:
    long record_offset(unsigned char const* page_bytes, int i) const;
    long record_offset(int i) const { return record_offset(page_address_, i); }
    long end_of(int i) const;
    unsigned char* locked_page() const;

    qvPageDevice* device_;
    bool write_locked_ = false;
    bool checked_;
    bool settled_ = false;
    bool indexed_ = false;
    unsigned char* page_address_ = nullptr;
    std::uint64_t writes_ = 0;
    std::uint64_t* clock_ = nullptr;
    void wrote() noexcept {
        ++writes_;
        if (clock_ != nullptr) ++*clock_;
    }
};
