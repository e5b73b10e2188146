#pragma once
// qvMoveText: move over a text data access, through its anchor part; in
// all else an anchored-object mover.

#include <orvane/interaction/qvMoveAnchoredObject.hpp>
#include <orvane/shapes/qvTextDataAccess.hpp>

class qvMoveText : public qvMoveAnchoredObject {
public:
    using DataAccess = qvTextDataAccess;

    explicit qvMoveText(qvTextDataAccess* data) noexcept : qvMoveAnchoredObject(data) {}
};
