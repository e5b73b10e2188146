// qvShapeList: a doubly linked list of shape records over a node table
// (see qvShapeList.hpp).
//
// The list keeps its first and last slot and its count; a node's `next`
// and `previous` are slots, 0 at either end. Every relinking operation
// works out the node before which the moved node is to stand (0 for the
// end), so placing, moving and appending share link_before().

#include <orvane/scenes/qvShapeList.hpp>

#include "core/qvStreamFields.hpp"
#include "scenes/qvRecordArea.hpp"
#include "scenes/qvShapeNodeTable.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvIterator.hpp>
#include <orvane/shapes/qvShapeSerialization.hpp>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

[[noreturn]] void raise_list_error(char const* message) { qvRaise(qvErrorFrom<qvShapeList>(message)); }

// A new block for a record that outgrew its own: half as much again, so a
// record grown a little at a time is copied a logarithmic number of times.
int grown_capacity(int capacity, int size) {
    const long long grown = (static_cast<long long>(capacity) * 3 / 2 + 7) / 8 * 8;
    return static_cast<int>(std::min<long long>(std::max<long long>(grown, size), INT_MAX));
}

}  // namespace

// ---------------------------------------------------------------------------
// Iterators: each holds the table and a slot, never a node's address, so a
// table that grows for another list does not invalidate them.

class qvShapeList::SimpleIterator : public qvIterator<qvShapeBase> {
public:
    SimpleIterator(qvShapeNodeTable const& table, std::int32_t first) noexcept : table_(table), current_(first) {}

    qvShapeBase* get() override { return current_ != 0 ? table_[current_].record : nullptr; }
    void next() override {
        if (current_ != 0)
            current_ = table_[current_].next;
    }
    bool at_end() const override { return current_ == 0; }

private:
    qvShapeNodeTable const& table_;
    std::int32_t current_;
};

// Named, not anonymous: the list's iterator classes derive from the walk.
namespace qv_shape_list_walk {

// The records that meet an area, walking `next` (forwards) or `previous`.
template <std::int32_t qvShapeNodeTable::Node::*Step>
class AreaWalk : public qvIterator<qvShapeBase> {
public:
    AreaWalk(qvShapeNodeTable const& table, std::int32_t start, qvMathRectOf<double> const& area) noexcept
        : table_(table), current_(start), area_(area) {
        skip_outside();
    }

    qvShapeBase* get() override { return current_ != 0 ? table_[current_].record : nullptr; }
    void next() override {
        if (current_ == 0)
            return;
        current_ = table_[current_].*Step;
        skip_outside();
    }
    bool at_end() const override { return current_ == 0; }

private:
    void skip_outside() noexcept {
        while (current_ != 0 && !area_.met_by(*table_[current_].record))
            current_ = table_[current_].*Step;
    }

    qvShapeNodeTable const& table_;
    std::int32_t current_;
    qvRecordArea area_;
};

}  // namespace qv_shape_list_walk

class qvShapeList::FwdIterator : public qv_shape_list_walk::AreaWalk<&qvShapeNodeTable::Node::next> {
    using AreaWalk::AreaWalk;
};

class qvShapeList::BwdIterator : public qv_shape_list_walk::AreaWalk<&qvShapeNodeTable::Node::previous> {
    using AreaWalk::AreaWalk;
};

// ---------------------------------------------------------------------------
// Construction

qvShapeList::qvShapeList(int number)
    : own_table_(std::make_unique<qvShapeNodeTable>()), table_(*own_table_), number_(number) {}

qvShapeList::qvShapeList(qvShapeNodeTable& table, int number) : table_(table), number_(number) {}

qvShapeList::~qvShapeList() {
    for (std::int32_t slot = first_; slot != 0;) {
        qvShapeNodeTable::Node const& node = table_[slot];
        const std::int32_t next = node.next;
        delete node.record;
        table_.release(slot);
        slot = next;
    }
}

// ---------------------------------------------------------------------------
// Records and handles

std::int32_t qvShapeList::own_slot(long handle) const {
    if (!table_.live(handle) || table_.list(handle) != number_)
        raise_list_error("Shape handle not found");
    return static_cast<std::int32_t>(handle);
}

void qvShapeList::unlink(std::int32_t slot) noexcept {
    qvShapeNodeTable::Node& node = table_[slot];
    (node.previous != 0 ? table_[node.previous].next : first_) = node.next;
    (node.next != 0 ? table_[node.next].previous : last_) = node.previous;
    node.next = node.previous = 0;
    --count_;
}

void qvShapeList::link_before(std::int32_t slot, std::int32_t before) noexcept {
    qvShapeNodeTable::Node& node = table_[slot];
    const std::int32_t after = before != 0 ? table_[before].previous : last_;
    node.previous = after;
    node.next = before;
    node.list = number_;
    (after != 0 ? table_[after].next : first_) = slot;
    (before != 0 ? table_[before].previous : last_) = slot;
    ++count_;
}

long qvShapeList::create(qvShapeBase* record) {
    QV_ASSERT(record != nullptr);
    const std::int32_t slot = table_.issue(record, number_, record->size);
    link_before(slot, 0);
    return slot;
}

void qvShapeList::remove(long handle) {
    const std::int32_t slot = own_slot(handle);
    unlink(slot);
    table_.release(slot);
}

void qvShapeList::replace(long handle, qvShapeBase* record) {
    QV_ASSERT(record != nullptr);
    qvShapeNodeTable::Node& node = table_[own_slot(handle)];
    node.record = record;
    node.capacity = record->size;
}

qvShapeBase* qvShapeList::resize(long handle, int size) {
    QV_ASSERT_TEXT(size >= static_cast<int>(sizeof(qvShapeBase)), "size >= sizeof(qvShapeBase)");
    qvShapeNodeTable::Node& node = table_[own_slot(handle)];
    qvShapeBase* const old = node.record;
    const int old_size = old->size;
    if (size == old_size)
        return old;
    // In place while the block holds the new size, unless a shrunken record
    // would keep more than twice its bytes.
    if (size <= node.capacity && (size > old_size || size > node.capacity / 2)) {
        if (size > old_size)
            std::memset(reinterpret_cast<char*>(old) + old_size, 0, static_cast<std::size_t>(size - old_size));
        old->size = size;
        return old;
    }
    const int capacity = size > old_size ? grown_capacity(node.capacity, size) : size;
    char* const block = static_cast<char*>(qvShapeBase::operator new(static_cast<std::size_t>(capacity)));
    const int kept = std::min(old_size, size);
    std::memcpy(block, old, static_cast<std::size_t>(kept));
    std::memset(block + kept, 0, static_cast<std::size_t>(size - kept));
    qvShapeBase* const record = reinterpret_cast<qvShapeBase*>(block);
    record->size = size;
    node.record = record;
    node.capacity = capacity;
    delete old;
    return record;
}

qvShapeBase* qvShapeList::connect(long handle) const noexcept { return table_.record(handle); }

long qvShapeList::layer(long handle) const noexcept { return table_.list(handle); }

// ---------------------------------------------------------------------------
// Order

void qvShapeList::moveto(long handle, qvShapeList& target) {
    QV_ASSERT(&target.table_ == &table_);
    const std::int32_t slot = own_slot(handle);
    if (&target == this && first_ == slot)
        return;
    unlink(slot);
    target.link_before(slot, target.first_);
}

void qvShapeList::place(long handle, qvOrder order, long other) {
    const std::int32_t slot = own_slot(handle);
    if (count_ < 2)
        return;
    const std::int32_t successor = table_[slot].next;
    std::int32_t before = 0;
    switch (order) {
    case qvOrderBefore:
    case qvOrderAfter:
    case qvOrderBeforeToo:
        if (other == 0)
            raise_list_error("Relative positioning requires the second handle");
        before = own_slot(other);
        if (order == qvOrderAfter)
            before = table_[before].next;
        break;
    case qvOrderOneLater:
        if (successor == 0)
            return;
        before = table_[successor].next;
        break;
    case qvOrderOneEarlier:
        before = table_[slot].previous;
        if (before == 0)
            return;
        break;
    case qvOrderLast:
        before = 0;
        break;
    case qvOrderFirst:
        before = first_;
        break;
    default:
        before = other != 0 ? own_slot(other) : 0;
        break;
    }
    if (before == slot || before == successor)
        return;
    unlink(slot);
    link_before(slot, before);
}

// ---------------------------------------------------------------------------
// Iteration

qvIndirectIterator<qvShapeBase> qvShapeList::enumerate() {
    return qvIndirectIterator<qvShapeBase>(new SimpleIterator(table_, first_));
}

qvIndirectIterator<qvShapeBase> qvShapeList::query(qvMathRectOf<double> const& area, bool reverse) {
    if (reverse)
        return qvIndirectIterator<qvShapeBase>(new BwdIterator(table_, last_, area));
    return qvIndirectIterator<qvShapeBase>(new FwdIterator(table_, first_, area));
}

// ---------------------------------------------------------------------------
// Persistence

void qvShapeList::save(qvOutputStream& os) const {
    qvWriteInt32(os, count_);
    for (std::int32_t slot = first_; slot != 0; slot = table_[slot].next)
        qvWriteShapeRecord(os, *table_[slot].record);
}

qvShapeList::Records qvShapeList::read_records(qvInputStream& is) {
    const long count = qvReadInt32(is);
    // Grown as records arrive, never sized by the claimed count: memory
    // stays bounded by what the stream delivers.
    Records records;
    for (long i = 0; i < count; ++i) {
        // Owned before the vector grows, so a failed growth frees it.
        std::unique_ptr<qvShapeBase> record(qvCreateShapeFromSerialization(is).release());
        records.push_back(std::move(record));
    }
    return records;
}

void qvShapeList::reserve(std::size_t count) { table_.reserve(count); }

void qvShapeList::append(Records& records) {
    table_.reserve(records.size());
    for (auto& record : records) {
        const std::int32_t slot = table_.issue(record.get(), number_, record->size);
        record.release()->shape_handle = slot;
        link_before(slot, 0);
    }
    records.clear();
}

void qvShapeList::load(qvInputStream& is) {
    Records records = read_records(is);
    append(records);
}
