#pragma once
// qvHandleRecord: the 16-byte record that locates one shape of a paged
// scene: which layer entry holds it, whether a copy is stored in that
// layer's quadtree, and the quadtree cell under which it is stored. The
// handle tree keeps these records raw in its pages; the quadtree reads the
// shape handle and the cell, and writes the cell (store_handle).
//
// Layout (little-endian):
//   offset  size  field
//        0     4  handle     the shape handle of this slot; 0 marks a free slot
//        4     2  layer      index of the entry in the scene's layer table
//        6     2  stored     1 while a copy sits in the layer's quadtree, else 0
//        8     6  quadtree   the cell (qvQuadTreeHandleData: x, y, z)
//       14     2  reserved   not interpreted
//
// Keeps true: trivially copyable and standard-layout, so records are read
// and written through memcpy wherever they lie (handle-tree slots are 4
// modulo 8 in their page).

#include <orvane/scenes/qvQuadTreeHandle.hpp>

#include <cstddef>
#include <cstdint>
#include <type_traits>

struct qvHandleRecord {
    std::int32_t handle = 0;
    std::int16_t layer = 0;
    std::int16_t stored = 0;
    qvQuadTreeHandleData quadtree;
    std::int16_t reserved = 0;
};

static_assert(sizeof(qvHandleRecord) == 16);
static_assert(std::is_trivially_copyable_v<qvHandleRecord>);
static_assert(std::is_standard_layout_v<qvHandleRecord>);
static_assert(offsetof(qvHandleRecord, handle) == 0);
static_assert(offsetof(qvHandleRecord, layer) == 4);
static_assert(offsetof(qvHandleRecord, stored) == 6);
static_assert(offsetof(qvHandleRecord, quadtree) == 8);
static_assert(offsetof(qvHandleRecord, reserved) == 14);
