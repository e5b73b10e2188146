#pragma once
// qvShapeList: the shape records of one layer of a memory scene in drawing
// order: the first is drawn first, the last last, over the others. It hands
// out the shape handles of its records, changes a record's z-order, moves a
// record to another list, finds the records that meet an area, and writes
// and reads all its records as one stream. It knows nothing of scenes,
// palettes, proxies or read-only state.
//
// Keeps true:
//  - the lists of one scene share that scene's node table; a list made
//    without one has a table of its own. A handle is the slot of the
//    record's node in the table and stays the same for the shape's whole
//    life: moveto relinks the node, replace and resize change the record
//    it points to, neither makes a new node;
//  - connect(h) and layer(h) ask the table: constant time, null and -1 for
//    a handle that names no live record;
//  - the list owns its records (heap blocks from qvShapeBase::operator new)
//    from create or load on and frees them when it dies; remove frees only
//    the node, replace frees no record;
//  - the list stores its count: size() and place() take constant time;
//  - an operation given a handle that is not a record of this list (of the
//    table, for moveto's target side) raises qvErrorFrom<qvShapeList>
//    "Shape handle not found" and changes nothing;
//  - a list is neither copied nor assigned: two lists never own a record.
//
// Placement codes (qvOrder), relative to h2 where needed:
//   0, 2  immediately before h2        3  after its successor (not if last)
//   1     immediately after h2         4  before its predecessor (not if first)
//   5     to the end                   6  to the front
//   other immediately before h2, or at the end when h2 is 0
// With fewer than two records nothing changes and h2 is not looked at; h2
// of 0 for codes 0 to 2 raises "Relative positioning requires the second
// handle".
//
// Query: a record meets an area when its float box (bx1, by1, bx2, by2) and
// the area rounded once to floats (x1, y1, x2, y2) satisfy bx1 < x2,
// bx2 > x1, by1 < y2 and by2 > y1: touching is not meeting, and a NaN
// meets nothing. Every query visits every record of the list.
//
// Stream form (little-endian):
//   offset  size  field
//        0     4  count: the number of records (0 or less: none follow)
//        4     -  the records, first to last, each in the record stream
//                 form (its size bytes as stored)
// Loading reads every record before it changes the list: a short or
// malformed stream raises (from the record reader) and appends nothing;
// loaded records follow those already in the list, each given its new
// handle.

#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvStreamPersistence.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvOrder.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeSource.hpp>

#include <cstdint>
#include <memory>
#include <vector>

class qvShapeNodeTable;

class qvShapeList : public qvShapeSource, public qvStreamPersistence {
public:
    class SimpleIterator;
    class FwdIterator;
    class BwdIterator;

    // Records read from a stream and not yet in a list.
    using Records = std::vector<std::unique_ptr<qvShapeBase>>;

    // An empty list numbered `number`, with a node table of its own.
    explicit qvShapeList(int number);
    // An empty list numbered `number` over a scene's table, which must
    // outlive it. The lists of one table carry different numbers.
    qvShapeList(qvShapeNodeTable& table, int number);
    qvShapeList(qvShapeList const&) = delete;
    qvShapeList& operator=(qvShapeList const&) = delete;
    // Frees every record and node.
    ~qvShapeList() override;

    int number() const noexcept { return number_; }

    // Appends `record` (taken over) at the end; its handle. The handle is
    // not written into the record: the owner does that.
    long create(qvShapeBase* record);
    // Unlinks and frees the node; the record goes back to the caller.
    void remove(long handle);
    // The node points to `record` from now on (the old one is the
    // caller's); place and handle stay.
    void replace(long handle, qvShapeBase* record);
    // The record of `handle` resized to `size` bytes: the record itself
    // for an equal size; else the first min(old size, size) bytes, zeros
    // after them, and `size` in its size field, within the record's block
    // when it has room, else in a new block that replaces (and frees) the
    // old one. Handle and place stay; the old pointer must not be used.
    qvShapeBase* resize(long handle, int size);

    // The record of a handle, null when it names no live record.
    qvShapeBase* connect(long handle) const noexcept;
    // The number of the list that holds the handle's record, -1 for none.
    long layer(long handle) const noexcept;

    // Moves the record of `handle`, which must be in this list, to the
    // front of `target` (drawn first there; to the front of this list when
    // target is this list). Both lists share one table.
    void moveto(long handle, qvShapeList& target);
    // Changes the position of `handle` within this list (see the codes).
    void place(long handle, qvOrder order, long other);

    int size() const noexcept { return count_; }
    // The handle of the first record, 0 for an empty list.
    long first() const noexcept { return first_; }

    // Every record, first to last.
    qvIndirectIterator<qvShapeBase> enumerate();
    // The records that meet `area`, first to last or last to first.
    qvIndirectIterator<qvShapeBase> query(qvMathRectOf<double> const& area, bool reverse) override;

    void save(qvOutputStream& os) const override;
    // Appends the records of one stream form; all or nothing.
    void load(qvInputStream& is) override;

    // The records of one stream form, read and checked but not yet in a
    // list (the first step of load).
    static Records read_records(qvInputStream& is);
    // Makes room in the table for `count` more records, so that append()
    // of that many cannot fail.
    void reserve(std::size_t count);
    // Appends the records (taken over, `records` left empty) and writes
    // each one's new handle into it. Cannot fail after reserve() of their
    // number (counting every list that shares the table).
    void append(Records& records);

private:
    // The slot of a record of this list, or "Shape handle not found".
    std::int32_t own_slot(long handle) const;
    void unlink(std::int32_t slot) noexcept;
    // Links a node of this table in before `before` (0: at the end).
    void link_before(std::int32_t slot, std::int32_t before) noexcept;

    std::unique_ptr<qvShapeNodeTable> own_table_;
    qvShapeNodeTable& table_;
    int number_;
    std::int32_t first_ = 0;
    std::int32_t last_ = 0;
    int count_ = 0;
};
