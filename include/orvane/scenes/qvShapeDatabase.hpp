#pragma once
// qvShapeDatabase: the store of one paged layer's shape records, keyed by
// each shape's handle record (its shape handle and the quadtree cell
// store_handle wrote into it). The quadtree implements it.
//
//   store_handle(shape, h)  writes into h the cell under which the store
//                           keeps a record with the shape's bounding box
//   mask(h)                 hides the stored copy of h's shape from
//                           queries while the scene works on a copy of it
//                           elsewhere; the next examine or modify of h
//                           shows it again (masks count: two masks need
//                           two lookups)
//   bbox()                  the store's base rectangle
//   size()                  the number of records
//
// The lock of a shape record is the node that holds the record (locked for
// reading or writing) and the record's address in that node's page; an
// empty lock has neither.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/scenes/qvDatabase.hpp>
#include <orvane/scenes/qvHandleRecord.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

class qvQuadTreeNode;

template <>
struct qvRecordLock<qvShapeBase, qvHandleRecord> {
    qvQuadTreeNode* node = nullptr;
    qvShapeBase* record = nullptr;
};

class qvShapeDatabase : public qvDatabase<qvShapeBase, qvHandleRecord> {
public:
    virtual void store_handle(qvShapeBase* shape, qvHandleRecord& h) = 0;
    virtual void mask(qvHandleRecord const& h) = 0;
    virtual qvMathRectOf<double> bbox() const = 0;
    virtual int size() const = 0;

protected:
    qvShapeDatabase() noexcept = default;
    qvShapeDatabase(qvShapeDatabase const&) noexcept = default;
    qvShapeDatabase& operator=(qvShapeDatabase const&) noexcept = default;
};
