#pragma once
// qvSimpleShape<P>: a stand-alone shape, owned by value by its creator, not
// counted and registered nowhere. It holds its proxy P (a qvSimpleShapeProxy)
// and gives pointer-like access to it: shape->rectangle(r).
//
// Keeps true: copies, assignments and moves follow P's record: every shape
// owns its own block (see qvSimpleShapeProxyBase). A shape made from a
// record copies every byte of it and keeps its kind code, box, attribute
// handle and data; a record shorter than P's kind needs grows to the kind's
// fixed size at once (zeros added), so no operation reads past the block.

#include <orvane/core/qvBasedSmartPtr.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvSimpleShapeHolder.hpp>

template <class P>
class qvSimpleShape : public qvBasedSmartPtr<P, qvSimpleShapeHolder<P>> {
public:
    // A shape without a record: getters raise until a setter runs.
    qvSimpleShape() = default;
    // A private copy of `record`; null gives a shape without a record.
    explicit qvSimpleShape(qvShapeBase const* record) {
        if (record == nullptr)
            return;
        this->object().copy_record(*record);
        this->object().allocate(0);
    }
};
