#pragma once
// qvShapeNodeTable: the nodes of every shape list of one scene, in one
// array. A node's index (its slot) is the shape handle of its record, so a
// handle reaches its record and its list in constant time, without a
// search and without knowing the list; the lists link their nodes by slot
// number, so the array may move as it grows without breaking a link.
//
// Keeps true:
//  - slot 0 is never issued: handle 0 names nothing, and 0 as a link means
//    "no node" (the list keeps its own first and last slot);
//  - a node is live exactly while it holds a record; a free node holds
//    none, carries list -1 and waits on the free list (linked through
//    `next`), from which issue() takes slots before it grows the array;
//  - no slot above 0x7FFFFFFF is issued: a record header stores its handle
//    in 32 bits, and the checked narrowing raises before one would be;
//  - the table owns no record: the lists do, and free the record before
//    they release its slot;
//  - capacity is the byte size of the record's block, at least the
//    record's size, so a record may grow in place up to it.
// A stale handle (0, negative, never issued or released) answers null and
// list -1; once a slot is issued again its handle names the new record.

#include <orvane/shapes/qvShapeBase.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

class qvShapeNodeTable {
public:
    struct Node {
        qvShapeBase* record = nullptr;
        std::int32_t next = 0;
        std::int32_t previous = 0;
        std::int32_t list = -1;
        std::int32_t capacity = 0;
    };

    qvShapeNodeTable();
    qvShapeNodeTable(qvShapeNodeTable const&) = delete;
    qvShapeNodeTable& operator=(qvShapeNodeTable const&) = delete;

    bool live(long handle) const noexcept {
        return handle > 0 && static_cast<unsigned long>(handle) < nodes_.size() &&
               nodes_[static_cast<std::size_t>(handle)].record != nullptr;
    }
    // The record of a handle, null for a stale one.
    qvShapeBase* record(long handle) const noexcept {
        return live(handle) ? nodes_[static_cast<std::size_t>(handle)].record : nullptr;
    }
    // The list number of a handle, -1 for a stale one.
    int list(long handle) const noexcept {
        return live(handle) ? nodes_[static_cast<std::size_t>(handle)].list : -1;
    }

    // Unchecked access to an issued slot.
    Node& operator[](std::int32_t slot) noexcept { return nodes_[static_cast<std::size_t>(slot)]; }
    Node const& operator[](std::int32_t slot) const noexcept { return nodes_[static_cast<std::size_t>(slot)]; }

    // Makes room for `more` nodes, so that many issue() calls cannot fail;
    // raises (changing nothing) when they would need a slot above
    // 0x7FFFFFFF, or on allocation failure.
    void reserve(std::size_t more);
    // A live node for `record` in list `list`, unlinked; its slot.
    std::int32_t issue(qvShapeBase* record, int list, int capacity);
    // The node becomes free; its record is the caller's business.
    void release(std::int32_t slot) noexcept;

    // Live nodes.
    std::size_t live_count() const noexcept { return nodes_.size() - 1 - free_count_; }

private:
    std::vector<Node> nodes_;
    std::int32_t first_free_ = 0;
    std::size_t free_count_ = 0;
};
