#pragma once
// qvMoveScaleRectangle: move and scale over a rectangle data access
// (rectangles, ellipses, arcs, and the frame of a compact point set, which
// carries its points along). Its box is rectangle(); each change writes one
// normalised rectangle: a corner moved past the opposite edge swaps the two
// edges of that axis.

#include <orvane/interaction/qvAdapterBase.hpp>
#include <orvane/interaction/qvScaleInteraction.hpp>
#include <orvane/shapes/qvRectangleDataAccess.hpp>

class qvMoveScaleRectangle : public qvAdapterBase, public qvScaleInteraction {
public:
    using DataAccess = qvRectangleDataAccess;
    using qvScaleInteraction::move_lb;
    using qvScaleInteraction::move_rt;

    explicit qvMoveScaleRectangle(qvRectangleDataAccess* data) noexcept : data_(data) {}

    // qvMoveInteraction, qvScaleInteraction.
    void* query_interface(qvInterfaceInfo const& info) override;

    qvMathRectOf<double> bbox() override;
    void move(qvCrdOf<double> delta) override;
    void move_lb(qvCrdOf<double> delta) override;
    void move_rt(qvCrdOf<double> delta) override;

private:
    qvRectangleDataAccess* data_;
};
