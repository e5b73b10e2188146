#pragma once
// The interaction interfaces: how a manipulator moves, scales and rotates a
// graphic without knowing its kind. A graphic implements one itself (found
// with query_interface) or is driven through an adapter over one of its
// data-access interfaces (qvAdapter.hpp).
//
// Keeps true: the interfaces hold no data and have no virtual destructor;
// an object that implements one is destroyed through its own root (an
// adapter through qvAdapterBase), never through an interaction pointer.
// Boxes and deltas are in the target's model coordinates, boxes normalised
// (left x1, right x2, bottom y1, top y2).
//
// qvInteractionBase: the root, the target's current box.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvInteractionIdentities.hpp>

class qvInteractionBase {
public:
    virtual qvMathRectOf<double> bbox() = 0;

protected:
    qvInteractionBase() noexcept = default;
    qvInteractionBase(qvInteractionBase const&) noexcept = default;
    qvInteractionBase& operator=(qvInteractionBase const&) noexcept = default;
    ~qvInteractionBase() = default;
};
