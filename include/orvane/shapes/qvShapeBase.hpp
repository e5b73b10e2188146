#pragma once
// qvShapeBase: the 40-byte header that begins every shape record, and
// qvShape<Data>, the record of one kind: the header followed by the kind's
// data struct (qvShape<qvShapeData> is a record seen without its kind).
//
// A record is one block of bytes that scenes store, page, copy and stream
// raw, and that proxies, ports and selectors read in place; its layout is a
// storage format (little-endian int32 and IEEE float32):
//   offset  size  field
//        0     4  size              the whole record in bytes, header included
//        4     4  shape_handle      the record's name in its scene; 0 outside one
//        8     4  user_handle       the application's value; 0 by default
//       12     4  proxy_class_id    the proxy class that builds its proxy (qvShapeKind.hpp)
//       16     4  kind              kind code: -1 to -17 but -8, a flavour code > 0,
//                                   or 0 before a proxy stamps the record
//       20     4  attribute_handle  the shape's attribute in the scene's palette; 0 none
//       24    16  box               float x1, y1, x2, y2 in model coordinates
//       40     -  kind data
//
// Keeps true:
//  - every struct of a record is trivially copyable and standard-layout (so
//    implicit-lifetime) and is read in place in 8-aligned blocks: a record is
//    valid wherever its bytes are moved;
//  - a new header is 40 defined bytes: kind as given (0 by default), box
//    (1, 1, 0, 0), every other field 0, the proxy class id too (the
//    allocating proxy stamps it); copy assignment copies these 40 bytes only;
//  - every record block on the heap comes from qvShapeBase::operator new
//    (qvNewShapeRecord), so any holder frees it with delete through any
//    record type: freeing never needs the block's size.

#include <orvane/geometry/qvMathRect.hpp>

#include <cstddef>
#include <cstdint>
#include <type_traits>

struct qvShapeBase {
    std::int32_t size = 0;
    std::int32_t shape_handle = 0;
    std::int32_t user_handle = 0;
    std::int32_t proxy_class_id = 0;
    std::int32_t kind = 0;
    std::int32_t attribute_handle = 0;
    qvMathRectOf<float> box = qvMathRectOf<float>::make_empty();

    qvShapeBase() noexcept = default;
    // The kind code passes the checked narrowing to its int32 field.
    explicit qvShapeBase(long kind_code);

    // The box widened to doubles exactly as stored (an inverted box stays so).
    qvMathRectOf<double> bbox() const noexcept {
        return qvMathRectOf<double>(qvRectOf<double>(box));
    }

    // Record blocks: 8-aligned, freed without their size.
    static void* operator new(std::size_t bytes);
    static void operator delete(void* block) noexcept;
};

static_assert(std::is_trivially_copyable_v<qvShapeBase>);
static_assert(std::is_standard_layout_v<qvShapeBase>);
static_assert(sizeof(qvShapeBase) == 40);
static_assert(offsetof(qvShapeBase, size) == 0);
static_assert(offsetof(qvShapeBase, shape_handle) == 4);
static_assert(offsetof(qvShapeBase, user_handle) == 8);
static_assert(offsetof(qvShapeBase, proxy_class_id) == 12);
static_assert(offsetof(qvShapeBase, kind) == 16);
static_assert(offsetof(qvShapeBase, attribute_handle) == 20);
static_assert(offsetof(qvShapeBase, box) == 24);

// The data of a record seen without its kind: nothing beyond the header.
struct qvShapeData {
    static constexpr long flavor() noexcept { return 0; }
};

// A record of the kind whose data struct is D, at record offset 40.
template <class D>
struct qvShape : qvShapeBase, D {
    qvShape() = default;
    explicit qvShape(long kind_code) : qvShapeBase(kind_code) {}

    D& data() noexcept { return *this; }
    D const& data() const noexcept { return *this; }
};

static_assert(sizeof(qvShape<qvShapeData>) == 40);

// A new record block of `size` bytes (at least 40): a new header carrying
// that size, every byte after it 0. The caller owns it; delete frees it.
qvShapeBase* qvNewShapeRecord(int size);

// The record `old` resized to `size` bytes (at least 40): a new block with
// the first min(old size, size) bytes of old, zeros after them, and `size`
// in its header; old is freed. Equal sizes return old itself.
qvShapeBase* qvResizeShapeRecord(qvShapeBase* old, int size);
