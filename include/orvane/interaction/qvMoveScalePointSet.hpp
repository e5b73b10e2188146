#pragma once
// qvMoveScalePointSet: move and scale over a point-set data access (exact
// point sets and Bezier curves), point by point. The box is the set's own
// bbox(), which for a Bezier curve holds its control points too. A corner
// move maps the box onto the normalised box with that corner moved, by a
// per-axis scale and offset (qvRectToRectTransformation): an axis of zero
// extent keeps scale 1 while it stays zero, and fails with
// "Degenerate rectangles cannot define transformation" before any point
// changes when it would not.
//
// When the data access is an in-scene shape, a whole move or scale runs in
// one modification guard of the shape, so the scene hears the box before
// and after once instead of about every point.

#include <orvane/interaction/qvAdapterBase.hpp>
#include <orvane/interaction/qvScaleInteraction.hpp>
#include <orvane/shapes/qvPointSetDataAccess.hpp>

class qvSingleShapeProxyBase;
class qvRestrictedTransformation;

class qvMoveScalePointSet : public qvAdapterBase, public qvScaleInteraction {
public:
    using DataAccess = qvPointSetDataAccess;
    using qvScaleInteraction::move_lb;
    using qvScaleInteraction::move_lt;
    using qvScaleInteraction::move_rb;
    using qvScaleInteraction::move_rt;

    // `target` (may be null) is asked for the shape proxy behind `data`.
    qvMoveScalePointSet(qvPointSetDataAccess* data, qvInteractionTarget* target);

    // qvMoveInteraction, qvScaleInteraction.
    void* query_interface(qvInterfaceInfo const& info) override;

    qvMathRectOf<double> bbox() override;
    void move(qvCrdOf<double> delta) override;
    void move_lb(qvCrdOf<double> delta) override;
    void move_rt(qvCrdOf<double> delta) override;
    void move_rb(qvCrdOf<double> delta) override;
    void move_lt(qvCrdOf<double> delta) override;

private:
    void apply(qvRestrictedTransformation const& t);
    void map_box(qvMathRectOf<double> const& from, qvMathRectOf<double> const& to);

    qvPointSetDataAccess* data_;
    qvSingleShapeProxyBase* proxy_;
};
