#pragma once
// qvScaleTextAdapter<D>: what the two text scale adapters share, over the
// text data access D. Only the anchor of a text can change: move moves it
// by the delta, and the corner moves do nothing, so scale and the edge
// moves leave the text as it is and resize only moves its anchor (by the
// difference of the left-bottom corners). The transformation last given
// (the identity until then) is held by value for the box; how the box is
// measured is each adapter's own.
//
// Keeps true: the layout is the two table pointers, the data access and the
// transformation, which qvAdapter's storage is sized for.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/interaction/qvAdapterBase.hpp>
#include <orvane/interaction/qvExtendedScaleInteraction.hpp>

template <class D>
class qvScaleTextAdapter : public qvAdapterBase, public qvExtendedScaleInteraction {
public:
    using DataAccess = D;
    using qvScaleInteraction::move_lb;
    using qvScaleInteraction::move_lt;
    using qvScaleInteraction::move_rb;
    using qvScaleInteraction::move_rt;

    // qvMoveInteraction, qvExtendedScaleInteraction.
    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvMoveInteraction, qvExtendedScaleInteraction>(this, info);
    }

    void move(qvCrdOf<double> delta) override { data_->anchor(data_->anchor() + delta); }
    void move_lb(qvCrdOf<double>) override {}
    void move_rt(qvCrdOf<double>) override {}
    void move_rb(qvCrdOf<double>) override {}
    void move_lt(qvCrdOf<double>) override {}
    void transformation(qvTransformation const& t) override { transformation_ = t; }

protected:
    explicit qvScaleTextAdapter(D* data) noexcept : data_(data) {}

    D* data() const noexcept { return data_; }
    qvTransformation const& given_transformation() const noexcept { return transformation_; }

private:
    D* data_;
    qvTransformation transformation_;
};
