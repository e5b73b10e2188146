#pragma once
// qvScaleScaledText: extended scale over a scaled text, sized in model
// units. As qvScaleRestrictedText, only the anchor changes; the box is the
// text box (its four corners around the anchor) in model units, and the
// transformation given is kept but takes no part in it.

#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/interaction/qvAdapterBase.hpp>
#include <orvane/interaction/qvExtendedScaleInteraction.hpp>
#include <orvane/shapes/qvScaledTextDataAccess.hpp>

class qvScaleScaledText : public qvAdapterBase, public qvExtendedScaleInteraction {
public:
    using DataAccess = qvScaledTextDataAccess;
    using qvScaleInteraction::move_lb;
    using qvScaleInteraction::move_lt;
    using qvScaleInteraction::move_rb;
    using qvScaleInteraction::move_rt;

    explicit qvScaleScaledText(qvScaledTextDataAccess* data) noexcept : data_(data) {}

    // qvMoveInteraction, qvExtendedScaleInteraction.
    void* query_interface(qvInterfaceInfo const& info) override;

    qvMathRectOf<double> bbox() override;
    void move(qvCrdOf<double> delta) override;
    void move_lb(qvCrdOf<double>) override {}
    void move_rt(qvCrdOf<double>) override {}
    void move_rb(qvCrdOf<double>) override {}
    void move_lt(qvCrdOf<double>) override {}
    void transformation(qvTransformation const& t) override { transformation_ = t; }

private:
    qvScaledTextDataAccess* data_;
    qvTransformation transformation_;
};
