#pragma once
// qvScaleRestrictedText: extended scale over a restricted text, whose size
// is given in device units. Only the anchor can change: move moves it, the
// corner moves do nothing, so scale and the edge moves leave the text as it
// is and resize only moves its anchor (by the difference of the left-bottom
// corners).
//
// The box is measured under the transformation last given (the identity
// until then), of which only the per-axis scales and offsets count: the
// text box (its four corners around the anchor) is laid out in device units
// at the anchor's device point, mirrored on an axis whose scale is negative
// (devices whose y grows downwards), and mapped back to model coordinates.
// The transformation is held by value.

#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/interaction/qvAdapterBase.hpp>
#include <orvane/interaction/qvExtendedScaleInteraction.hpp>
#include <orvane/shapes/qvRestrictedTextDataAccess.hpp>

class qvScaleRestrictedText : public qvAdapterBase, public qvExtendedScaleInteraction {
public:
    using DataAccess = qvRestrictedTextDataAccess;
    using qvScaleInteraction::move_lb;
    using qvScaleInteraction::move_lt;
    using qvScaleInteraction::move_rb;
    using qvScaleInteraction::move_rt;

    explicit qvScaleRestrictedText(qvRestrictedTextDataAccess* data) noexcept : data_(data) {}

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
    qvRestrictedTextDataAccess* data_;
    qvTransformation transformation_;
};
