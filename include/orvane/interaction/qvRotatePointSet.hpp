#pragma once
// qvRotatePointSet: rotation over a point-set data access. All points are
// mapped first, then the set changes in one removal of every point and one
// insertion of the mapped ones; a set without points is left alone. In a
// scene the two run in one modification guard of the shape.

#include <orvane/interaction/qvAdapterBase.hpp>
#include <orvane/interaction/qvRotateInteraction.hpp>
#include <orvane/shapes/qvPointSetDataAccess.hpp>

class qvSingleShapeProxyBase;

class qvRotatePointSet : public qvAdapterBase, public qvRotateInteraction {
public:
    using DataAccess = qvPointSetDataAccess;

    // `target` (may be null) is asked for the shape proxy behind `data`.
    qvRotatePointSet(qvPointSetDataAccess* data, qvInteractionTarget* target);

    // qvRotateInteraction.
    void* query_interface(qvInterfaceInfo const& info) override;

    qvMathRectOf<double> bbox() override;
    void rotate(qvCrdOf<double> centre, double angle) override;

private:
    qvPointSetDataAccess* data_;
    qvSingleShapeProxyBase* proxy_;
};
