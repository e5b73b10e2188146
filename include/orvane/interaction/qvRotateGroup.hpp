#pragma once
// qvRotateGroup: rotation over a graphic list: every member that can rotate
// turns about the same centre by the same angle (texts turn their angle
// too). Its box is the group box of qvMoveScaleGroup.

#include <orvane/interaction/qvAdapterBase.hpp>
#include <orvane/interaction/qvRotateInteraction.hpp>
#include <orvane/shapes/qvGraphicListDataAccess.hpp>

class qvRotateGroup : public qvAdapterBase, public qvRotateInteraction {
public:
    using DataAccess = qvGraphicListDataAccess;

    explicit qvRotateGroup(qvGraphicListDataAccess* data) noexcept : data_(data) {}

    // qvRotateInteraction.
    void* query_interface(qvInterfaceInfo const& info) override;

    qvMathRectOf<double> bbox() override;
    void rotate(qvCrdOf<double> centre, double angle) override;

private:
    qvGraphicListDataAccess* data_;
};
