#pragma once
// qvMoveAnchoredObject: move over an anchor data access (images): the
// anchor moves by the delta. Its box is the graphic's own.

#include <orvane/interaction/qvAdapterBase.hpp>
#include <orvane/interaction/qvMoveInteraction.hpp>
#include <orvane/shapes/qvAnchorDataAccess.hpp>

class qvMoveAnchoredObject : public qvAdapterBase, public qvMoveInteraction {
public:
    using DataAccess = qvAnchorDataAccess;

    explicit qvMoveAnchoredObject(qvAnchorDataAccess* data) noexcept : data_(data) {}

    // qvMoveInteraction.
    void* query_interface(qvInterfaceInfo const& info) override;

    qvMathRectOf<double> bbox() override;
    void move(qvCrdOf<double> delta) override;

private:
    qvAnchorDataAccess* data_;
};
