#pragma once
// qvNodeSetData<Node>: the fixed part shared by the point-set and Bezier data
// structs, a count and the self-relative offset of an array of nodes that
// follows it inside the same record.
//   data offset  size  field
//            0     4  count: number of nodes
//            4     2  offset: self-relative offset of node 0 (0 while empty)
//            6     2  padding, written as 0
//            8     -  count nodes, 8-aligned: record offset 48 in a record
//
// Keeps true: the nodes are reached only through the offset and only while
// count > 0; a data struct is not copied as a value (its offset would point
// elsewhere from the copy's address): copy_from places the nodes for the
// destination and copies them.

#include <orvane/shapes/qvSelfRelativeOffset.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

template <class Node>
struct qvNodeSetData {
    using node_type = Node;

    std::int32_t count = 0;
    std::int16_t offset = 0;
    std::int16_t padding = 0;

    qvNodeSetData() noexcept = default;
    qvNodeSetData(qvNodeSetData const&) = delete;
    qvNodeSetData(qvNodeSetData&&) noexcept = default;
    qvNodeSetData& operator=(qvNodeSetData const&) = delete;

    Node* nodes() noexcept { return qvSelfRelative::target<Node>(offset); }
    Node const* nodes() const noexcept { return qvSelfRelative::target<Node const>(offset); }

    // The copy operator: the source's count, then its nodes at the first
    // 8-aligned address after this fixed part. The destination's record must
    // hold them (callers size it from the source record's size).
    void copy_from(qvNodeSetData const& source) {
        const std::int32_t n = source.count;
        Node const* const from = n > 0 ? source.nodes() : nullptr;
        count = n;
        padding = 0;
        if (n <= 0) {
            offset = 0;
            return;
        }
        char* const first = qvSelfRelative::align8(reinterpret_cast<char*>(this) + sizeof(qvNodeSetData));
        qvSelfRelative::point(offset, first);
        std::memmove(first, from, static_cast<std::size_t>(n) * sizeof(Node));
    }

    static constexpr long flavor() noexcept { return 0; }

protected:
    // Count and node 0 as given (a null node 0 leaves the offset 0).
    qvNodeSetData(std::int32_t count_, Node* first) : count(count_) {
        if (first != nullptr)
            qvSelfRelative::point(offset, first);
    }
};
